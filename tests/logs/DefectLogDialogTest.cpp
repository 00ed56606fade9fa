#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>
#include <QWindow>

#include "logs/CDefectEditDlg.h"
#include "logs/CDefectLogDlg.h"
#include "tests/GuiFixture.h"
#include "ui/ColumnScale.h"

using namespace quilvane;

namespace {

constexpr std::int32_t Base = 1796601600;

DefectLog ThreeDefects()
{
    DefectLog log;
    log.entries = {
        {"B", "second", Moment(Base + 60)}, {"A", "third", Moment(Base + 120)}, {"C", "first", Moment(Base)}};
    return log;
}

} // namespace

class DefectLogDialogTest : public WorkbenchTest {
protected:
    void SetUp() override
    {
        WorkbenchTest::SetUp();
        ProjectRecord p = ThreePhases();
        p.defectLog = ThreeDefects();
        Start(MakeProject("Prob1", p));
    }
    // Presses "バグ追加" and runs `act` in the edit dialog it opens.
    void RunAdd(std::function<void(CDefectEditDlg&)> act)
    {
        WhenOpen<CDefectEditDlg>(act);
        View().Button(1020)->click();
    }
    void RunLog(std::function<void(CDefectLogDlg&)> act)
    {
        WhenOpen<CDefectLogDlg>(act);
        View().Button(1021)->click();
    }
    std::vector<DefectEntry>& Entries() { return Doc().Data().defectLog.entries; }
};

TEST_F(DefectLogDialogTest, AddingInNeutralShowsTheMessageAndAddsNothing)
{
    // Should an edit dialog open after all, confirm it, so the test fails instead of waiting.
    bool opened = false;
    IfOpen<CDefectEditDlg>([&opened](CDefectEditDlg& dlg) {
        opened = true;
        dlg.accept();
    });
    View().Button(1020)->click();
    QApplication::processEvents();
    EXPECT_FALSE(opened);
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_EQ(prompt_.shown[0], QStringLiteral("ニュートラルでは追加できません"));
    EXPECT_EQ(Entries().size(), 3u);
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(DefectLogDialogTest, AddingUnchangedStoresThePhaseAndTheMomentOfThePress)
{
    View().SelectMode(2);
    Doc().SetModifiedFlag(false);
    At(10, 0, 0);
    const auto pressed = clock_.Now();
    RunAdd([this](CDefectEditDlg& dlg) {
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("バグ管理設定"));
        EXPECT_EQ(Child<QLineEdit>(&dlg, 1001)->text(), "B");
        clock_.Advance(45); // the dialog stays open a while
        dlg.accept();
    });
    ASSERT_EQ(Entries().size(), 4u);
    EXPECT_EQ(Entries().back(), (DefectEntry{"B", "", Moment(static_cast<std::int32_t>(pressed))}));
    EXPECT_TRUE(Doc().IsModified());
    // The clock ran on and the time log was not touched.
    EXPECT_EQ(Doc().Data().mode, "B");
    EXPECT_TRUE(Doc().Data().timeLog.entries.empty());
}

TEST_F(DefectLogDialogTest, PlusThreeTimesAndMinusOnceStoresTwoMinutesLater)
{
    View().SelectMode(1);
    At(10, 0, 0);
    const auto pressed = static_cast<std::int32_t>(clock_.Now());
    RunAdd([](CDefectEditDlg& dlg) {
        for (int id : {1005, 1005, 1005, 1006}) {
            Child<QPushButton>(&dlg, id)->click();
        }
        dlg.accept();
    });
    ASSERT_EQ(Entries().size(), 4u);
    EXPECT_EQ(Entries().back().time.Seconds(), pressed + 120);
    EXPECT_EQ(Entries().back().time.Text(), Moment(pressed + 120).Text());
}

TEST_F(DefectLogDialogTest, CtrlPlusPlusStoresFiveHoursLater)
{
    View().SelectMode(1);
    const auto pressed = static_cast<std::int32_t>(clock_.Now());
    SetCtrlHeldOverride(true);
    RunAdd([](CDefectEditDlg& dlg) {
        Child<QPushButton>(&dlg, 1004)->click();
        dlg.accept();
    });
    EXPECT_EQ(Entries().back().time.Seconds(), pressed + 5 * 3600);
}

