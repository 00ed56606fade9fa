// A newcomer's whole path through the real workbench, on a copy of the shipped workspace:
// first start, name, a project for the first exercise, clocked phases, defects, the estimate,
// the measured results, the statistics, and registration with the progress page.
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <chrono>
#include <thread>

#include "estimate/CEstimateDlg.h"
#include "estimate/CResultDlg.h"
#include "logs/CDefectEditDlg.h"
#include "overview/CNewProjectDlg.h"
#include "overview/COverviewDlg.h"
#include "platform/FileIo.h"
#include "statistics/CStatisticsDlg.h"
#include "statistics/StatStore.h"
#include "tests/GuiFixture.h"
#include "ui/ControlIds.h"

using namespace quilvane;
namespace fs = std::filesystem;

namespace {

class EndToEnd : public WorkbenchTest {
protected:
    void SetUp() override
    {
        WorkbenchTest::SetUp();
        // The shipped workspace as the build lays it out.
        fs::copy(QUILVANE_WORKSPACE_DIR "/init", dir_.Path("init"),
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        fs::remove(dir_.Path("init/work.json"));
        fs::copy_file(QUILVANE_TEMPLATE_PSP, dir_.Path("init/work.psp"));
        fs::copy(QUILVANE_WORKSPACE_DIR "/prob", dir_.Path("prob"), fs::copy_options::recursive);
        fs::copy(QUILVANE_WORKSPACE_DIR "/projects", dir_.Root(), fs::copy_options::recursive);
        fs::create_directories(registration_);
        fs::copy_file(TESSALINE_PATH, registration_ + "/Tessaline");
    }

    std::string registration_ = dir_.Path("R");
};

} // namespace

TEST_F(EndToEnd, NewcomerGoesFromFirstStartToTheProgressPage)
{
    // First start: the settings still hold "YOUR NAME".
    Settings shipped;
    ASSERT_TRUE(LoadSettings(shipped).Ok());
    ASSERT_EQ(shipped.userName, "YOUR NAME");
    const std::string registration = registration_;
    WhenOpen<COverviewDlg>([registration](COverviewDlg& dlg) {
        ASSERT_TRUE(dlg.SettingsOnly());
        dlg.NameEdit()->setText("yamada");
        dlg.FolderEdit()->setText(QString::fromStdString(registration));
        WhenOpen<CNewProjectDlg>([](CNewProjectDlg& newProject) {
            EXPECT_EQ(newProject.ExerciseList()->currentText(), "Prob1");
            EXPECT_EQ(newProject.BaseList()->currentText(), "Prob0");
            newProject.accept();
        });
        dlg.accept();
    });
    clock_.Set(1796601600); // 2026-12-07 09:00 in Tokyo
    Start();
    ASSERT_EQ(Doc().Data().projectName, "Prob1");
    Settings saved;
    ASSERT_TRUE(LoadSettings(saved).Ok());
    EXPECT_EQ(saved.userName, "yamada");
    EXPECT_TRUE(fs::exists(dir_.Path("Prob1/Prob1.cs")));
    EXPECT_TRUE(fs::exists(dir_.Path("Prob1/PSP.sln")));

    // Plan, then code for half an hour with a defect found, then test.
    View().SelectMode(1);
    clock_.Advance(10 * 60);
    View().SelectMode(4);
    clock_.Advance(20 * 60);
    WhenOpen<CDefectEditDlg>([](CDefectEditDlg& dlg) {
        dlg.Comment()->setPlainText("セミコロン抜け");
        dlg.accept();
    });
    View().Button(ControlId::AddDefectButton)->click();
    clock_.Advance(10 * 60);
    View().SelectMode(7);
    clock_.Advance(5 * 60);
    View().SelectMode(0);
    ASSERT_EQ(Doc().Data().timeLog.entries.size(), 3u);
    ASSERT_EQ(Doc().Data().defectLog.entries.size(), 1u);
    EXPECT_EQ(Cell(0, 2), "10");
    EXPECT_EQ(Cell(3, 2), "30");

    // The estimate: base size, split, refit over the (empty) history, predict.
    WhenOpen<CEstimateDlg>([](CEstimateDlg& dlg) {
        dlg.Button(ControlId::EstimateBaseSizeButton)->click();
        EXPECT_GT(dlg.estimate.baseLoc, 0);
        dlg.NewLocEdit()->setPlainText("リスト 40\n計算 20");
        dlg.Button(ControlId::EstimateSplitButton)->click();
        EXPECT_EQ(dlg.estimate.newLoc, 60);
        dlg.Button(ControlId::EstimateRefitButton)->click();
        dlg.Button(ControlId::EstimatePredictButton)->click();
        EXPECT_EQ(dlg.Edit(ControlId::EstimateRangeText)->text(), "∞");
        dlg.Edit(ControlId::EstimateTotalMinutes)->setText("90");
        dlg.Button(ControlId::Ok)->click();
    });
    View().Button(ControlId::EstimateButton)->click();
    EXPECT_EQ(Doc().Data().estimate.totalMinutes, 90);

    // The student writes some code, then measures the result against the base.
    ASSERT_TRUE(WriteFileAtomically(dir_.Path("Prob1/Stats.cs"),
                                    "class Stats {\r\n  double Mean(double[] x) { return 0; }\r\n}\r\n")
                    .Ok());
    WhenOpen<CResultDlg>([](CResultDlg& dlg) {
        dlg.Button(ControlId::ResultMeasureButton)->click();
        EXPECT_GT(dlg.result.actualNew, 0);
        EXPECT_EQ(dlg.Edit(ControlId::ResultActualMinutes)->text(), "45");
        dlg.Button(ControlId::Ok)->click();
    });
    View().Button(ControlId::ResultButton)->click();
    const std::int32_t actualNew = Doc().Data().result.actualNew;
    EXPECT_GT(actualNew, 0);

    // Statistics: saved without changes, which writes the history file.
    prompt_.answers = {Prompt::Answer::Yes};
    WhenOpen<CStatisticsDlg>([](CStatisticsDlg& dlg) { dlg.accept(); });
    View().Button(ControlId::StatisticsButton)->click();
    StatStore store;
    ASSERT_TRUE(LoadStatInfo(store).Ok());
    ASSERT_EQ(store.records.count("Prob1"), 1u);
    EXPECT_EQ(store.records.at("Prob1").actNew, actualNew);
    EXPECT_EQ(store.records.at("Prob1").actMinutes, 45);

    // Registration with the exercise's result line.
    ASSERT_TRUE(WriteFileAtomically(dir_.Path("Prob1/result.txt"), "yamada Prob1 100\r\n").Ok());
    prompt_.answers = {Prompt::Answer::Yes};
    View().Button(ControlId::RegisterButton)->click();
    EXPECT_TRUE(prompt_.shown.back().endsWith("にコピーしました")) << prompt_.shown.back().toStdString();
    EXPECT_TRUE(fs::exists(registration_ + "/yamada/Prob1/work.psp"));
    // Tessaline runs on its own; give it a moment to write the page.
    std::string page = registration_ + "/result.htm";
    for (int i = 0; i < 100 && !fs::exists(page); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    auto html = ReadWholeFile(page);
    ASSERT_TRUE(html.has_value());
    EXPECT_NE(html->find("yamada"), std::string::npos);
    EXPECT_NE(html->find("Prob1"), std::string::npos);
    EXPECT_NE(html->find("100 %"), std::string::npos);

    // The project file holds the whole path.
    ProjectRecord stored;
    ASSERT_TRUE(LoadProjectFile(dir_.Path("Prob1/work.psp"), stored).Ok());
    EXPECT_EQ(stored.overview.userName, "yamada");
    EXPECT_EQ(stored.estimate.baseName, "Prob0");
    EXPECT_EQ(stored.timeLog.entries.size(), 3u);
    EXPECT_EQ(stored.defectLog.entries.size(), 1u);
    EXPECT_EQ(stored.result.actualNew, actualNew);
    EXPECT_EQ(stored.phases.size(), 8u);
}
