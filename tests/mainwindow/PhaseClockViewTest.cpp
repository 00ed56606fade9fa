#include <QComboBox>
#include <QPushButton>
#include <QTreeWidget>
#include <sys/stat.h>

#include "mainwindow/PhaseClock.h"
#include "project/WorkJournal.h"
#include "tests/GuiFixture.h"
#include "ui/ControlIds.h"

using namespace quilvane;

TEST_F(WorkbenchTest, LeavingAPhaseLogsTheIntervalAndShowsRoundedMinutes)
{
    Start(MakeProject("Prob1", ThreePhases()));
    At(10, 0, 0);
    View().SelectMode(1);
    EXPECT_TRUE(Doc().ClockRunning());
    EXPECT_TRUE(Frame().PhaseTimerActive());
    EXPECT_EQ(Doc().Data().mode, "A");
    At(10, 1, 30);
    View().SelectMode(0);
    ASSERT_EQ(Doc().Data().timeLog.entries.size(), 1u);
    EXPECT_EQ(Doc().Data().timeLog.entries[0].Duration(), 90);
    EXPECT_EQ(Cell(0, 2), "2");
    EXPECT_EQ(Cell(3, 2), "2");
    EXPECT_FALSE(Doc().ClockRunning());
    EXPECT_FALSE(Frame().PhaseTimerActive());
    EXPECT_TRUE(Doc().IsModified());
}

TEST_F(WorkbenchTest, ShortIntervalsRoundToNearestMinuteButStayLogged)
{
    Start(MakeProject("Prob1", ThreePhases()));
    At(10, 0, 0);
    View().SelectMode(1);
    At(10, 1, 29);
    View().SelectMode(2); // A -> B directly: A's 89 s are logged, B starts
    At(10, 1, 58);
    View().SelectMode(0);
    EXPECT_EQ(Cell(0, 2), "1");
    EXPECT_EQ(Cell(1, 2), "0");
    EXPECT_EQ(Doc().Data().timeLog.entries.size(), 2u);
    EXPECT_EQ(Doc().Data().timeLog.entries[1].phase, "B");
}

TEST_F(WorkbenchTest, ChoosingTheActiveModeChangesNothing)
{
    Start(MakeProject("Prob1", ThreePhases()));
    View().SelectMode(0);
    EXPECT_FALSE(Doc().IsModified());
    View().SelectMode(1);
    Doc().SetModifiedFlag(false);
    auto start = Doc().ClockState().modeStart;
    clock_.Advance(100);
    View().SelectMode(1);
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(Doc().ClockState().modeStart, start);
    EXPECT_TRUE(Doc().Data().timeLog.entries.empty());
}

TEST_F(WorkbenchTest, DoubleClickOnTotalsOrEmptyListSelectsNeutral)
{
    Start(MakeProject("Prob1", ThreePhases()));
    View().OnPhaseDblClk(1);
    EXPECT_EQ(View().ModeList()->currentIndex(), 2);
    EXPECT_EQ(Doc().Data().mode, "B");
    View().OnPhaseDblClk(3); // the totals row
    EXPECT_EQ(View().ModeList()->currentIndex(), 0);
    View().OnPhaseDblClk(0);
    View().OnPhaseDblClk(-1); // the empty part of the list
    EXPECT_EQ(Doc().Data().mode, NeutralMode);
}

TEST_F(WorkbenchTest, PlanAdjustersCountHoursWithCtrlAndStopAtZero)
{
    Start(MakeProject("Prob1", ThreePhases()));
    SelectRow(0);
    SetCtrlHeldOverride(true);
    View().Button(ControlId::PlanUpFive)->click();
    EXPECT_EQ(Cell(0, 1), "330");
    EXPECT_EQ(Doc().Data().estimate.totalMinutes, 333);
    EXPECT_EQ(Cell(3, 1), "333");
    SetCtrlHeldOverride(false);
    SelectRow(1);
    View().Button(ControlId::PlanDownFive)->click();
    EXPECT_EQ(Cell(1, 1), "0");
    EXPECT_EQ(Doc().Data().phases[1].plan, 0);
    EXPECT_EQ(Doc().Data().estimate.totalMinutes, 330);
    EXPECT_TRUE(Doc().IsModified());

    // At zero already, on the totals row, or with nothing selected: nothing changes.
    Doc().SetModifiedFlag(false);
    View().Button(ControlId::PlanDownOne)->click();
    SelectRow(3);
    View().Button(ControlId::PlanUpFive)->click();
    View().PhaseList()->clearSelection();
    View().PhaseList()->setCurrentItem(nullptr);
    View().Button(ControlId::PlanUpOne)->click();
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(Doc().Data().estimate.totalMinutes, 330);
}