TEST_F(DefectLogDialogTest, CancelledAddChangesNothing)
{
    View().SelectMode(1);
    Doc().SetModifiedFlag(false);
    RunAdd([](CDefectEditDlg& dlg) {
        Child<QLineEdit>(&dlg, 1001)->setText("X");
        dlg.reject();
    });
    EXPECT_EQ(Entries().size(), 3u);
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(DefectLogDialogTest, MultiLineCommentIsStoredWithCrLf)
{
    View().SelectMode(1);
    RunAdd([](CDefectEditDlg& dlg) {
        dlg.Comment()->setPlainText(QStringLiteral("一行目\n二行目\n"));
        dlg.accept();
    });
    EXPECT_EQ(Entries().back().comment, "\x88\xEA\x8D\x73\x96\xDA\r\n\x93\xF1\x8D\x73\x96\xDA\r\n");
}

TEST_F(DefectLogDialogTest, AddedDefectGoesToTheEndAfterASort)
{
    RunLog([](CDefectLogDlg& dlg) {
        dlg.OnSort(2); // by comment: first, second, third
        dlg.accept();
    });
    ASSERT_EQ(Entries().size(), 3u);
    EXPECT_EQ(Entries()[0].comment, "first");
    View().SelectMode(3);
    RunAdd([](CDefectEditDlg& dlg) {
        dlg.Comment()->setPlainText("added");
        dlg.accept();
    });
    ASSERT_EQ(Entries().size(), 4u);
    EXPECT_EQ(Entries()[3].comment, "added");
    EXPECT_EQ(Entries()[3].phase, "C");
    EXPECT_EQ(Entries()[2].comment, "third");
}

TEST_F(DefectLogDialogTest, CancelAfterDeletingRestoresTheRows)
{
    RunLog([](CDefectLogDlg& dlg) {
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("バグ管理"));
        EXPECT_EQ(dlg.windowType(), Qt::Window);
        EXPECT_TRUE(dlg.isModal());
        // Its own top-level window, not one listed under the frame.
        ASSERT_NE(dlg.windowHandle(), nullptr);
        EXPECT_EQ(dlg.windowHandle()->transientParent(), nullptr);
        dlg.SelectRows({0, 1, 2});
        Child<QPushButton>(&dlg, 1009)->click();
        EXPECT_EQ(dlg.RowCount(), 0);
        dlg.reject();
    });
    EXPECT_EQ(Doc().Data().defectLog, ThreeDefects());
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(DefectLogDialogTest, OkStoresDeletionsAndTheDefectCountFollowsTheRows)
{
    int rows = -1;
    RunLog([&rows](CDefectLogDlg& dlg) {
        dlg.SelectRows({1});
        dlg.OnDelete();
        EXPECT_EQ(dlg.SelectedRows(), (std::vector<int>{1}));
        rows = dlg.RowCount();
        dlg.accept();
    });
    EXPECT_EQ(Entries().size(), static_cast<std::size_t>(rows));
    EXPECT_EQ(Entries()[1].comment, "first");
    EXPECT_TRUE(Doc().IsModified());
}

TEST_F(DefectLogDialogTest, ListShowsPhaseMomentAndCommentColumns)
{
    DefectLog log = ThreeDefects();
    log.entries[0].comment = "a\r\nb";
    CDefectLogDlg dlg(log);
    auto* model = dlg.List()->model();
    ASSERT_EQ(model->columnCount(), 3);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("時刻"));
    EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("コメント"));
    EXPECT_EQ(dlg.CellText(0, 1), QString::fromStdString(Moment(Base + 60).Text()));
    EXPECT_EQ(dlg.CellText(0, 2), "a b"); // one line per row
    EXPECT_EQ(dlg.SelectedRows(), (std::vector<int>{2}));
    EXPECT_EQ(dlg.List()->columnWidth(2), ColumnScale(dlg.List()->fontMetrics()).ToScreen(200));
    // The moment column is never narrower than its text, however narrow it was stored.
    DefectLog narrow = log;
    narrow.columnWidths[1] = 30;
    CDefectLogDlg narrowDlg(narrow);
    const QFontMetrics metrics = narrowDlg.List()->fontMetrics();
    EXPECT_GT(narrowDlg.List()->columnWidth(1), metrics.horizontalAdvance(narrowDlg.CellText(0, 1)));
}

TEST_F(DefectLogDialogTest, EditKeepsAnUnchangedCommentByteForByte)
{
    Entries()[0].comment = "x\ny\r\nz"; // a lone LF from an older file
    DefectEntry before = Entries()[0];
    RunLog([](CDefectLogDlg& dlg) {
        dlg.SelectRows({0});
        WhenOpen<CDefectEditDlg>([](CDefectEditDlg& edit) {
            Child<QPushButton>(&edit, 1007)->click(); // "--": five minutes earlier
            edit.accept();
        });
        dlg.OnEdit();
        EXPECT_TRUE(dlg.SelectedRows().empty());
        dlg.accept();
    });
    EXPECT_EQ(Entries()[0].comment, before.comment);
    EXPECT_EQ(Entries()[0].phase, before.phase);
    EXPECT_EQ(Entries()[0].time.Seconds(), before.time.Seconds() - 300);
}

TEST_F(DefectLogDialogTest, EditDialogStretchesTheCommentAndMovesTheButtons)
{
    DefectEntry entry = ThreeDefects().entries[0];
    CDefectEditDlg dlg(entry);
    auto* ok = Child<QPushButton>(&dlg, 1);
    auto* adjust = Child<QPushButton>(&dlg, 1004);
    QRect okBefore = ok->geometry();
    QRect adjustBefore = adjust->geometry();
    QRect commentBefore = dlg.Comment()->geometry();
    dlg.resize(dlg.width() + 60, dlg.height() + 40);
    dlg.show();
    EXPECT_EQ(ok->geometry(), okBefore.translated(60, 0));
    EXPECT_EQ(adjust->geometry(), adjustBefore);
    EXPECT_EQ(dlg.Comment()->geometry(), commentBefore.adjusted(0, 0, 60, 40));
    EXPECT_TRUE(Child<QLineEdit>(&dlg, 1003)->isReadOnly());
}
