#include "statistics/CReviewChecklistDlg.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/TimeSource.h"
#include "project/ProjectRecord.h"
#include "statistics/ChecklistPainter.h"
#include "statistics/ReviewChecklistCommands.h"
#include "ui/CommandContext.h"
#include "ui/ControlIds.h"
#include "ui/QtText.h"

namespace quilvane {
namespace {

constexpr int KeyRole = Qt::UserRole;

} // namespace

CReviewChecklistDlg::CReviewChecklistDlg(CommandContext& context, QWidget* parent)
    : QDialog(parent), context_(context)
{
    setObjectName(QString::number(ControlId::ReviewChecklistDialog));
    setWindowTitle(QStringLiteral("レビューチェックリスト"));
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    note_ = new QLabel(this);
    note_->setWordWrap(true);
    layout->addWidget(note_);
    tabs_ = new QTabWidget(this);
    lists_[Index(ReviewKind::Design)] = MakeList(ControlId::ReviewChecklistDesignList);
    lists_[Index(ReviewKind::Code)] = MakeList(ControlId::ReviewChecklistCodeList);
    for (ReviewKind kind : {ReviewKind::Design, ReviewKind::Code}) {
        tabs_->addTab(List(kind), ToQ(ReviewPhaseName(kind)));
        connect(List(kind), &QTreeWidget::itemChanged, this,
                [this, kind](QTreeWidgetItem* item, int) { OnItemChanged(kind, item); });
    }
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int) {
        note_->setText(Checklist(CurrentReview()).starter
                           ? QString::fromUtf8(StarterNote())
                           : QStringLiteral("コンパイルとテストで見つけた欠陥の多い順"));
    });
    layout->addWidget(tabs_, 1);
    status_ = new QLabel(this);
    status_->setStyleSheet(QStringLiteral("color: #b00000"));
    status_->hide();
    layout->addWidget(status_);
    auto* row = new QHBoxLayout;
    autoShow_ = new QCheckBox(QStringLiteral("レビューに入ったら開く"), this);
    autoShow_->setChecked(ShowChecklistOnReview());
    connect(autoShow_, &QCheckBox::toggled, this, [](bool on) { SetShowChecklistOnReview(on); });
    row->addWidget(autoShow_);
    row->addStretch(1);
    auto* print = new QPushButton(QStringLiteral("印刷(&P)..."), this);
    connect(print, &QPushButton::clicked, this, &CReviewChecklistDlg::OnPrint);
    auto* close = new QPushButton(QStringLiteral("閉じる"), this);
    close->setObjectName(QString::number(ControlId::Cancel));
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    row->addWidget(print);
    row->addWidget(close);
    layout->addLayout(row);
    resize(620, 480);
}

QTreeWidget* CReviewChecklistDlg::MakeList(int id)
{
    auto* list = new QTreeWidget(this);
    list->setObjectName(QString::number(id));
    list->setColumnCount(2);
    list->setHeaderLabels({QStringLiteral("確認する項目"), QStringLiteral("件数・割合・平均修正時間")});
    list->setRootIsDecorated(false);
    list->setWordWrap(true);
    list->header()->setStretchLastSection(true);
    return list;
}

ReviewKind CReviewChecklistDlg::CurrentReview() const
{
    return tabs_->currentIndex() == 0 ? ReviewKind::Design : ReviewKind::Code;
}

QString CReviewChecklistDlg::StatusText() const
{
    return status_->isHidden() ? QString() : status_->text();
}

void CReviewChecklistDlg::ShowReview(ReviewKind kind)
{
    const ProjectRecord& project = context_.Data();
    for (ReviewKind each : {ReviewKind::Design, ReviewKind::Code}) {
        checklists_[Index(each)] = LoadReviewChecklist(each, project, project.projectName);
    }
    LoadTicks();
    Fill(ReviewKind::Design);
    Fill(ReviewKind::Code);
    tabs_->setCurrentIndex(static_cast<int>(Index(kind)));
    emit tabs_->currentChanged(tabs_->currentIndex());
    setWindowTitle(QStringLiteral("レビューチェックリスト - %1").arg(ToQ(project.projectName)));
}

