#include "mainwindow/CQuilvaneView.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "estimate/EstimateDiagnostics.h"
#include "mainwindow/CMemoDlg.h"
#include "mainwindow/PhaseClock.h"
#include "mainwindow/WorkbenchDocument.h"
#include "platform/DecimalText.h"
#include "platform/PathNames.h"
#include "platform/Process.h"
#include "platform/ProgramFolder.h"
#include "platform/TimeSource.h"
#include "ui/ControlIds.h"
#include "ui/KeyState.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"
#include "ui/WidgetHelpers.h"

#include <filesystem>

namespace quilvane {
namespace {

// The totals row's label (two blanks, then "- 合計 -").
const QString TotalsLabel = QStringLiteral("  - 合計 -");

// The forgotten-timer guard: a phase that ran longer than the limit may have been left running
// by mistake, so the student chooses between the whole span and an end time of their own.
// Returns the moment up to which the phase is logged.
std::int32_t AskForgottenPhaseEnd(QWidget* owner, const std::string& phase, std::int32_t start,
                                  std::int32_t now)
{
    const std::int32_t limit = LoadTimerLimit();
    const std::int64_t elapsed = std::int64_t{now} - start;
    if (start == 0 || elapsed <= std::int64_t{limit} * 60) {
        return now;
    }
    const QString question = QStringLiteral("工程「%1」は %2 時間 %3 分続いています。\n"
                                            "この時間をすべて時間記録に加えますか?\n"
                                            "(「いいえ」で終えた時刻を入力します)")
                                 .arg(ToQ(phase))
                                 .arg(elapsed / 3600)
                                 .arg(elapsed / 60 % 60);
    if (CurrentPrompt().Ask(owner, question) == Prompt::Answer::Yes) {
        return now;
    }
    const QString request =
        QStringLiteral("工程「%1」を終えた時刻を入力して下さい (時:分)。\n開始 %2、現在 %3")
            .arg(ToQ(phase), QString::fromStdString(TimeOfDayText(start)),
                 QString::fromStdString(TimeOfDayText(now)));
    QString initial = QString::fromStdString(TimeOfDayText(start + std::int64_t{limit} * 60));
    // A cancelled entry logs the whole span: nothing measured is thrown away unasked.
    while (auto typed = CurrentPrompt().AskText(owner, request, initial)) {
        if (auto end = ParseEndTime(typed->trimmed().toStdString(), start, now)) {
            return *end;
        }
        CurrentPrompt().Inform(owner,
                               QStringLiteral("%1 は開始から現在までの時刻ではありません").arg(*typed));
        initial = *typed;
    }
    return now;
}

struct ButtonSpec {
    int id;
    const char* text;
};

const ButtonSpec CommandButtons[] = {
    {ControlId::OverviewButton, "概要...(&O)"},        {ControlId::LaunchIdeButton, "VS.NET起動...(&S)"},
    {ControlId::EstimateButton, "計画見積り...(&P)"},  {ControlId::ResultButton, "結果...(&R)"},
    {ControlId::RegisterButton, "データ登録(&G)*"},    {ControlId::TimeLogButton, "時間記録...(&T)"},
    {ControlId::DefectLogButton, "バグ記録...(&B)"},   {ControlId::AddDefectButton, "バグ追加(&A)"},
    {ControlId::StatisticsButton, "統計情報...(&X)*"}, {ControlId::QualityButton, "品質...(&Q)"},
};

} // namespace

CQuilvaneView::CQuilvaneView(WorkbenchDocument& doc, QWidget* parent) : QWidget(parent), doc_(doc)
{
    setObjectName(QString::number(ControlId::MainForm));
    auto* modeLabel = new QLabel(QStringLiteral("モード"), this);
    modeList_ = new QComboBox(this);
    modeList_->setObjectName(QString::number(ControlId::ModeList));
    modeList_->setEditable(false);
    modeLabel->setBuddy(modeList_);

    phaseList_ = new QTreeWidget(this);
    phaseList_->setObjectName(QString::number(ControlId::PhaseList));
    phaseList_->setRootIsDecorated(false);
    phaseList_->setSelectionMode(QAbstractItemView::SingleSelection);
    phaseList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    phaseList_->setAllColumnsShowFocus(true);
    phaseList_->header()->setSectionsClickable(false);
    phaseList_->header()->setSectionsMovable(false);
    phaseList_->viewport()->installEventFilter(this);
    phaseList_->setMinimumSize(240, 170);

    QHBoxLayout* adjusters = AddPlanAdjusters();

    auto* left = new QVBoxLayout;
    auto* modeRow = new QHBoxLayout;
    modeRow->addWidget(modeLabel);
    modeRow->addWidget(modeList_, 1);
    left->addLayout(modeRow);
    left->addWidget(phaseList_, 1);
    left->addLayout(adjusters);

    auto* right = new QVBoxLayout;
    for (const auto& spec : CommandButtons) {
        auto* b = AddButton(spec.id, spec.text);
        b->setEnabled(false);
        right->addWidget(b);
    }
    right->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right);