TEST_F(WorkbenchTest, ModeCommandsSelectIndicesWithFallback)
{
    Start(MakeProject("Prob1", ThreePhases()));
    for (int i = 0; i <= 10; ++i) {
        ASSERT_TRUE(Frame().OnCommand(CommandId::SelectModeFirst + i));
        int expected = i <= 3 ? i : 0;
        EXPECT_EQ(View().ModeList()->currentIndex(), expected) << i;
    }
}

TEST_F(WorkbenchTest, EmptyProjectShowsOnlyTheTotalsRow)
{
    Start(MakeProject("Empty", ProjectRecord()));
    ASSERT_EQ(View().PhaseList()->topLevelItemCount(), 1);
    EXPECT_EQ(Cell(0, 0), "  - 合計 -");
    EXPECT_EQ(Cell(0, 1), "0");
    EXPECT_EQ(Cell(0, 3), "100");
    EXPECT_EQ(View().ModeList()->count(), 1);
    EXPECT_EQ(Frame().windowTitle(), "Empty");
}

TEST_F(WorkbenchTest, RatioColumnExplainsItselfAndGuidesAFirstProject)
{
    ProjectRecord p = ThreePhases();
    p.phases[2].ratio = 100;
    Start(MakeProject("First", p));
    const QString first = View().PhaseList()->headerItem()->toolTip(3);
    EXPECT_TRUE(first.contains(QStringLiteral("このプロジェクト自身の時間は含みません")))
        << first.toStdString();
    EXPECT_TRUE(first.contains(QStringLiteral("すべて最後の工程に割り当てられます")));
    EXPECT_EQ(View().PhaseList()->toolTip(), first);

    Doc().Data().phases[0].ratio = 40;
    Doc().Data().phases[2].ratio = 60;
    View().RefreshTable(false);
    const QString later = View().PhaseList()->headerItem()->toolTip(3);
    EXPECT_TRUE(later.contains(QStringLiteral("このプロジェクト自身の時間は含みません")));
    EXPECT_FALSE(later.contains(QStringLiteral("最後の工程")));
}

TEST_F(WorkbenchTest, ClosingWhileRunningLogsAndOffersToSave)
{
    std::string path = MakeProject("Prob1", ThreePhases());
    Start(path);
    At(9, 0, 0);
    View().SelectMode(2);
    Doc().SetModifiedFlag(false);
    At(9, 10, 0);
    prompt_.answers = {Prompt::Answer::Yes};
    Frame().close();
    ASSERT_EQ(prompt_.shown.size(), 1u);
    ProjectRecord saved;
    ASSERT_TRUE(LoadProjectFile(path, saved).Ok());
    ASSERT_EQ(saved.timeLog.entries.size(), 1u);
    EXPECT_EQ(saved.timeLog.entries[0].phase, "B");
    EXPECT_EQ(saved.timeLog.entries[0].Duration(), 600);
    std::string last;
    ASSERT_TRUE(ReadLastProject(last).Ok());
    EXPECT_EQ(last, "Prob1");
}

TEST_F(WorkbenchTest, ClosingUnchangedInNeutralOffersNothing)
{
    Start(MakeProject("Prob2", ThreePhases()));
    Frame().close();
    EXPECT_TRUE(prompt_.shown.empty());
    std::string last;
    ASSERT_TRUE(ReadLastProject(last).Ok());
    EXPECT_EQ(last, "Prob2");
}

TEST_F(WorkbenchTest, CancelledCloseKeepsTheWindow)
{
    Start(MakeProject("Prob1", ThreePhases()));
    Frame().show();
    Doc().SetModifiedFlag(true);
    prompt_.answers = {Prompt::Answer::Cancel};
    EXPECT_FALSE(Frame().close());
    EXPECT_TRUE(Doc().IsModified());
}

