#include "statistics/CStatisticsDlg.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>

#include "project/ProjectRecord.h"
#include "statistics/CChartView.h"
#include "statistics/ChartSheet.h"
#include "statistics/ProjectScan.h"
#include "statistics/QualityMeasures.h"
#include "statistics/StatTable.h"
#include "ui/CommandContext.h"
#include "ui/ControlIds.h"
#include "ui/KeyState.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"
#include "ui/WidgetHelpers.h"

namespace quilvane {
namespace {

// The designed size; the anchoring keeps the controls' distances to its right and bottom edges.
constexpr int DesignWidth = 640;
constexpr int DesignHeight = 320;
constexpr int ButtonWidth = 108;
// A damaged statistics file must not leave a dialog too small to find.
constexpr int MinimumWidth = 240;
constexpr int MinimumHeight = 180;

const char* const OpenHint = "*以外かつ自プロジェクト以外を選択して下さい";

// Columns 0 to 2 hold texts; the ten number columns are right-aligned.
Qt::Alignment ColumnAlignment(std::size_t column)
{
    return (column < 3 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter;
}

} // namespace

CStatisticsDlg::CStatisticsDlg(CommandContext& doc, QWidget* parent)
    : QDialog(parent), doc_(doc), directions_(StatColumnCount)
{
    setObjectName(QString::number(ControlId::StatisticsDialog));
    setWindowTitle(QStringLiteral("統計情報"));
    setSizeGripEnabled(false);
    resize(DesignWidth, DesignHeight);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QString::number(ControlId::StatisticsList));
    list_->setGeometry(8, 8, DesignWidth - ButtonWidth - 24, DesignHeight - 16);
    list_->setRootIsDecorated(false);
    list_->setItemsExpandable(false);
    list_->setUniformRowHeights(true);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setAllColumnsShowFocus(true);
    list_->setSortingEnabled(false);
    QHeaderView* header = list_->header();
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setSortIndicatorShown(false);
    connect(header, &QHeaderView::sectionClicked, this, &CStatisticsDlg::OnSort);
    list_->viewport()->installEventFilter(this);

    AddButtons();
    layout_.Register(list_, ControlLayout::Stretch, ControlLayout::Stretch);
    OnInitDialog();
}

// The column of buttons at the right edge, in groups at their designed heights; they keep their
// distance to the edge.
void CStatisticsDlg::AddButtons()
{
    struct ButtonDef {
        int id;
        const char* text;
        int y;
        void (CStatisticsDlg::*handler)();
    };
    const ButtonDef buttons[] = {
        {ControlId::Ok, "保存終了(&S)*", 8, &CStatisticsDlg::accept},
        {ControlId::Cancel, "閉じる", 38, &CStatisticsDlg::reject},
        {ControlId::StatisticsOpen, "開く...(&O)&&", 84, &CStatisticsDlg::OnOpen},
        {ControlId::StatisticsGraph, "グラフ...(&G)*", 114, &CStatisticsDlg::OnGraph},
        {ControlId::StatisticsDelete, "削除(&D)", 160, &CStatisticsDlg::OnDelete},
        {ControlId::StatisticsChartView, "グラフ表示(&V)...", 206, &CStatisticsDlg::OnChartView},
    };
    for (const auto& def : buttons) {
        auto* b = MakeButton(this, def.id, QString::fromUtf8(def.text),
                             QRect(DesignWidth - ButtonWidth - 8, def.y, ButtonWidth, 24));
        b->setDefault(def.id == ControlId::Ok);
        connect(b, &QPushButton::clicked, this, def.handler);
        layout_.Register(b, ControlLayout::Move, ControlLayout::Keep);
    }
}

void CStatisticsDlg::OnInitDialog()
{
    resultPath_.clear();
    // The margins come from the designed size, before the stored size is applied.
    layout_.RecordMargins();

    // Loads the file and scans every project folder, the open project's included, as
    // LoadHistory does, keeping the phases' time and the defect logs for the charts.
    StatStore store;
    (void)LoadStatInfo(store); // a missing file leaves the defaults
    phaseSeconds_.clear();
    defectLogs_.clear();
    ScanProjects("", store, &phaseSeconds_, &defectLogs_);
    move(store.x, store.y);
    resize(std::max(store.width, MinimumWidth), std::max(store.height, MinimumHeight));
    layout_.OnSize(this);

    const auto& headings = StatColumnHeadingsUtf8();
    QStringList labels;
    for (const char* heading : headings) {
        labels << QString::fromUtf8(heading);
    }
    list_->setColumnCount(static_cast<int>(StatColumnCount));
    list_->setHeaderLabels(labels);
    for (std::size_t i = 0; i < StatColumnCount; ++i) {
        list_->headerItem()->setTextAlignment(static_cast<int>(i), ColumnAlignment(i));
        list_->setColumnWidth(static_cast<int>(i), store.columnWidths[i]);
    }
    rows_ = StatRowsOf(store);
    Fill();
}

void CStatisticsDlg::Fill()
{
    list_->setUpdatesEnabled(false);
    list_->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows_.size()));
    for (const StatRow& row : rows_) {
        auto* item = new QTreeWidgetItem;
        for (std::size_t c = 0; c < StatColumnCount; ++c) {
            item->setText(static_cast<int>(c), ToQ(row[c]));
            item->setTextAlignment(static_cast<int>(c), ColumnAlignment(c));
        }
        items.push_back(item);
    }
    list_->addTopLevelItems(items);
    list_->setUpdatesEnabled(true);
    if (chartView_) {
        chartView_->SetRows(rows_);
    }
}

