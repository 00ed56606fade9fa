#include <QComboBox>
#include <QPushButton>
#include <QTreeWidget>

#include "mainwindow/PhaseClock.h"
#include "tests/GuiFixture.h"

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
    auto start = Doc().modeStart;
    clock_.Advance(100);
    View().SelectMode(1);
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(Doc().modeStart, start);
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
    View().Button(1022)->click();
    EXPECT_EQ(Cell(0, 1), "330");
    EXPECT_EQ(Doc().Data().estimate.totalMinutes, 333);
    EXPECT_EQ(Cell(3, 1), "333");
    SetCtrlHeldOverride(false);
    SelectRow(1);
    View().Button(1025)->click();
    EXPECT_EQ(Cell(1, 1), "0");
    EXPECT_EQ(Doc().Data().phases[1].plan, 0);
    EXPECT_EQ(Doc().Data().estimate.totalMinutes, 330);
    EXPECT_TRUE(Doc().IsModified());

    // At zero already, on the totals row, or with nothing selected: nothing changes.
    Doc().SetModifiedFlag(false);
    View().Button(1024)->click();
    SelectRow(3);
    View().Button(1022)->click();
    View().PhaseList()->clearSelection();
    View().PhaseList()->setCurrentItem(nullptr);
    View().Button(1023)->click();
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(Doc().Data().estimate.totalMinutes, 330);
}

TEST_F(WorkbenchTest, ModeCommandsSelectIndicesWithFallback)
{
    Start(MakeProject("Prob1", ThreePhases()));
    for (int i = 0; i <= 10; ++i) {
        ASSERT_TRUE(Frame().OnCommand(32771 + i));
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
    ASSERT_EQ(ReadLastProject(last), 0);
    EXPECT_EQ(last, "Prob1");
}

TEST_F(WorkbenchTest, ClosingUnchangedInNeutralOffersNothing)
{
    Start(MakeProject("Prob2", ThreePhases()));
    Frame().close();
    EXPECT_TRUE(prompt_.shown.empty());
    std::string last;
    ASSERT_EQ(ReadLastProject(last), 0);
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
    EXPECT_EQ(Doc().modeStart, 0);
}

TEST_F(WorkbenchTest, FailedOpenKeepsTheOpenProject)
{
    Start(MakeProject("Prob1", ThreePhases()));
    At(10, 0, 0);
    View().SelectMode(1);
    std::filesystem::create_directories(dir_.Path("Bad"));
    ASSERT_TRUE(WriteFileAtomically(dir_.Path("Bad/work.psp"), "\x67").Ok());
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
