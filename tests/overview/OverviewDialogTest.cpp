#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "overview/COverviewDlg.h"
#include "overview/OverviewCommands.h"
#include "overview/ProblemPageBrowser.h"
#include "tests/GuiFixture.h"

using namespace quilvane;

namespace {

// Runs `action` on the overview dialog once it is open.
template <typename Action>
void WhenOverviewOpens(Action action)
{
    QTimer::singleShot(0, [action] {
        auto* dlg = qobject_cast<COverviewDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        action(*dlg);
    });
}

} // namespace

TEST_F(WorkbenchTest, OverviewOkRebuildsPhasesByNameAndEndsTheRunningPhase)
{
    ProjectRecord p = ThreePhases();
    p.phases[0].ratio = 7;
    Start(MakeProject("Prob1", p));
    At(10, 0, 0);
    View().SelectMode(1);
    At(10, 2, 0);
    WhenOverviewOpens([](COverviewDlg& dlg) {
        EXPECT_EQ(dlg.PhasesEdit()->toPlainText(), "A\nB\nC\n");
        dlg.PhasesEdit()->setPlainText("C\nA\n\nD");
        dlg.FolderEdit()->setText("/srv/psp");
        dlg.Button(1)->click();
    });
    View().Button(1029)->click();
    const auto& phases = Doc().Data().phases;
    ASSERT_EQ(phases.size(), 4u);
    EXPECT_EQ(phases[1].name, "A");
    EXPECT_EQ(phases[2].name, "");
    EXPECT_EQ(phases[3].name, "D");
    EXPECT_EQ(Doc().Data().mode, NeutralMode);
    ASSERT_EQ(Doc().Data().timeLog.entries.size(), 1u);
    EXPECT_EQ(Doc().Data().timeLog.entries[0].Duration(), 120);
    EXPECT_EQ(Doc().Data().overview.registrationFolder, "/srv/psp");
    EXPECT_EQ(View().ModeList()->count(), 5);
    // The planned total is spread over the new phases.
    int planSum = 0;
    for (const auto& ph : phases) {
        planSum += ph.plan;
    }
    EXPECT_EQ(planSum, Doc().Data().estimate.totalMinutes);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_NE(Doc().Data().overview.windowRect, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
}

TEST_F(WorkbenchTest, OverviewCancelChangesNothing)
{
    Start(MakeProject("Prob1", ThreePhases()));
    ProjectRecord before = Doc().Data();
    WhenOverviewOpens([](COverviewDlg& dlg) {
        dlg.PhasesEdit()->setPlainText("X");
        dlg.NameEdit()->setText("someone");
        dlg.reject();
    });
    View().Button(1029)->click();
    EXPECT_EQ(Doc().Data(), before);
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(WorkbenchTest, SaveAsDefaultsRefusesThePlaceholderName)
{
    std::vector<PhaseRecord> phases{{"A", 0, 0, 0}};
    std::string name = "Prob1";
    COverviewDlg dlg(false, name, phases);
    dlg.OnInitDialog();
    dlg.NameEdit()->setText("YOUR NAME");
    EXPECT_FALSE(dlg.SaveAsDefaults());
    EXPECT_EQ(prompt_.shown.back(), "名前を設定して下さい");
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("init/psp.txt")));
    dlg.NameEdit()->setText("your name");
    dlg.PhasesEdit()->setPlainText("P\nQ");
    EXPECT_TRUE(dlg.SaveAsDefaults());
    EXPECT_EQ(prompt_.shown.back(), "保存しました");
    Settings saved;
    ASSERT_EQ(LoadSettings(saved), 0);
    EXPECT_EQ(saved, (Settings{"your name", "", {"P", "Q"}}));
}

TEST_F(WorkbenchTest, ResetReloadsFromTheSettingsFile)
{
    std::vector<PhaseRecord> phases{{"A", 0, 0, 0}};
    std::string name = "Prob1";
    COverviewDlg dlg(false, name, phases);
    dlg.OnInitDialog();
    dlg.Reset();
    EXPECT_EQ(prompt_.shown.back(), "データが見つかりません");
    EXPECT_EQ(dlg.PhasesEdit()->toPlainText(), "A\n");
    ASSERT_EQ(SaveSettings(Settings{"N", "R", {"X", "Y"}}), 0);
    dlg.Reset();
    EXPECT_EQ(dlg.NameEdit()->text(), "N");
    EXPECT_EQ(dlg.FolderEdit()->text(), "R");
    EXPECT_EQ(dlg.PhasesEdit()->toPlainText(), "X\nY\n");
    EXPECT_EQ(phases.size(), 1u);
}

TEST_F(WorkbenchTest, DroppingOneItemSetsTheFolderSeveralChangeNothing)
{
    std::vector<PhaseRecord> phases;
    std::string name = "Prob1";
    COverviewDlg dlg(false, name, phases);
    dlg.OnInitDialog();
    dlg.DropPaths({"/a", "/b"});
    EXPECT_EQ(dlg.FolderEdit()->text(), "");
    dlg.DropPaths({"/srv/file.txt"});
    EXPECT_EQ(dlg.FolderEdit()->text(), "/srv/file.txt");
    prompt_.choices = {std::nullopt, QStringLiteral("/chosen")};
    dlg.Browse();
    EXPECT_EQ(dlg.FolderEdit()->text(), "/srv/file.txt");
    dlg.Browse();
    EXPECT_EQ(dlg.FolderEdit()->text(), "/chosen");
}

TEST_F(WorkbenchTest, SettingsOnlyFormHidesTheProblemAndClosesOnlyAfterSaving)
{
    std::vector<PhaseRecord> phases;
    std::string name;
    COverviewDlg dlg(true, name, phases);
    dlg.fields.windowRect = {1, 2, 3, 4};
    dlg.OnInitDialog();
    EXPECT_TRUE(dlg.Browser()->isHidden());
    EXPECT_TRUE(dlg.Button(1058)->isHidden());
    EXPECT_EQ(dlg.fields.windowRect, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
    dlg.NameEdit()->setText("YOUR NAME");
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    dlg.NameEdit()->setText("山田");
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    Settings saved;
    ASSERT_EQ(LoadSettings(saved), 0);
    EXPECT_EQ(saved.userName, "\x8E\x52\x93\x63");
}

TEST_F(WorkbenchTest, ProblemPageIsDecodedFromCp932)
{
    std::filesystem::create_directories(dir_.Path("prob/htm"));
    ASSERT_TRUE(WriteFileAtomically(dir_.Path("prob/htm/Prob1.htm"),
                                    "<html><body><h1>\x96\xE2\x91\xE8</h1><a href=\"next.htm\">n</a></body></html>")
                    .Ok());
    std::vector<PhaseRecord> phases;
    std::string name = "Prob1";
    COverviewDlg dlg(false, name, phases);
    dlg.OnInitDialog();
    EXPECT_TRUE(dlg.Browser()->toPlainText().contains("問題"));
    EXPECT_TRUE(dlg.Browser()->source().toLocalFile().endsWith("prob/htm/Prob1.htm"));
}
