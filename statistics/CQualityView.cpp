#include "statistics/CQualityView.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>
#include <vector>

#include "project/ProjectRecord.h"
#include "ui/CommandContext.h"
#include "ui/ControlIds.h"
#include "ui/DialogRows.h"

namespace quilvane {
namespace {

// The same beat as the phase clock in the status bar.
constexpr int FollowMilliseconds = 1000;

QLabel* CellLabel(QWidget* parent, const QualityCell& cell)
{
    QLabel* label = MakeLabel(parent, cell.text.c_str());
    label->setToolTip(QString::fromStdString(cell.tip));
    label->setAlignment((cell.numeric ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    return label;
}

QLabel* HeaderLabel(QWidget* parent, const std::string& text, Qt::Alignment alignment = Qt::AlignCenter)
{
    QLabel* label = MakeLabel(parent, text.c_str());
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setAlignment(alignment | Qt::AlignVCenter);
    return label;
}

QFrame* Rule(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

void AddCellRow(QWidget* body, GridRows& rows, const std::vector<QualityCell>& row)
{
    std::vector<GridRows::Cell> cells;
    cells.reserve(row.size());
    for (const QualityCell& cell : row) {
        cells.emplace_back(CellLabel(body, cell));
    }
    rows.Add(cells);
}

void AddMeasureRows(QWidget* body, GridRows& rows, const QualitySheet& sheet)
{
    std::vector<GridRows::Cell> header;
    for (const std::string& caption : sheet.measureHeader) {
        header.emplace_back(HeaderLabel(body, caption, header.empty() ? Qt::AlignLeft : Qt::AlignRight));
    }
    rows.Add(header);
    for (const std::vector<QualityCell>& row : sheet.measures) {
        AddCellRow(body, rows, row);
    }
}

void AddPhaseRows(QWidget* body, GridRows& rows, const QualitySheet& sheet)
{
    std::vector<GridRows::Cell> groups;
    for (const std::string& caption : sheet.phaseGroups) {
        groups.emplace_back(HeaderLabel(body, caption, groups.empty() ? Qt::AlignLeft : Qt::AlignCenter),
                            groups.empty() ? 1 : 2);
    }
    rows.Add(groups);
    std::vector<GridRows::Cell> sub;
    for (const std::string& caption : sheet.phaseSubHeader) {
        sub.emplace_back(HeaderLabel(body, caption, Qt::AlignRight));
    }
    rows.Add(sub);
    for (const std::vector<QualityCell>& row : sheet.phases) {
        AddCellRow(body, rows, row);
    }
}

} // namespace

CQualityView::CQualityView(CommandContext& context, QWidget* owner)
    : QWidget(owner, Qt::Window), context_(context)
{
    setObjectName(QString::number(ControlId::QualityWindow));
    setWindowTitle(QStringLiteral("品質"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    timer_ = new QTimer(this);
    timer_->setInterval(FollowMilliseconds);
    connect(timer_, &QTimer::timeout, this, &CQualityView::Refresh);
    timer_->start();
    Refresh();
}

void CQualityView::Refresh()
{
    const ProjectRecord& project = context_.Data();
    if (historyFor_ != project.projectName) {
        // The scan leaves the open project out; ToDateWith adds the record being edited instead.
        history_ = LoadQualityHistory(project.projectName);
        historyFor_ = project.projectName;
    }
    QualitySheet sheet = MakeQualitySheet(ComputeProjectQuality(project), ToDateWith(history_, project));
    if (shown_ && sheet == sheet_) {
        return;
    }
    sheet_ = std::move(sheet);
    shown_ = true;
    Rebuild();
}

void CQualityView::Rebuild()
{
    delete body_;
    body_ = new QWidget(this);
    auto* column = new QVBoxLayout(body_);
    column->setContentsMargins(0, 0, 0, 0);

    auto* measureGrid = new QGridLayout;
    measureGrid->setHorizontalSpacing(16);
    GridRows measureRows(measureGrid);
    AddMeasureRows(body_, measureRows, sheet_);
    column->addLayout(measureGrid);
    column->addWidget(Rule(body_));

    auto* phaseGrid = new QGridLayout;
    phaseGrid->setHorizontalSpacing(10);
    GridRows phaseRows(phaseGrid);
    AddPhaseRows(body_, phaseRows, sheet_);
    column->addLayout(phaseGrid);
    for (const std::string& note : sheet_.notes) {
        column->addWidget(MakeLabel(body_, note.c_str()));
    }
    static_cast<QVBoxLayout*>(layout())->addWidget(body_);
}

} // namespace quilvane