    connect(modeList_, &QComboBox::activated, this, [this] { OnModeChange(); });
    SetCommand(ControlId::LaunchIdeButton, [this] { OnLaunchIde(); });
    InsertColumns();
}

QPushButton* CQuilvaneView::AddButton(int id, const char* text)
{
    QPushButton* b = MakeButton(this, id, text);
    buttons_[id] = b;
    return b;
}

QPushButton* CQuilvaneView::Button(int id) const
{
    auto it = buttons_.find(id);
    return it == buttons_.end() ? nullptr : it->second;
}

void CQuilvaneView::SetCommand(int id, std::function<void()> handler)
{
    QPushButton* b = Button(id);
    if (b == nullptr) {
        return;
    }
    b->disconnect(this);
    b->setEnabled(true);
    connect(b, &QPushButton::clicked, this, [handler = std::move(handler)] { handler(); });
}

// "計画調整" and the four buttons that move the selected phase's plan.
QHBoxLayout* CQuilvaneView::AddPlanAdjusters()
{
    auto* adjustLabel = new QLabel(QStringLiteral("計画調整"), this);
    auto* adjusters = new QHBoxLayout;
    adjusters->addWidget(adjustLabel);
    const std::pair<int, const char*> adjusterButtons[] = {{ControlId::PlanUpFive, "++"},
                                                           {ControlId::PlanUpOne, "+"},
                                                           {ControlId::PlanDownOne, "-"},
                                                           {ControlId::PlanDownFive, "--"}};
    const int steps[] = {5, 1, -1, -5};
    for (int i = 0; i < 4; ++i) {
        auto* b = AddButton(adjusterButtons[i].first, adjusterButtons[i].second);
        b->setFixedWidth(32);
        adjusters->addWidget(b);
        int step = steps[i];
        connect(b, &QPushButton::clicked, this, [this, step] { AdjustPlan(step); });
    }
    adjusters->addStretch();
    return adjusters;
}

void CQuilvaneView::InsertColumns()
{
    phaseList_->setColumnCount(4);
    phaseList_->setHeaderLabels(
        {QStringLiteral("工程"), QStringLiteral("計画"), QStringLiteral("実績"), QStringLiteral("割合")});
    const int widths[] = {98, 42, 42, 36};
    for (int i = 0; i < 4; ++i) {
        phaseList_->setColumnWidth(i, widths[i]);
        phaseList_->headerItem()->setTextAlignment(i, i == 0 ? Qt::AlignLeft : Qt::AlignRight);
    }
}

void CQuilvaneView::OnInitialUpdate()
{
    emit ProjectShown(ToQ(doc_.Data().projectName));
    InsertColumns();
    doc_.Data().mode = NeutralMode;
    RefreshTable(true);
}

void CQuilvaneView::RefreshTable(bool rebuildModes)
{
    ProjectRecord& project = doc_.Data();
    if (rebuildModes) {
        modeList_->clear();
        modeList_->addItem(ToQ(NeutralMode));
        for (const auto& phase : project.phases) {
            modeList_->addItem(ToQ(phase.name));
        }
        modeList_->setCurrentIndex(0);
        doc_.ClockState().modeStart = 0;
        doc_.StopClock();
    }
    PhaseTotals totals = RecomputeActuals(project);
    phaseList_->setUpdatesEnabled(false);
    phaseList_->clear();
    auto addRow = [this](const QString& name, std::int32_t plan, std::int32_t actual, const QString& ratio) {
        auto* item =
            new QTreeWidgetItem(phaseList_, {name, QString::number(plan), QString::number(actual), ratio});
        for (int c = 1; c < 4; ++c) {
            item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        }
    };
    for (const auto& phase : project.phases) {
        addRow(ToQ(phase.name), phase.plan, phase.actual, QString::number(phase.ratio));
    }
    addRow(TotalsLabel, totals.plan, totals.actual, QStringLiteral("100"));
    // The ratio column is easily taken for this project's own share; a first project also learns
    // why every planned minute lands in the last phase.
    const QString hint = QString::fromStdString(PhaseRatioHint(RatiosLackHistory(project.phases)));
    phaseList_->headerItem()->setToolTip(3, hint);
    phaseList_->setToolTip(hint);
    phaseList_->setUpdatesEnabled(true);
    update();
}