std::vector<std::size_t> CStatisticsDlg::SelectedRows() const
{
    std::vector<std::size_t> rows;
    for (QTreeWidgetItem* item : list_->selectedItems()) {
        int row = list_->indexOfTopLevelItem(item);
        if (row >= 0) {
            rows.push_back(static_cast<std::size_t>(row));
        }
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

void CStatisticsDlg::SelectRows(const std::vector<std::size_t>& rows)
{
    list_->clearSelection();
    for (std::size_t row : rows) {
        if (QTreeWidgetItem* item = list_->topLevelItem(static_cast<int>(row))) {
            item->setSelected(true);
        }
    }
}

void CStatisticsDlg::OnSort(int column)
{
    if (column < 0 || static_cast<std::size_t>(column) >= StatColumnCount) {
        return;
    }
    ScopedWaitCursor wait;
    const auto col = static_cast<std::size_t>(column);
    std::vector<std::size_t> selected = SelectedRows();
    std::vector<std::size_t> order = StatSortOrder(rows_, col, directions_.Next(col));
    Reorder(rows_, order);
    Fill();
    // The selected projects stay selected at their new places.
    std::vector<std::size_t> moved;
    for (std::size_t row = 0; row < order.size(); ++row) {
        if (std::binary_search(selected.begin(), selected.end(), order[row])) {
            moved.push_back(row);
        }
    }
    SelectRows(moved);
}

void CStatisticsDlg::OnDelete()
{
    StatDeleteResult result = DeleteMarkedRows(rows_, SelectedRows());
    if (!result.deleted) {
        CurrentPrompt().Inform(this, QStringLiteral("* がついているものだけ削除できます"));
        return;
    }
    Fill();
    std::vector<std::size_t> selection = result.kept;
    if (result.select) {
        selection.push_back(*result.select);
    }
    SelectRows(selection);
    if (result.select) {
        list_->scrollToItem(list_->topLevelItem(static_cast<int>(*result.select)));
    }
}

void CStatisticsDlg::OnOpen()
{
    std::optional<std::size_t> row = ChooseOpenRow(rows_, SelectedRows(), doc_.Data().projectName);
    if (!row) {
        CurrentPrompt().Inform(this, QString::fromUtf8(OpenHint));
        return;
    }
    const std::string& name = rows_[*row][StatNameColumn];
    if (CurrentPrompt().Ask(this, ToQ(name) + QStringLiteral("を開きますか?")) != Prompt::Answer::Yes) {
        return;
    }
    resultPath_ = StatProjectFile(name);
    // Ends without saving: the list's changes are dropped as 閉じる drops them.
    QDialog::accept();
}

void CStatisticsDlg::OnGraph()
{
    ChartResult result = WriteChartWorkbook(doc_.Data().overview.userName, rows_);
    switch (result.outcome) {
    case ChartOutcome::NotCreated:
        // As when no spreadsheet program could be started: nothing was written.
        return;
    case ChartOutcome::NotWritten:
        CurrentPrompt().Inform(this, QString::fromStdString(result.message));
        return;
    case ChartOutcome::Written:
        break;
    }
    if (!doc_.Launch(result.path)) {
        CurrentPrompt().Inform(this, QFile::decodeName(QByteArray::fromStdString(result.path)) +
                                         QStringLiteral(" に保存しました (開くプログラムがありません)"));
    }
}

void CStatisticsDlg::OnChartView()
{
    if (!chartView_) {
        std::vector<std::string> phaseOrder;
        for (const PhaseRecord& phase : doc_.Data().phases) {
            phaseOrder.push_back(phase.name);
        }
        // The quality panels need whole projects, so their folders are read again, only once the
        // charts are asked for.
        ProjectQualities quality;
        for (ProjectQuality& project : LoadQualityHistory("").projects) {
            quality[project.project] = std::move(project.measures);
        }
        chartView_ =
            new CChartView(phaseSeconds_, std::move(phaseOrder), defectLogs_, this, std::move(quality));
        chartView_->SetRows(rows_);
    }
    chartView_->show();
    chartView_->raise();
    chartView_->activateWindow();
}

void CStatisticsDlg::accept()
{
    StatStore store = StoreFromRows(rows_);
    // The position of the frame and the size of the client area, as move() and resize() take
    // them when the dialog opens again; the whole frame's size would grow it on every save.
    store.x = frameGeometry().x();
    store.y = frameGeometry().y();
    store.width = width();
    store.height = height();
    for (std::size_t i = 0; i < StatColumnCount; ++i) {
        store.columnWidths[i] = list_->columnWidth(static_cast<int>(i));
    }
    // A failed write must not look like a save: the dialog stays open with the list as it is.
    if (!SaveStatInfo(store)) {
        CurrentPrompt().Inform(this, QString::fromUtf8(StatInfoFile) + QStringLiteral(" を保存できません"));
        return;
    }
    if (IsCtrlHeld() && !SaveStatCsv(store)) {
        CurrentPrompt().Inform(this, QString::fromUtf8(StatCsvFile) + QStringLiteral(" を保存できません"));
    }
    QDialog::accept();
}

void CStatisticsDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    layout_.OnSize(this);
}

bool CStatisticsDlg::eventFilter(QObject* watched, QEvent* event)
{
    // A double click in the list opens the selected project, as 開く does.
    if (watched == list_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        OnOpen();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace quilvane
