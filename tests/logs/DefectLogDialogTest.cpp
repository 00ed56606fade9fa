#include <QComboBox>
#include <QHeaderView>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeView>
#include <QWindow>

#include "logs/CDefectEditDlg.h"
#include "logs/CDefectLogDlg.h"
#include "project/DefectDetails.h"
#include "tests/GuiFixture.h"
#include "ui/ColumnScale.h"
#include "ui/ControlIds.h"
#include "ui/QtText.h"

using namespace quilvane;

namespace {

constexpr std::int32_t Base = 1796601600;
const std::string Injected = "\x8D\xAC\x93\xFC"; // 混入, CP932

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
        View().Button(ControlId::AddDefectButton)->click();
    }
    void RunLog(std::function<void(CDefectLogDlg&)> act)
    {
        WhenOpen<CDefectLogDlg>(act);
        View().Button(ControlId::DefectLogButton)->click();
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
    View().Button(ControlId::AddDefectButton)->click();
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
        EXPECT_EQ(Child<QLineEdit>(&dlg, ControlId::DefectEditPhase)->text(), "B");
        clock_.Advance(45); // the dialog stays open a while
        dlg.accept();
    });
    ASSERT_EQ(Entries().size(), 4u);
    // The injected phase opens on the phase before the running one; the comment stays empty.
    EXPECT_EQ(Entries().back(),
              (DefectEntry{"B", "[PSP " + Injected + "=A]\r\n", Moment(static_cast<std::int32_t>(pressed))}));
    EXPECT_EQ(DetailsOf(Entries().back()), (DefectDetails{std::nullopt, "A", std::nullopt, ""}));
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
        for (int id : {ControlId::DefectEditTimeUpOne, ControlId::DefectEditTimeUpOne,
                       ControlId::DefectEditTimeUpOne, ControlId::DefectEditTimeDownOne}) {
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
        Child<QPushButton>(&dlg, ControlId::DefectEditTimeUpFive)->click();
        dlg.accept();
    });
    EXPECT_EQ(Entries().back().time.Seconds(), pressed + 5 * 3600);
}

TEST_F(DefectLogDialogTest, CancelledAddChangesNothing)
{
    View().SelectMode(1);
    Doc().SetModifiedFlag(false);
    RunAdd([](CDefectEditDlg& dlg) {
        Child<QLineEdit>(&dlg, ControlId::DefectEditPhase)->setText("X");
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
    // In the first phase the defect can only have been injected in that phase itself.
    EXPECT_EQ(Entries().back().comment,
              "[PSP " + Injected + "=A]\r\n\x88\xEA\x8D\x73\x96\xDA\r\n\x93\xF1\x8D\x73\x96\xDA\r\n");
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
    EXPECT_EQ(Entries()[3].comment, "[PSP " + Injected + "=B]\r\nadded");
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
        Child<QPushButton>(&dlg, ControlId::DefectLogDelete)->click();
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
    ASSERT_EQ(model->columnCount(), 6);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("時刻"));
    EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("コメント"));
    EXPECT_EQ(model->headerData(3, Qt::Horizontal).toString(), QStringLiteral("種別"));
    EXPECT_EQ(model->headerData(4, Qt::Horizontal).toString(), QStringLiteral("混入工程"));
    EXPECT_EQ(model->headerData(5, Qt::Horizontal).toString(), QStringLiteral("修正(分)"));
    for (int c = 3; c < 6; ++c) {
        EXPECT_EQ(dlg.CellText(0, c), QString()) << c; // a plain comment: every detail unknown
    }
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
            Child<QPushButton>(&edit, ControlId::DefectEditTimeDownFive)
                ->click(); // "--": five minutes earlier
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
    auto* ok = Child<QPushButton>(&dlg, ControlId::Ok);
    auto* adjust = Child<QPushButton>(&dlg, ControlId::DefectEditTimeUpFive);
    QRect okBefore = ok->geometry();
    QRect adjustBefore = adjust->geometry();
    QRect commentBefore = dlg.Comment()->geometry();
    dlg.resize(dlg.width() + 60, dlg.height() + 40);
    dlg.show();
    EXPECT_EQ(ok->geometry(), okBefore.translated(60, 0));
    EXPECT_EQ(adjust->geometry(), adjustBefore);
    EXPECT_EQ(dlg.Comment()->geometry(), commentBefore.adjusted(0, 0, 60, 40));
    EXPECT_TRUE(Child<QLineEdit>(&dlg, ControlId::DefectEditTime)->isReadOnly());
}

