#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "estimate/CEstimateDlg.h"
#include "estimate/CResultDlg.h"
#include "estimate/LineMatcher.h"
#include "platform/FileIo.h"
#include "tests/GuiFixture.h"
#include "ui/ControlIds.h"

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
    dlg.Edit(ControlId::EstimateBaseLoc)->setText("101");
    dlg.Edit(ControlId::EstimateAvailablePercent)->setText("50");
    dlg.NewLocEdit()->setPlainText("読込 20\n計算 30");
    dlg.Button(ControlId::EstimateSplitButton)->click();
    EXPECT_EQ(dlg.Edit(ControlId::EstimateReuseLoc)->text(), "51");
    EXPECT_EQ(dlg.Edit(ControlId::EstimateDeleteLoc)->text(), "50");
    EXPECT_EQ(dlg.Edit(ControlId::EstimateNewLoc)->text(), "50");
    EXPECT_EQ(dlg.estimate.newLocText, "\x93\xC7\x8D\x9E 20\r\n\x8C\x76\x8E\x5A 30");
}

TEST_F(EstimateDialogs, InvalidIntegerStopsTheButton)
{
    ProjectRecord p;
    CEstimateDlg dlg(p);
    dlg.ShowFields();
    dlg.Edit(ControlId::EstimateBaseLoc)->setText("12x");
    dlg.NewLocEdit()->setPlainText("a 5");
    dlg.Button(ControlId::EstimateSplitButton)->click();
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
    dlg.Button(ControlId::EstimateBaseSizeButton)->click();
    EXPECT_EQ(dlg.estimate.baseLoc, 4);
    EXPECT_EQ(dlg.Edit(ControlId::EstimateBaseLoc)->text(), "4");
    auto* note = dlg.findChild<QLabel*>(QStringLiteral("unreadableNote"));
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isHidden());
    // A source that cannot be read is left out of the count, and the note under it says so.
    std::filesystem::create_symlink("/proc/self/mem", dir_.Path("Prob0/Mem.cs"));
    dlg.Button(ControlId::EstimateBaseSizeButton)->click();
    EXPECT_EQ(dlg.estimate.baseLoc, 4);
    EXPECT_FALSE(note->isHidden());
    EXPECT_EQ(note->text(), QStringLiteral("1 個のファイルを読めませんでした"));
    std::filesystem::remove(dir_.Path("Prob0/Mem.cs"));
    dlg.Button(ControlId::EstimateBaseSizeButton)->click();
    EXPECT_TRUE(note->isHidden());
    // A base named in Japanese is the UTF-8 folder of that name.
    Write("基礎/基礎.cs", "class B {\n  int a;\n}\n");
    dlg.Edit(ControlId::EstimateBaseName)->setText(QStringLiteral("基礎"));
    dlg.Button(ControlId::EstimateBaseSizeButton)->click();
    EXPECT_EQ(dlg.estimate.baseLoc, 2);
    dlg.Edit(ControlId::EstimateBaseName)->setText("Missing");
    dlg.Button(ControlId::EstimateBaseSizeButton)->click();
    EXPECT_EQ(dlg.estimate.baseLoc, 0);
    // A count that runs out of memory is reported and keeps the old size.
    dlg.Edit(ControlId::EstimateBaseName)->setText("Prob0");
    dlg.Button(ControlId::EstimateBaseSizeButton)->click();
    Write("Prob0/Big.cs", std::string(100000, ';'));
    std::size_t previous = SetBulkMemoryLimit(16 << 10);
    dlg.Button(ControlId::EstimateBaseSizeButton)->click();
    (void)SetBulkMemoryLimit(previous);
    EXPECT_EQ(dlg.estimate.baseLoc, 4);
    EXPECT_EQ(dlg.Edit(ControlId::EstimateBaseLoc)->text(), "4");
    ASSERT_FALSE(prompt_.shown.empty());
    EXPECT_TRUE(prompt_.shown.back().contains("Prob0/Big.cs: ")) << prompt_.shown.back().toStdString();
    EXPECT_TRUE(prompt_.shown.back().contains("メモリが足りない")) << prompt_.shown.back().toStdString();
}