void CReviewChecklistDlg::LoadTicks()
{
    const std::string projectPath = context_.ProjectFilePath();
    const std::string path = projectPath.empty() ? std::string() : ChecklistPathFor(projectPath);
    if (path == ticksPath_ && path.empty()) {
        return; // still the same project without a file: the ticks held here are all there is
    }
    std::vector<ChecklistTick> read = path.empty() ? std::vector<ChecklistTick>() : ReadTicks(path);
    const bool firstFile = ticksPath_.empty() && !path.empty() && read.empty() && !ticks_.empty();
    ticksPath_ = path;
    if (firstFile) {
        // The project was saved for the first time: the ticks made before go into its file.
        SaveTicks();
        return;
    }
    ticks_ = std::move(read);
}

void CReviewChecklistDlg::Fill(ReviewKind kind)
{
    filling_ = true;
    QTreeWidget* list = List(kind);
    list->clear();
    const QColor reminder = palette().color(QPalette::PlaceholderText);
    const bool starter = Checklist(kind).starter;
    // The starter list says what to look at instead of the student's own figures.
    list->headerItem()->setText(1, starter ? QStringLiteral("確認する内容")
                                           : QStringLiteral("件数・割合・平均修正時間"));
    int number = 0;
    int titleWidth = 0;
    for (const ChecklistItem& item : Checklist(kind).items) {
        auto* row = new QTreeWidgetItem(list);
        row->setText(0, QStringLiteral("%1. %2").arg(++number).arg(ToQ(item.title)));
        row->setText(1, ChecklistFigures(item));
        row->setToolTip(1, row->text(1)); // the whole text where the column cuts it short
        titleWidth = std::max(titleWidth, list->fontMetrics().horizontalAdvance(row->text(0)));
        row->setData(0, KeyRole, QString::fromStdString(item.key));
        row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
        const ChecklistTick* tick = FindTick(ticks_, kind, item.key);
        row->setCheckState(0, tick ? Qt::Checked : Qt::Unchecked);
        if (tick) {
            row->setToolTip(0, QStringLiteral("%1 に確認").arg(ToQ(tick->time)));
        }
        for (const std::string& comment : item.comments) {
            auto* line = new QTreeWidgetItem(list);
            line->setText(
                0, QStringLiteral("    「%1」").arg(ToQLines(comment).replace(QLatin1Char('\n'), " / ")));
            line->setFirstColumnSpanned(true);
            line->setForeground(0, reminder);
            line->setFlags(Qt::ItemIsEnabled);
        }
    }
    // The titles are short: the rest of the width goes to the text beside them. The check box
    // and the cell's margins take about 48 pixels.
    list->setColumnWidth(0, std::clamp(titleWidth + 48, 160, 320));
    filling_ = false;
}

void CReviewChecklistDlg::OnItemChanged(ReviewKind kind, QTreeWidgetItem* item)
{
    if (filling_ || !(item->flags() & Qt::ItemIsUserCheckable)) {
        return;
    }
    const std::string key = item->data(0, KeyRole).toString().toStdString();
    std::string title;
    for (const ChecklistItem& each : Checklist(kind).items) {
        if (each.key == key) {
            title = each.title;
        }
    }
    const bool ticked = item->checkState(0) == Qt::Checked;
    SetTick(ticks_, kind, key, title, ticked, static_cast<std::int32_t>(context_.Clock().Now()));
    const ChecklistTick* tick = FindTick(ticks_, kind, key);
    item->setToolTip(0, tick ? QStringLiteral("%1 に確認").arg(ToQ(tick->time)) : QString());
    SaveTicks();
}

void CReviewChecklistDlg::SaveTicks()
{
    if (ticksPath_.empty()) {
        status_->setText(QStringLiteral("プロジェクトを保存すると、チェックも記録されます。"));
        status_->show();
        return;
    }
    Status saved = WriteTicks(ticksPath_, ticks_);
    if (!saved.Ok()) {
        // Said here rather than in a message box: the student goes on ticking, and the next tick
        // tries again with every tick held here.
        status_->setText(
            QStringLiteral("チェックを保存できません: %1").arg(QString::fromStdString(saved.Message())));
        status_->show();
        return;
    }
    status_->hide();
}

void CReviewChecklistDlg::OnPrint()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("レビューチェックリスト"));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        status_->setText(QStringLiteral("印刷を始められません。"));
        status_->show();
        return;
    }
    PaintChecklist(painter, QRect(0, 0, printer.width(), printer.height()), Checklist(CurrentReview()),
                   ticks_, context_.Data().projectName);
    painter.end();
}

} // namespace quilvane