TEST_F(WorkbenchTest, ProjectSavedWhileRunningReopensInNeutral)
{
    ProjectRecord p = ThreePhases();
    p.mode = "A";
    Start(MakeProject("Prob1", p));
    EXPECT_EQ(Doc().Data().mode, NeutralMode);
    EXPECT_EQ(View().ModeList()->currentIndex(), 0);
    EXPECT_FALSE(Doc().ClockRunning());
    EXPECT_EQ(Doc().ClockState().modeStart, 0);
}

TEST_F(WorkbenchTest, FailedOpenKeepsTheOpenProject)
{
    Start(MakeProject("Prob1", ThreePhases()));
    At(10, 0, 0);
    View().SelectMode(1);
    std::filesystem::create_directories(dir_.Path("Bad"));
    ASSERT_TRUE(WriteFileAtomically(dir_.Path("Bad/work.psp"), "\x67").Ok());
    prompt_.answers = {Prompt::Answer::No};
    Frame().OpenProject(QString::fromStdString(dir_.Path("Bad/work.psp")));
    EXPECT_EQ(Doc().Data().projectName, "Prob1");
    EXPECT_EQ(Doc().Data().phases.size(), 3u);
    EXPECT_TRUE(Doc().ClockRunning());
    EXPECT_EQ(prompt_.shown.size(), 2u); // the save question, then the failure
}