TEST_F(EstimateDialogs, EmptyHistoryGivesZeroCoefficientsAndAnInfiniteRange)
{
    ProjectRecord p;
    p.estimate.constant = 3.5;
    CEstimateDlg dlg(p);
    dlg.loadHistory = [] { return std::vector<HistoryPoint>{}; };
    dlg.ShowFields();
    EXPECT_EQ(dlg.Edit(ControlId::EstimateConstant)->text(), "3.5");
    dlg.Button(ControlId::EstimateRefitButton)->click();
    EXPECT_EQ(dlg.Edit(ControlId::EstimateConstant)->text(), "0");
    dlg.Edit(ControlId::EstimateNewLoc)->setText("100");
    dlg.Button(ControlId::EstimatePredictButton)->click();
    EXPECT_EQ(dlg.Edit(ControlId::EstimateTotalMinutes)->text(), "0");
    EXPECT_EQ(dlg.Edit(ControlId::EstimateRangeText)->text(), "∞");
    // The student is told why, and what to do instead; the fields stay as computed.
    const QString told = dlg.Diagnostics()->text();
    EXPECT_TRUE(told.startsWith(QStringLiteral("履歴: 0 件"))) << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("あと 5 件の完了したプロジェクトが必要です")));
    EXPECT_TRUE(told.contains(QStringLiteral("合計時間は直接入力できます")));
    EXPECT_TRUE(told.contains(QStringLiteral("工程ごとの計画時間の配分")));
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
        return std::vector<HistoryPoint>{{0, 0, 10, 30},  {5, 1, 20, 52},  {10, 3, 35, 80},
                                         {20, 2, 15, 51}, {8, 8, 50, 120}, {30, 0, 5, 33}};
    };
    dlg.ShowFields();
    dlg.Button(ControlId::EstimateFromActualsButton)->click();
    EXPECT_EQ(dlg.Edit(ControlId::EstimateReuseLoc)->text(), "10");
    EXPECT_EQ(dlg.Edit(ControlId::EstimateDeleteLoc)->text(), "2");
    EXPECT_EQ(dlg.Edit(ControlId::EstimateNewLoc)->text(), "40");
    EXPECT_EQ(dlg.Edit(ControlId::EstimateTotalMinutes)->text(), "95");
    dlg.Button(ControlId::EstimateRefitButton)->click();
    dlg.Button(ControlId::EstimatePredictButton)->click();
    EXPECT_NE(dlg.estimate.rangeText, "\x81\x87");
    EXPECT_GT(dlg.estimate.totalMinutes, 0);
    const QString told = dlg.Diagnostics()->text();
    EXPECT_TRUE(told.startsWith(QStringLiteral("履歴: 6 件   r² = 0."))) << told.toStdString();
    EXPECT_FALSE(told.contains(QStringLiteral("σ = -")));
    EXPECT_FALSE(told.contains('\n'));
    // A planned size beyond every finished project is pointed out, also when it comes from the
    // base's split rather than from a new prediction.
    dlg.Edit(ControlId::EstimateNewLoc)->setText("400");
    dlg.Button(ControlId::EstimatePredictButton)->click();
    EXPECT_TRUE(
        dlg.Diagnostics()->text().contains(QStringLiteral("計画の新規 LOC (400) が履歴の範囲 (5〜50) の外")));
    dlg.Edit(ControlId::EstimateBaseLoc)->setText("100");
    dlg.Edit(ControlId::EstimateAvailablePercent)->setText("10");
    dlg.NewLocEdit()->setPlainText(QStringLiteral("読込 20"));
    dlg.Button(ControlId::EstimateSplitButton)->click();
    const QString split = dlg.Diagnostics()->text();
    EXPECT_FALSE(split.contains(QStringLiteral("新規 LOC"))) << split.toStdString();
    EXPECT_TRUE(split.contains(QStringLiteral("計画の削除 LOC (90) が履歴の範囲 (0〜8) の外")));
}