TEST_F(DefectLogDialogTest, AddingRecordsTypeInjectedPhaseAndTheTimedFix)
{
    View().SelectMode(3);
    RunAdd([this](CDefectEditDlg& dlg) {
        ASSERT_EQ(dlg.Injected()->count(), 4); // unknown, then the project's phases
        EXPECT_EQ(dlg.Injected()->currentText(), "B");
        ASSERT_EQ(dlg.Type()->count(), 11);
        EXPECT_EQ(dlg.Type()->currentText(), QStringLiteral("(不明)"));
        dlg.Type()->setCurrentIndex(dlg.Type()->findData(80));
        EXPECT_EQ(dlg.Type()->currentText(), QStringLiteral("80 機能"));
        dlg.Injected()->setCurrentIndex(1);
        dlg.Comment()->setPlainText(QStringLiteral("境界"));
        // The student starts the timer, fixes the program meanwhile and stops it here.
        dlg.FixTimerButton()->click();
        EXPECT_EQ(dlg.FixTimerButton()->text(), QStringLiteral("修正終了"));
        EXPECT_TRUE(dlg.FixMinutes()->isReadOnly());
        clock_.Advance(7 * 60 + 29);
        // The elapsed time shown follows the clock at every tick.
        auto* tick = dlg.findChild<QTimer*>();
        ASSERT_NE(tick, nullptr);
        EXPECT_TRUE(tick->isActive());
        dlg.ShowElapsed();
        EXPECT_EQ(dlg.FixElapsed()->text(), QStringLiteral("07:29"));
        dlg.FixTimerButton()->click();
        EXPECT_EQ(dlg.FixMinutes()->text(), "7");
        EXPECT_FALSE(dlg.FixMinutes()->isReadOnly());
        // A second run counts on from the minutes already there; OK ends a run still going.
        dlg.FixTimerButton()->click();
        clock_.Advance(90);
        dlg.accept();
    });
    ASSERT_EQ(Entries().size(), 4u);
    EXPECT_EQ(DetailsOf(Entries().back()), (DefectDetails{80, "A", 9, "\x8B\xAB\x8A\x45"}));
    EXPECT_EQ(Entries().back().phase, "C");
}

TEST_F(DefectLogDialogTest, TypedFixMinutesAreKeptAndNonsenseIsUnknown)
{
    struct Case {
        QString typed;
        std::optional<std::int32_t> stored;
    };
    // Text set around the validator (pasted, or from a test) is checked again on OK.
    const Case cases[] = {{"15", 15},           {"0", 0},
                          {"", std::nullopt},   {"99999", 99999},
                          {"-4", std::nullopt}, {"100000", std::nullopt},
                          {"abc", std::nullopt}};
    for (const Case& c : cases) {
        DefectEntry entry = ThreeDefects().entries[0];
        CDefectEditDlg dlg(entry, {"A", "B"}, clock_);
        dlg.FixMinutes()->setText(c.typed);
        dlg.accept();
        EXPECT_EQ(DetailsOf(entry).fixMinutes, c.stored) << c.typed.toStdString();
        EXPECT_EQ(DetailsOf(entry).comment, "second");
    }
    // Typing takes digits only, up to the largest minutes a header holds.
    DefectEntry entry = ThreeDefects().entries[0];
    CDefectEditDlg dlg(entry, {"A"}, clock_);
    const auto* validator = qobject_cast<const QIntValidator*>(dlg.FixMinutes()->validator());
    ASSERT_NE(validator, nullptr);
    EXPECT_EQ(validator->bottom(), 0);
    EXPECT_EQ(validator->top(), MaxFixMinutes);
}