TEST(PhaseClockText, StartInLocalTimeAndElapsedWrapsDaily)
{
    const char* old = getenv("TZ");
    std::string saved = old ? old : "";
    setenv("TZ", "Asia/Tokyo", 1);
    tzset();
    // 14:59:50 UTC is 23:59:50 in Tokyo.
    std::time_t start = 1796569190;
    EXPECT_EQ(ClockStatusText(start, start + 20), "開始 23:59:50  経過 00:00:20");
    EXPECT_EQ(ClockStatusText(start, start + 25 * 3600 + 61), "開始 23:59:50  経過 01:01:01");
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    EXPECT_EQ(ClockStatusText(start, start + 20), "開始 15:59:50  経過 00:00:20");
    if (old) {
        setenv("TZ", saved.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
}

namespace {

// Local time is UTC while it lives, so that typed times of day are plain.
class UtcZone {
public:
    UtcZone()
    {
        const char* old = getenv("TZ");
        had_ = old != nullptr;
        saved_ = old ? old : "";
        setenv("TZ", "UTC", 1);
        tzset();
    }
    ~UtcZone()
    {
        if (had_) {
            setenv("TZ", saved_.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    bool had_ = false;
    std::string saved_;
};

} // namespace

TEST_F(WorkbenchTest, ForgottenPhaseAsksForTheWholeSpanOrAnEndTime)
{
    UtcZone utc;
    struct Case {
        const char* limitFile; // nullptr: none
        int minutes;           // phase A from 10:00 for this long
        std::vector<Prompt::Answer> answers;
        std::vector<std::optional<QString>> typed;
        std::int32_t logged; // seconds
        std::size_t shown;
    } cases[] = {
        {nullptr, 180, {}, {}, 180 * 60, 0},                         // the default limit itself
        {nullptr, 181, {Prompt::Answer::Yes}, {}, 181 * 60, 1},      // whole span
        {"30\r\n", 31, {Prompt::Answer::No}, {"10:20"}, 20 * 60, 2}, // up to a time of day
        {"30\r\n", 45, {Prompt::Answer::No}, {"25:00", "10:50", " 10:40:30 "}, 2430, 6},
        {"30\r\n", 31, {Prompt::Answer::No}, {std::nullopt}, 31 * 60, 2}, // cancelled: whole span
        {"abc\r\n", 31, {}, {}, 31 * 60, 0},                              // bad file: default
        {"0\r\n", 181, {Prompt::Answer::Yes}, {}, 181 * 60, 1},
    };
    std::string path = MakeProject("Prob1", ThreePhases());
    std::vector<QString> retried;
    for (const auto& c : cases) {
        std::filesystem::remove(dir_.Path("init/timerLimit.txt"));
        if (c.limitFile) {
            ASSERT_TRUE(WriteFileAtomically(dir_.Path("init/timerLimit.txt"), c.limitFile).Ok());
        }
        Start(path);
        prompt_.shown.clear();
        prompt_.answers.assign(c.answers.begin(), c.answers.end());
        prompt_.choices.assign(c.typed.begin(), c.typed.end());
        At(10, 0, 0);
        View().SelectMode(1);
        At(10, c.minutes, 0);
        View().SelectMode(2);
        ASSERT_EQ(Doc().Data().timeLog.entries.size(), 1u) << c.minutes;
        EXPECT_EQ(Doc().Data().timeLog.entries[0].Duration(), c.logged) << c.minutes;
        EXPECT_EQ(prompt_.shown.size(), c.shown) << c.minutes;
        // The next phase starts now, whatever was logged.
        EXPECT_EQ(Doc().ClockState().modeStart, clock_.Now());
        Doc().SetModifiedFlag(false);
        Doc().DiscardJournal();
        if (c.shown == 6) {
            retried = prompt_.shown;
        }
    }
    // A FIFO under the limit's name must not block the mode switch.
    std::filesystem::remove(dir_.Path("init/timerLimit.txt"));
    ASSERT_EQ(mkfifo(dir_.Path("init/timerLimit.txt").c_str(), 0600), 0);
    EXPECT_EQ(LoadTimerLimit(), DefaultTimerLimitMinutes);
    ASSERT_EQ(retried.size(), 6u);
    EXPECT_TRUE(retried[0].startsWith("工程「A」は 0 時間 45 分続いています。")) << retried[0].toStdString();
    EXPECT_TRUE(retried[1].startsWith("工程「A」を終えた時刻を入力して下さい")) << retried[1].toStdString();
    EXPECT_EQ(retried[2], "25:00 は開始から現在までの時刻ではありません");
}

TEST(ForgottenTimer, LimitAndEndTimeTexts)
{
    UtcZone utc;
    EXPECT_EQ(ParseTimerLimit(""), 180);
    EXPECT_EQ(ParseTimerLimit("45\r\nrest"), 45);
    EXPECT_EQ(ParseTimerLimit("-5\r\n"), 180);
    EXPECT_EQ(ParseTimerLimit(" 45\r\n"), 180);
    EXPECT_EQ(ParseTimerLimit("99999999999\r\n"), 180);
    const std::time_t start = 1796601600 + 22 * 3600; // 22:00
    const std::time_t now = start + 5 * 3600;         // 03:00 the next day
    struct Case {
        const char* text;
        std::optional<std::int32_t> end;
    } cases[] = {
        {"23:30", static_cast<std::int32_t>(start + 5400)},
        {"1:05:09", static_cast<std::int32_t>(start + 3 * 3600 + 309)}, // after midnight
        {"22:00", static_cast<std::int32_t>(start)},
        {"03:00", static_cast<std::int32_t>(now)},
        {"03:01", std::nullopt}, // after now
        {"21:59", std::nullopt}, // would be tomorrow evening
        {"24:00", std::nullopt},
        {"12:60", std::nullopt},
        {"12", std::nullopt},
        {"1:2:3:4", std::nullopt},
        {"a:00", std::nullopt},
        {"", std::nullopt},
        {"123:00", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseEndTime(c.text, start, now), c.end) << c.text;
    }
    EXPECT_EQ(TimeOfDayText(start + 59), "22:00");
}

TEST_F(WorkbenchTest, RunningPhaseKeepsAJournalUntilTheWorkIsSafe)
{
    std::string path = MakeProject("Prob1", ThreePhases());
    const std::string journal = JournalPathFor(path);
    const std::string autosave = AutosavePathFor(path);
    Start(path);
    EXPECT_FALSE(std::filesystem::exists(journal));
    At(10, 0, 0);
    View().SelectMode(1);
    EXPECT_EQ(ReadJournal(journal),
              (JournalRecord{path, "A", Doc().ClockState().modeStart, Doc().ClockState().modeStart, true}));
    ProjectRecord autosaved;
    ASSERT_TRUE(LoadProjectFile(autosave, autosaved).Ok());
    EXPECT_EQ(autosaved.mode, "A");

    // The clock's ticks write once a minute.
    At(10, 0, 59);
    Frame().OnTimer();
    EXPECT_EQ(ReadJournal(journal)->moment, Doc().ClockState().modeStart);
    At(10, 1, 0);
    Frame().OnTimer();
    EXPECT_EQ(ReadJournal(journal)->moment, Doc().ClockState().modeStart + 60);

    // Saved while running: the changes are safe, the interval not yet.
    ASSERT_TRUE(Frame().OnCommand(CommandId::FileSave));
    EXPECT_FALSE(std::filesystem::exists(autosave));
    EXPECT_FALSE(ReadJournal(journal)->autosave);

    // Leaving the phase puts the interval into the autosave at once.
    At(10, 2, 0);
    View().SelectMode(0);
    ASSERT_TRUE(LoadProjectFile(autosave, autosaved).Ok());
    EXPECT_EQ(autosaved.timeLog.entries.size(), 1u);
    EXPECT_EQ(ReadJournal(journal)->phase, "");

    // A cancelled close keeps them; a close answered No has dropped the work on purpose.
    prompt_.answers = {Prompt::Answer::Cancel};
    EXPECT_FALSE(Frame().close());
    EXPECT_TRUE(std::filesystem::exists(journal));
    prompt_.answers = {Prompt::Answer::No};
    EXPECT_TRUE(Frame().close());
    EXPECT_FALSE(std::filesystem::exists(journal));
    EXPECT_FALSE(std::filesystem::exists(autosave));
}

TEST_F(WorkbenchTest, UnattendedCloseLogsTheWholeSpanAndSavesWithoutAsking)
{
    std::string path = MakeProject("Prob1", ThreePhases());
    Start(path);
    At(10, 0, 0);
    View().SelectMode(3);
    At(15, 0, 0); // beyond the forgotten-timer limit, but nobody is there to ask
    EXPECT_TRUE(Doc().CloseUnattended());
    EXPECT_TRUE(prompt_.shown.empty());
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(Doc().Data().mode, NeutralMode);
    ProjectRecord saved;
    ASSERT_TRUE(LoadProjectFile(path, saved).Ok());
    ASSERT_EQ(saved.timeLog.entries.size(), 1u);
    EXPECT_EQ(saved.timeLog.entries[0].phase, "C");
    EXPECT_EQ(saved.timeLog.entries[0].Duration(), 5 * 3600);
    EXPECT_FALSE(std::filesystem::exists(JournalPathFor(path)));
    std::string last;
    ASSERT_TRUE(ReadLastProject(last).Ok());
    EXPECT_EQ(last, "Prob1");

    // When the save fails, the autosave keeps the work for the next start.
    View().SelectMode(1);
    At(15, 10, 0);
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_FALSE(Doc().CloseUnattended());
    EXPECT_TRUE(prompt_.shown.empty());
    ProjectRecord autosaved;
    ASSERT_TRUE(LoadProjectFile(AutosavePathFor(path), autosaved).Ok());
    EXPECT_EQ(autosaved.timeLog.entries.size(), 2u);
}

TEST_F(WorkbenchTest, WorkSavedWhileTheForgottenPhaseQuestionIsOpenStaysSaved)
{
    // A logout arrives while the student still looks at the question.
    class InterruptedPrompt final : public Prompt {
    public:
        explicit InterruptedPrompt(CQuilvaneDoc& doc) : doc_(doc) {}
        void Inform(QWidget*, const QString&) override {}
        Answer Ask(QWidget*, const QString&, bool) override
        {
            EXPECT_TRUE(doc_.CloseUnattended());
            return Answer::No;
        }
        std::optional<QString> ChooseFolder(QWidget*, const QString&, const QString&) override { return {}; }
        std::optional<QString> ChooseFile(QWidget*, const QString&, const QString&, const QString&,
                                          bool) override
        {
            return {};
        }

    private:
        CQuilvaneDoc& doc_;
    };
    std::string path = MakeProject("Prob1", ThreePhases());
    Start(path);
    InterruptedPrompt interrupted(Doc());
    SetPrompt(&interrupted);
    At(10, 0, 0);
    View().SelectMode(1);
    At(14, 0, 0);
    View().SelectMode(2);
    SetPrompt(&prompt_);
    EXPECT_EQ(Doc().Data().mode, NeutralMode);
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_FALSE(std::filesystem::exists(JournalPathFor(path)));
    ProjectRecord saved;
    ASSERT_TRUE(LoadProjectFile(path, saved).Ok());
    ASSERT_EQ(saved.timeLog.entries.size(), 1u);
    EXPECT_EQ(saved.timeLog.entries[0].Duration(), 4 * 3600);
}