TEST_F(EstimateDialogs, OkSpreadsPlansOnlyWhenTheTotalChanged)
{
    ProjectRecord p = ThreePhases();
    p.phases[0].plan = 7;
    Start(MakeProject("Prob1", p));
    WhenOpen<CEstimateDlg>([](CEstimateDlg& dlg) {
        dlg.Edit(ControlId::EstimateNewLoc)->setText("12");
        dlg.Button(ControlId::Ok)->click();
    });
    View().Button(ControlId::EstimateButton)->click();
    EXPECT_EQ(Doc().Data().estimate.newLoc, 12);
    EXPECT_EQ(Doc().Data().phases[0].plan, 7);
    EXPECT_TRUE(Doc().IsModified());

    WhenOpen<CEstimateDlg>([](CEstimateDlg& dlg) {
        dlg.Edit(ControlId::EstimateTotalMinutes)->setText("120");
        dlg.Button(ControlId::Ok)->click();
    });
    View().Button(ControlId::EstimateButton)->click();
    int sum = 0;
    for (const auto& ph : Doc().Data().phases) {
        sum += ph.plan;
    }
    EXPECT_EQ(sum, 120);
    EXPECT_EQ(Cell(3, 1), "120");

    Doc().SetModifiedFlag(false);
    ProjectRecord before = Doc().Data();
    WhenOpen<CEstimateDlg>([](CEstimateDlg& dlg) {
        dlg.Edit(ControlId::EstimateTotalMinutes)->setText("999");
        dlg.reject();
    });
    View().Button(ControlId::EstimateButton)->click();
    EXPECT_EQ(Doc().Data(), before);
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(EstimateDialogs, ResultsWithoutBaseCountEverythingAsNew)
{
    Write("Prob1/Prob1.cs", "class A {\n  int a;\n}\n");
    std::filesystem::create_symlink("/proc/self/mem", dir_.Path("Prob1/Mem.cs")); // opens, reads nothing
    ProjectRecord p = ThreePhases();
    p.estimate.reuseLoc = 5;
    p.estimate.newLoc = 7;
    p.estimate.deleteLoc = 40;
    p.defectLog.entries = {{"A", "x", Moment(1)}, {"B", "y", Moment(2)}};
    p.timeLog.entries = {{"A", Moment(1000), Moment(1000 + 150)}};
    Start(MakeProject("Prob1", p));
    WhenOpen<CResultDlg>([](CResultDlg& dlg) {
        EXPECT_EQ(dlg.Edit(ControlId::ResultPlanTotal)->text(), "12");
        EXPECT_EQ(dlg.Edit(ControlId::ResultBugCount)->text(), "2");
        EXPECT_EQ(dlg.Edit(ControlId::ResultActualMinutes)->text(), "3");
        dlg.Button(ControlId::ResultMeasureButton)->click();
        EXPECT_EQ(dlg.Edit(ControlId::ResultActualReuse)->text(), "0");
        EXPECT_EQ(dlg.Edit(ControlId::ResultActualDelete)->text(), "0");
        EXPECT_EQ(dlg.Edit(ControlId::ResultActualNew)->text(), "2");
        EXPECT_EQ(dlg.Edit(ControlId::ResultActualTotal)->text(), "2");
        EXPECT_EQ(dlg.findChild<QLabel*>(QStringLiteral("unreadableNote"))->text(),
                  QStringLiteral("1 個のファイルを読めませんでした"));
        dlg.Edit(ControlId::ResultBaseName)->setText("Prob0");
        dlg.Button(ControlId::Ok)->click();
    });
    View().Button(ControlId::ResultButton)->click();
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
        dlg.Edit(ControlId::ResultActualReuse)->setText("30");
        dlg.Edit(ControlId::ResultActualNew)->setText("12");
        dlg.Button(ControlId::Ok)->click();
    });
    View().Button(ControlId::ResultButton)->click();
    EXPECT_EQ(Doc().Data().result.actualReuse, 30);
    EXPECT_EQ(Doc().Data().result.actualNew, 12);

    WhenOpen<CResultDlg>([](CResultDlg& dlg) {
        dlg.Button(ControlId::ResultMeasureButton)->click();
        dlg.reject();
    });
    View().Button(ControlId::ResultButton)->click();
    EXPECT_EQ(Doc().Data().result.actualReuse, 30);
    EXPECT_EQ(Doc().Data().result.actualNew, 12);
}

TEST_F(EstimateDialogs, FieldsStayPutWhileTheDiagnosticsChangeTheirLength)
{
    ProjectRecord p;
    CEstimateDlg dlg(p);
    dlg.ShowFields();
    dlg.show();
    auto settle = [] {
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
        }
    };
    dlg.Diagnostics()->setText("1\n2\n3\n4");
    settle();
    const QPoint newLoc = dlg.Edit(ControlId::EstimateNewLoc)->pos();
    const QPoint refit = dlg.Button(ControlId::EstimateRefitButton)->pos();
    dlg.Diagnostics()->setText("1");
    settle();
    EXPECT_EQ(dlg.Edit(ControlId::EstimateNewLoc)->pos(), newLoc);
    EXPECT_EQ(dlg.Button(ControlId::EstimateRefitButton)->pos(), refit);
}
