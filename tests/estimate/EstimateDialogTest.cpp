#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "estimate/CEstimateDlg.h"
#include "estimate/CResultDlg.h"
#include "platform/FileIo.h"
#include "tests/GuiFixture.h"

using namespace quilvane;

namespace {

class EstimateDialogs : public WorkbenchTest {
protected:
    void Write(const std::string& relative, const std::string& text)
    {
        std::filesystem::create_directories(std::filesystem::path(dir_.Path(relative)).parent_path());
        ASSERT_TRUE(WriteFileAtomically(dir_.Path(relative), text).Ok());
    }
};

} // namespace

TEST_F(EstimateDialogs, SplitRoundsHalfUpAndSumsTheNewParts)
{
    ProjectRecord p;
    CEstimateDlg dlg(p);
    dlg.ShowFields();
    dlg.Edit(1034)->setText("101");
    dlg.Edit(1033)->setText("50");
    dlg.NewLocEdit()->setPlainText("読込 20\n計算 30");
    dlg.Button(1036)->click();
    EXPECT_EQ(dlg.Edit(1048)->text(), "51");
    EXPECT_EQ(dlg.Edit(1042)->text(), "50");
    EXPECT_EQ(dlg.Edit(1045)->text(), "50");
    EXPECT_EQ(dlg.estimate.newLocText, "\x93\xC7\x8D\x9E 20\r\n\x8C\x76\x8E\x5A 30");
}

TEST_F(EstimateDialogs, InvalidIntegerStopsTheButton)
{
    ProjectRecord p;
    CEstimateDlg dlg(p);
    dlg.ShowFields();
    dlg.Edit(1034)->setText("12x");
    dlg.NewLocEdit()->setPlainText("a 5");
    dlg.Button(1036)->click();
    EXPECT_EQ(prompt_.shown.back(), "整数を入力してください。");
    EXPECT_EQ(dlg.estimate.newLoc, 0);
}

TEST_F(EstimateDialogs, BaseSizeCountsTheWholeBaseProject)
{
    Write("Prob0/Prob0.cs", "using System;\nclass A {\n  int a;\n  int b;\n}\n");
    ProjectRecord p;
    p.estimate.baseName = "Prob0";
    CEstimateDlg dlg(p);
    dlg.ShowFields();
    dlg.Button(1038)->click();
    EXPECT_EQ(dlg.estimate.baseLoc, 4);
    EXPECT_EQ(dlg.Edit(1034)->text(), "4");
    dlg.Edit(1035)->setText("Missing");
    dlg.Button(1038)->click();
    EXPECT_EQ(dlg.estimate.baseLoc, 0);
}

TEST_F(EstimateDialogs, EmptyHistoryGivesZeroCoefficientsAndAnInfiniteRange)
{
    ProjectRecord p;
    p.estimate.constant = 3.5;
    CEstimateDlg dlg(p);
    dlg.loadHistory = [] { return std::vector<HistoryPoint>{}; };
    dlg.ShowFields();
    EXPECT_EQ(dlg.Edit(1040)->text(), "3.5");
    dlg.Button(1037)->click();
    EXPECT_EQ(dlg.Edit(1040)->text(), "0");
    dlg.Edit(1045)->setText("100");
    dlg.Button(1039)->click();
    EXPECT_EQ(dlg.Edit(1050)->text(), "0");
    EXPECT_EQ(dlg.Edit(1049)->text(), "∞");
}

TEST_F(EstimateDialogs, FivePointsGiveAFiniteRangeAndActualsFillThePlan)
{
    ProjectRecord p;
    p.result.actualReuse = 10;
    p.result.actualDelete = 2;
    p.result.actualNew = 40;
    p.result.actualMinutes = 95;
    CEstimateDlg dlg(p);
    dlg.loadHistory = [] {
        return std::vector<HistoryPoint>{
            {0, 0, 10, 30}, {5, 1, 20, 52}, {10, 3, 35, 80}, {20, 2, 15, 51}, {8, 8, 50, 120}, {30, 0, 5, 33}};
    };
    dlg.ShowFields();
    dlg.Button(1104)->click();
    EXPECT_EQ(dlg.Edit(1048)->text(), "10");
    EXPECT_EQ(dlg.Edit(1042)->text(), "2");
    EXPECT_EQ(dlg.Edit(1045)->text(), "40");
    EXPECT_EQ(dlg.Edit(1050)->text(), "95");
    dlg.Button(1037)->click();
    dlg.Button(1039)->click();
    EXPECT_NE(dlg.estimate.rangeText, "\x81\x87");
    EXPECT_GT(dlg.estimate.totalMinutes, 0);
}