void CQuilvaneView::SelectMode(int index)
{
    modeList_->setCurrentIndex(index >= 0 && index < modeList_->count() ? index : 0);
    OnModeChange();
}

void CQuilvaneView::OnModeChange()
{
    ProjectRecord& project = doc_.Data();
    std::string newMode = FromQ(modeList_->currentText());
    // The list shows the phase names exactly; take the stored bytes so that names that do not
    // survive a round trip through Unicode still match.
    int index = modeList_->currentIndex();
    if (index == 0) {
        newMode = NeutralMode;
    } else if (index > 0 && static_cast<std::size_t>(index) <= project.phases.size()) {
        newMode = project.phases[static_cast<std::size_t>(index - 1)].name;
    }
    bool wasRunning = project.mode != NeutralMode;
    auto now = static_cast<std::int32_t>(doc_.Clock().Now());
    if (newMode == project.mode) {
        return;
    }
    std::int32_t logUntil = now;
    if (wasRunning && !doc_.Unattended()) {
        const std::string leaving = project.mode;
        logUntil = AskForgottenPhaseEnd(window(), leaving, doc_.ClockState().modeStart, now);
        // While the question was open, a signal may have ended the phase and saved the work.
        if (project.mode != leaving) {
            return;
        }
    }
    if (!SwitchMode(project, doc_.ClockState().modeStart, newMode, now, logUntil)) {
        return;
    }
    if (wasRunning) {
        RefreshTable(false);
    }
    if (project.mode == NeutralMode) {
        doc_.StopClock();
    } else {
        doc_.StartClock();
    }
    doc_.SetModifiedFlag(true);
    doc_.KeepJournal(true);
    if (!doc_.Unattended()) {
        emit ModeEntered(project.mode);
    }
}

void CQuilvaneView::AdjustPlan(int step)
{
    auto* item = phaseList_->currentItem();
    if (item == nullptr || !item->isSelected()) {
        return;
    }
    int row = phaseList_->indexOfTopLevelItem(item);
    ProjectRecord& project = doc_.Data();
    if (row < 0 || static_cast<std::size_t>(row) >= project.phases.size()) {
        return;
    }
    // The plan is read back from the cell, as shown.
    auto& phase = project.phases[static_cast<std::size_t>(row)];
    phase.plan = AtoiLike(item->text(1).toStdString());
    if (!AdjustPhasePlan(project, static_cast<std::size_t>(row), step, IsCtrlHeld())) {
        return;
    }
    item->setText(1, QString::number(phase.plan));
    phaseList_->topLevelItem(phaseList_->topLevelItemCount() - 1)
        ->setText(1, QString::number(project.estimate.totalMinutes));
    doc_.SetModifiedFlag(true);
}

void CQuilvaneView::OnPhaseDblClk(int row)
{
    SelectMode(row + 1);
}

bool CQuilvaneView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == phaseList_->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        QModelIndex index = phaseList_->indexAt(mouse->position().toPoint());
        OnPhaseDblClk(index.isValid() ? index.row() : -1);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CQuilvaneView::OnMemo()
{
    CMemoDlg dlg(doc_.Data().memo, window());
    if (dlg.exec() == QDialog::Accepted) {
        doc_.Data().memo = dlg.Memo();
        doc_.SetModifiedFlag(true);
    }
}

void CQuilvaneView::OnLaunchIde()
{
    // No development environment is registered here: the desktop's handler for the solution
    // file stands in for it. Nothing else would tell the student that the solution is missing
    // or that no program takes it, so both are said here.
    if (doc_.Data().projectName.empty()) {
        return;
    }
    auto folder = StoredToDiskPath(doc_.Data().projectName);
    if (!folder) {
        CurrentPrompt().Inform(this, QString::fromStdString(UndecodableNameMessage()));
        return;
    }
    std::string solution = ProgramPath(*folder + "/PSP.sln");
    std::error_code ec;
    if (!std::filesystem::is_regular_file(solution, ec)) {
        CurrentPrompt().Inform(this, DiskPathToQ(solution) + QStringLiteral("\nが見つかりません"));
        return;
    }
    if (!doc_.Launch(solution)) {
        InformCannotOpen(this, solution);
    }
}

} // namespace quilvane