TEST_F(DefectLogDialogTest, EditShowsTheDetailsAndNeverTheHeader)
{
    const std::string lookAlike = "[PSP " + Injected + "=A]\r\nmine";
    Entries()[0].comment = ComposeDefectComment({20, "gone", 12, "fix\r\nnote"});
    Entries()[1].comment = ComposeDefectComment({std::nullopt, std::nullopt, std::nullopt, lookAlike});
    const std::string first = Entries()[0].comment;
    RunLog([&](CDefectLogDlg& dlg) {
        EXPECT_EQ(dlg.CellText(0, 2), "fix note");
        EXPECT_EQ(dlg.CellText(0, 3), QStringLiteral("20 構文"));
        EXPECT_EQ(dlg.CellText(0, 4), "gone");
        EXPECT_EQ(dlg.CellText(0, 5), "12");
        EXPECT_EQ(dlg.CellText(1, 2), "[PSP " + ToQ(Injected) + "=A] mine");
        EXPECT_EQ(dlg.CellText(1, 4), "");
        dlg.SelectRows({0});
        WhenOpen<CDefectEditDlg>([](CDefectEditDlg& edit) {
            EXPECT_EQ(edit.Comment()->toPlainText(), "fix\nnote");
            EXPECT_EQ(edit.Type()->currentText(), QStringLiteral("20 構文"));
            // A phase no longer in the project stays selected, so OK keeps it.
            EXPECT_EQ(edit.Injected()->currentText(), "gone");
            EXPECT_EQ(edit.FixMinutes()->text(), "12");
            edit.accept();
        });
        dlg.OnEdit();
        dlg.SelectRows({1});
        WhenOpen<CDefectEditDlg>([](CDefectEditDlg& edit) {
            EXPECT_EQ(edit.Comment()->toPlainText(), "[PSP " + ToQ(Injected) + "=A]\nmine");
            // An entry of unknown details stays unknown: no default is put in on edit.
            EXPECT_EQ(edit.Injected()->currentIndex(), 0);
            edit.accept();
        });
        dlg.OnEdit();
        dlg.accept();
    });
    EXPECT_EQ(Entries()[0].comment, first);
    EXPECT_EQ(DetailsOf(Entries()[1]).comment, lookAlike);
    EXPECT_EQ(DetailsOf(Entries()[1]).injected, std::nullopt);
}

TEST_F(DefectLogDialogTest, NewColumnsOpenAtDefaultWidthsAndOnlyTheStoredThreeAreWritten)
{
    DefectLog log = ThreeDefects();
    log.columnWidths[2] = 150;
    log.entries[0].comment = ComposeDefectComment({100, std::nullopt, 5, ""});
    log.entries[1].comment = ComposeDefectComment({20, std::nullopt, 40, ""});
    CDefectLogDlg dlg(log);
    const ColumnScale scale(dlg.List()->fontMetrics());
    EXPECT_EQ(dlg.List()->columnWidth(2), scale.ToScreen(150));
    for (int c = 3; c < 6; ++c) {
        EXPECT_GE(dlg.List()->columnWidth(c), scale.ToScreen(DefectLogColumns()[c].defaultWidth)) << c;
    }
    // Types and minutes sort as numbers, unknown first.
    dlg.OnSort(3);
    EXPECT_EQ(dlg.CellText(1, 3), QStringLiteral("20 構文"));
    EXPECT_EQ(dlg.CellText(2, 3), QStringLiteral("100 環境"));
    dlg.OnSort(5);
    EXPECT_EQ(dlg.CellText(0, 5), "");
    EXPECT_EQ(dlg.CellText(1, 5), "5");
    EXPECT_EQ(dlg.CellText(2, 5), "40");
    dlg.List()->setColumnWidth(4, 300);
    dlg.accept();
    EXPECT_EQ(dlg.Log().columnWidths[0], 70);
    EXPECT_EQ(dlg.Log().columnWidths[1], 130);
    EXPECT_EQ(dlg.Log().columnWidths[2], 150);
}