TEST_F(EstimateDialogs, OkSpreadsPlansOnlyWhenTheTotalChanged)
{
    ProjectRecord p = ThreePhases();
    p.phases[0].plan = 7;
    Start(MakeProject("Prob1", p));
    WhenOpen<CEstimateDlg>([](CEstimateDlg& dlg) {
        dlg.Edit(1045)->setText("12");
        dlg.Button(1)->click();
    });
    View().Button(1027)->click();
    EXPECT_EQ(Doc().Data().estimate.newLoc, 12);
    EXPECT_EQ(Doc().Data().phases[0].plan, 7);
    EXPECT_TRUE(Doc().IsModified());

    WhenOpen<CEstimateDlg>([](CEstimateDlg& dlg) {
        dlg.Edit(1050)->setText("120");
        dlg.Button(1)->click();
    });
    View().Button(1027)->click();
    int sum = 0;
    for (const auto& ph : Doc().Data().phases) {
        sum += ph.plan;
    }
    EXPECT_EQ(sum, 120);
    EXPECT_EQ(Cell(3, 1), "120");

    Doc().SetModifiedFlag(false);
    ProjectRecord before = Doc().Data();
    WhenOpen<CEstimateDlg>([](CEstimateDlg& dlg) {
        dlg.Edit(1050)->setText("999");
        dlg.reject();
    });
    View().Button(1027)->click();
    EXPECT_EQ(Doc().Data(), before);
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(EstimateDialogs, ResultsWithoutBaseCountEverythingAsNew)
{
    Write("Prob1/Prob1.cs", "class A {\n  int a;\n}\n");
    ProjectRecord p = ThreePhases();
    p.estimate.reuseLoc = 5;
    p.estimate.newLoc = 7;
    p.estimate.deleteLoc = 40;
    p.defectLog.entries = {{"A", "x", Moment(1)}, {"B", "y", Moment(2)}};
    p.timeLog.entries = {{"A", Moment(1000), Moment(1000 + 150)}};
    Start(MakeProject("Prob1", p));
    WhenOpen<CResultDlg>([](CResultDlg& dlg) {
        EXPECT_EQ(dlg.Edit(1094)->text(), "12");
        EXPECT_EQ(dlg.Edit(1068)->text(), "2");
        EXPECT_EQ(dlg.Edit(1076)->text(), "3");
        dlg.Button(1067)->click();
        EXPECT_EQ(dlg.Edit(1075)->text(), "0");
        EXPECT_EQ(dlg.Edit(1069)->text(), "0");
        EXPECT_EQ(dlg.Edit(1070)->text(), "2");
        EXPECT_EQ(dlg.Edit(1095)->text(), "2");
        dlg.Edit(1065)->setText("Prob0");
        dlg.Button(1)->click();
    });
    View().Button(1030)->click();
    EXPECT_EQ(Doc().Data().result.actualNew, 2);
    EXPECT_EQ(Doc().Data().result.actualMinutes, 3);
    EXPECT_EQ(Doc().Data().estimate.baseName, "Prob0");
    EXPECT_TRUE(Doc().IsModified());
}

TEST_F(EstimateDialogs, ResultsTypedByHandAreKeptAndCancelKeepsTheStoredOnes)
{
    Write("Prob1/Prob1.cs", "int a;\n");
    Start(MakeProject("Prob1", ThreePhases()));
    WhenOpen<CResultDlg>([](CResultDlg& dlg) {
        dlg.Edit(1075)->setText("30");
        dlg.Edit(1070)->setText("12");
        dlg.Button(1)->click();
    });
    View().Button(1030)->click();
    EXPECT_EQ(Doc().Data().result.actualReuse, 30);
    EXPECT_EQ(Doc().Data().result.actualNew, 12);

    WhenOpen<CResultDlg>([](CResultDlg& dlg) {
        dlg.Button(1067)->click();
        dlg.reject();
    });
    View().Button(1030)->click();
    EXPECT_EQ(Doc().Data().result.actualReuse, 30);
    EXPECT_EQ(Doc().Data().result.actualNew, 12);
}
