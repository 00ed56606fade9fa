#include <array>

#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QTreeWidget>

#include "logs/CDataCheckDlg.h"
#include "logs/CTimeEditDlg.h"
#include "logs/CTimeLogDlg.h"
#include "tests/GuiFixture.h"
#include "ui/ColumnScale.h"
#include "ui/ControlIds.h"

using namespace quilvane;

namespace {

constexpr std::int32_t Base = 1796601600;

// Six entries "P0".."P5" of 10, 20, ... 60 minutes, an hour apart.
TimeLog SixEntries()
{
    TimeLog log;
    for (int i = 0; i < 6; ++i) {
        log.entries.push_back(
            {"P" + std::to_string(i), Moment(Base + i * 3600), Moment(Base + i * 3600 + (i + 1) * 600)});
    }
    return log;
}

// The width the list's delegate asks for to show a cell whole (anything narrower is elided).
int NeededWidth(const CLogListDlg& dlg, int row, int column)
{
    QStyleOptionViewItem option;
    option.initFrom(dlg.List()->viewport());
    option.font = dlg.List()->font();
    option.fontMetrics = QFontMetrics(option.font);
    const QModelIndex index = dlg.List()->model()->index(row, column);
    return dlg.List()->itemDelegate()->sizeHint(option, index).width();
}

QStringList Column(const CLogListDlg& dlg, int column)
{
    QStringList texts;
    for (int row = 0; row < dlg.RowCount(); ++row) {
        texts << dlg.CellText(row, column);
    }
    return texts;
}

} // namespace

class TimeLogDialogTest : public WorkbenchTest {
protected:
    // Opens the time log from the main form and runs `act` inside it.
    void RunTimeLog(std::function<void(CTimeLogDlg&)> act)
    {
        WhenOpen<CTimeLogDlg>(act);
        View().Button(ControlId::TimeLogButton)->click();
    }
    ProjectRecord WithLog(const TimeLog& log)
    {
        ProjectRecord p = ThreePhases();
        p.timeLog = log;
        return p;
    }
};

TEST_F(TimeLogDialogTest, OpensWithItsColumnsAndTheLastRowSelected)
{
    TimeLog log = SixEntries();
    log.columnWidths[2] = 150;
    CTimeLogDlg dlg(log);
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("時間管理"));
    EXPECT_EQ(dlg.objectName(), "136");
    EXPECT_EQ(dlg.windowType(), Qt::Window);
    auto* model = dlg.List()->model();
    QStringList headings;
    for (int c = 0; c < model->columnCount(); ++c) {
        headings << model->headerData(c, Qt::Horizontal).toString();
    }
    EXPECT_EQ(headings, (QStringList{"工程", "時間", "開始", "終了"}));
    // Stored widths are those of the narrower Windows face, scaled to the face shown.
    const ColumnScale scale(dlg.List()->fontMetrics());
    EXPECT_EQ(dlg.List()->columnWidth(2), scale.ToScreen(150));
    EXPECT_GT(dlg.List()->columnWidth(2), 150);
    EXPECT_EQ(dlg.RowCount(), 6);
    EXPECT_EQ(dlg.CellText(1, 0), "P1");
    EXPECT_EQ(dlg.CellText(1, 1), "00 00:20:00");
    EXPECT_EQ(dlg.CellText(1, 2), QString::fromStdString(log.entries[1].start.Text()));
    EXPECT_EQ(dlg.SelectedRows(), (std::vector<int>{5}));
    for (int id : {ControlId::Ok, ControlId::Cancel, ControlId::TimeLogEdit, ControlId::TimeLogDelete}) {
        Child<QPushButton>(&dlg, id);
    }
    EXPECT_EQ(Child<QPushButton>(&dlg, ControlId::Cancel)->text(), QStringLiteral("ｷｬﾝｾﾙ"));
    EXPECT_EQ(Child<QPushButton>(&dlg, ControlId::TimeLogEdit)->text(), QStringLiteral("編集(&E)"));
    EXPECT_EQ(Child<QPushButton>(&dlg, ControlId::TimeLogDelete)->text(), QStringLiteral("削除(&D)"));
}

TEST_F(TimeLogDialogTest, HeaderClicksSortAscendingThenDescending)
{
    TimeLog log = SixEntries();
    std::swap(log.entries[0], log.entries[3]);
    CTimeLogDlg dlg(log);
    emit dlg.List()->header()->sectionClicked(0);
    EXPECT_EQ(Column(dlg, 0), (QStringList{"P0", "P1", "P2", "P3", "P4", "P5"}));
    emit dlg.List()->header()->sectionClicked(0);
    EXPECT_EQ(Column(dlg, 0), (QStringList{"P5", "P4", "P3", "P2", "P1", "P0"}));
    EXPECT_EQ(dlg.Log().entries[0].phase, "P5");
    // Another column keeps its own flag: its first click is ascending.
    dlg.OnSort(1);
    EXPECT_EQ(Column(dlg, 0).front(), "P0");
}

TEST_F(TimeLogDialogTest, SelectedRowsFollowTheirEntriesThroughASort)
{
    CTimeLogDlg dlg(SixEntries());
    dlg.SelectRows({0, 4});
    dlg.OnSort(0);
    dlg.OnSort(0);
    EXPECT_EQ(dlg.SelectedRows(), (std::vector<int>{1, 5}));
}

TEST_F(TimeLogDialogTest, SortThenCancelKeepsTheStoredOrder)
{
    TimeLog log = SixEntries();
    Start(MakeProject("Prob1", WithLog(log)));
    RunTimeLog([](CTimeLogDlg& dlg) {
        dlg.OnSort(2);
        dlg.OnSort(2);
        dlg.resize(640, 400);
        dlg.reject();
    });
    EXPECT_EQ(Doc().Data().timeLog, log);
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(TimeLogDialogTest, SortThenOkStoresTheDisplayedOrderAndLayout)
{
    Start(MakeProject("Prob1", WithLog(SixEntries())));
    int storedFor99 = 0;
    RunTimeLog([&storedFor99](CTimeLogDlg& dlg) {
        dlg.OnSort(1);
        dlg.OnSort(1); // longest first
        dlg.resize(640, 400);
        dlg.List()->setColumnWidth(3, 99);
        storedFor99 = ColumnScale(dlg.List()->fontMetrics()).ToStored(99);
        dlg.accept();
    });
    const TimeLog& stored = Doc().Data().timeLog;
    ASSERT_EQ(stored.entries.size(), 6u);
    EXPECT_EQ(stored.entries.front().phase, "P5");
    EXPECT_EQ(stored.entries.back().phase, "P0");
    EXPECT_EQ(stored.width, 640);
    EXPECT_EQ(stored.height, 400);
    // A width the user set is stored as the Windows face would need it; one left alone is
    // stored exactly as it was read.
    EXPECT_EQ(stored.columnWidths[3], storedFor99);
    EXPECT_LT(stored.columnWidths[3], 99);
    EXPECT_EQ(stored.columnWidths[0], 70);
    EXPECT_EQ(stored.columnWidths[1], 70);
    EXPECT_EQ(stored.columnWidths[2], 130);
    EXPECT_TRUE(Doc().IsModified());
}

TEST_F(TimeLogDialogTest, OkWithoutChangesKeepsTheLayout)
{
    TimeLog log = SixEntries();
    log.left = 40;
    log.top = 30;
    Start(MakeProject("Prob1", WithLog(log)));
    RunTimeLog([](CTimeLogDlg& dlg) { dlg.accept(); });
    EXPECT_EQ(Doc().Data().timeLog, log);
}

TEST_F(TimeLogDialogTest, SpansAndMomentsAreNeverCutWhateverTheStoredWidths)
{
    TimeLog log = SixEntries();
    // A span of 100 days and moments with the widest digits the face has.
    log.entries.push_back({"P6", Moment(1796601600 + 86400 * 300), Moment(1796601600 + 86400 * 400 + 7199)});
    for (std::array<std::int32_t, 4> widths :
         {std::array<std::int32_t, 4>{70, 70, 130, 130}, std::array<std::int32_t, 4>{10, 1, 0, 40}}) {
        std::copy(widths.begin(), widths.end(), log.columnWidths);
        CTimeLogDlg dlg(log);
        for (int row = 0; row < dlg.RowCount(); ++row) {
            for (int column = 1; column < 4; ++column) {
                EXPECT_GE(dlg.List()->columnWidth(column), NeededWidth(dlg, row, column))
                    << widths[1] << " " << dlg.CellText(row, column).toStdString();
            }
        }
        // The dialog opens wide enough to show every column without scrolling.
        dlg.show();
        QApplication::processEvents();
        int columnsWidth = 0;
        for (int column = 0; column < 4; ++column) {
            columnsWidth += dlg.List()->columnWidth(column);
        }
        EXPECT_LE(columnsWidth, dlg.List()->viewport()->width()) << widths[1];
    }
    EXPECT_EQ(CTimeLogDlg(log).CellText(6, 1), "100 01:59:59");
}

TEST_F(TimeLogDialogTest, DeletingRowsTwoAndFourSelectsTheRowNowAtTwo)
{
    CTimeLogDlg dlg(SixEntries());
    dlg.SelectRows({2, 4});
    Child<QPushButton>(&dlg, ControlId::TimeLogDelete)->click();
    EXPECT_EQ(Column(dlg, 0), (QStringList{"P0", "P1", "P3", "P5"}));
    EXPECT_EQ(dlg.SelectedRows(), (std::vector<int>{2}));
    EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(TimeLogDialogTest, DeletingTheLastRowSelectsNothing)
{
    CTimeLogDlg dlg(SixEntries());
    ASSERT_EQ(dlg.SelectedRows(), (std::vector<int>{5}));
    dlg.OnDelete();
    EXPECT_EQ(dlg.RowCount(), 5);
    EXPECT_TRUE(dlg.SelectedRows().empty());
    // Nothing selected: Delete does nothing and says nothing.
    dlg.OnDelete();
    EXPECT_EQ(dlg.RowCount(), 5);
    EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(TimeLogDialogTest, EditWithoutSelectionAsksForARow)
{
    CTimeLogDlg dlg(SixEntries());
    dlg.SelectRows({});
    Child<QPushButton>(&dlg, ControlId::TimeLogEdit)->click();
    QMouseEvent dbl(QEvent::MouseButtonDblClick, QPointF(5, 200), QPointF(5, 200), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dlg.List()->viewport(), &dbl);
    ASSERT_EQ(prompt_.shown.size(), 2u);
    EXPECT_EQ(prompt_.shown[0], QStringLiteral("行を選択して下さい"));
    EXPECT_EQ(prompt_.shown[1], QStringLiteral("行を選択して下さい"));
}

TEST_F(TimeLogDialogTest, EditingThePhaseMovesItsMinutesToTheOtherRow)
{
    TimeLog log;
    log.entries.push_back({"A", Moment(Base), Moment(Base + 30 * 60)});
    Start(MakeProject("Prob1", WithLog(log)));
    ASSERT_EQ(Cell(0, 2), "30");
    RunTimeLog([](CTimeLogDlg& dlg) {
        dlg.SelectRows({0});
        WhenOpen<CTimeEditDlg>([](CTimeEditDlg& edit) {
            Child<QLineEdit>(&edit, ControlId::TimeEditPhase)->setText("B");
            edit.accept();
        });
        dlg.OnEdit();
        EXPECT_EQ(dlg.CellText(0, 0), "B");
        EXPECT_TRUE(dlg.SelectedRows().empty()); // the refill leaves no row selected
        dlg.accept();
    });
    EXPECT_EQ(Cell(0, 2), "0");
    EXPECT_EQ(Cell(1, 2), "30");
    EXPECT_EQ(Cell(3, 2), "30");
}

TEST_F(TimeLogDialogTest, ListAndButtonsFollowTheRightAndBottomEdges)
{
    CTimeLogDlg dlg(SixEntries());
    auto* ok = Child<QPushButton>(&dlg, ControlId::Ok);
    auto* remove = Child<QPushButton>(&dlg, ControlId::TimeLogDelete);
    QRect okBefore = ok->geometry();
    QRect removeBefore = remove->geometry();
    QRect listBefore = dlg.List()->geometry();
    dlg.resize(dlg.width() + 100, dlg.height() + 50);
    dlg.show();
    EXPECT_EQ(ok->geometry(), okBefore.translated(100, 0));
    EXPECT_EQ(remove->geometry(), removeBefore.translated(100, 0));
    EXPECT_EQ(dlg.List()->geometry(), listBefore.adjusted(0, 0, 100, 50));
}

class TimeLogEditDialogTest : public WorkbenchTest {
protected:
    TimeLogEntry entry_{"A", Moment(Base), Moment(Base + 3 * 3600)};
    CTimeEditDlg dlg_{entry_};

    void Press(int id) { Child<QPushButton>(&dlg_, id)->click(); }
    QString Field(int id) { return Child<QLineEdit>(&dlg_, id)->text(); }
};

TEST_F(TimeLogEditDialogTest, CtrlMinusMinusOnThreeHoursGivesZero)
{
    EXPECT_EQ(dlg_.windowTitle(), QStringLiteral("時間管理設定"));
    EXPECT_EQ(Field(ControlId::TimeEditSpan), "00 03:00:00");
    SetCtrlHeldOverride(true);
    Press(ControlId::TimeEditSpanDownFive);
    EXPECT_EQ(Field(ControlId::TimeEditSpan), "00 00:00:00");
    dlg_.accept();
    EXPECT_EQ(entry_.Duration(), 0);
    EXPECT_EQ(entry_.start.Seconds(), Base);
}

TEST_F(TimeLogEditDialogTest, StartButtonsMoveTheEndAlong)
{
    Press(ControlId::TimeEditStartUpFive);  // +5 min
    Press(ControlId::TimeEditStartDownOne); // -1 min
    EXPECT_EQ(Field(ControlId::TimeEditStart), QString::fromStdString(Moment(Base + 240).Text()));
    dlg_.accept();
    EXPECT_EQ(entry_.start.Seconds(), Base + 240);
    EXPECT_EQ(entry_.end.Seconds(), Base + 3 * 3600 + 240);
}

TEST_F(TimeLogEditDialogTest, TypedPhaseSurvivesAPressAndCancelTouchesNothing)
{
    TimeLogEntry before = entry_;
    Child<QLineEdit>(&dlg_, ControlId::TimeEditPhase)->setText("X");
    Press(ControlId::TimeEditSpanUpFive);
    EXPECT_EQ(Field(ControlId::TimeEditPhase), "X");
    EXPECT_EQ(Field(ControlId::TimeEditSpan), "00 03:05:00");
    dlg_.reject();
    EXPECT_EQ(entry_, before);
}

TEST_F(TimeLogEditDialogTest, ReadOnlyTimesAreNeverParsed)
{
    EXPECT_TRUE(Child<QLineEdit>(&dlg_, ControlId::TimeEditStart)->isReadOnly());
    EXPECT_TRUE(Child<QLineEdit>(&dlg_, ControlId::TimeEditSpan)->isReadOnly());
    Child<QLineEdit>(&dlg_, ControlId::TimeEditStart)->setText("2001/01/01  00:00:00");
    Child<QLineEdit>(&dlg_, ControlId::TimeEditSpan)->setText("99 00:00:00");
    Press(ControlId::TimeEditSpanUpOne); // span +1 min
    dlg_.accept();
    EXPECT_EQ(entry_.start.Seconds(), Base);
    EXPECT_EQ(entry_.Duration(), 3 * 3600 + 60);
}

TEST_F(TimeLogEditDialogTest, UnchangedPhaseKeepsBytesWithoutAUnicodeForm)
{
    // The IBM extension's "Ⅰ" shares its code point with the NEC one and comes back as 0x8754.
    entry_.phase = "\xFA\x4A";
    CTimeEditDlg dlg(entry_);
    dlg.accept();
    EXPECT_EQ(entry_.phase, "\xFA\x4A");
}

// The data check lists what it finds; a double click on a finding opens its log at the entry.
TEST_F(WorkbenchTest, DataCheckOpensTheLogAtTheEntryAFindingConcerns)
{
    Start(MakeProject("Prob1", ThreePhases()));
    ASSERT_TRUE(Frame().OnCommand(CommandId::DataCheck));
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_EQ(prompt_.shown[0], QStringLiteral("確認事項はありません"));

    // The second interval starts before the first one ends.
    Doc().Data().timeLog.entries = {{"A", Moment(Base), Moment(Base + 600)},
                                    {"A", Moment(Base + 300), Moment(Base + 900)},
                                    {"B", Moment(Base + 1000), Moment(Base + 1100)}};
    std::vector<int> selected;
    WhenOpen<CDataCheckDlg>([](CDataCheckDlg& dlg) {
        QTreeWidget* list = Child<QTreeWidget>(&dlg, ControlId::DataCheckList);
        ASSERT_NE(list, nullptr);
        const auto found = list->findItems(QStringLiteral("重なっています"), Qt::MatchContains);
        ASSERT_EQ(found.size(), 1);
        emit list->itemActivated(found[0], 0);
    });
    WhenOpen<CTimeLogDlg>([&selected](CTimeLogDlg& dlg) { selected = dlg.SelectedRows(); });
    ASSERT_TRUE(Frame().OnCommand(CommandId::DataCheck));
    EXPECT_EQ(selected, std::vector<int>{1});
}
