#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>

#include "platform/Cp932.h"
#include "statistics/CStatisticsDlg.h"
#include "statistics/StatTable.h"
#include "tests/GuiFixture.h"
#include "ui/QtText.h"

using namespace quilvane;

namespace {

const QString OpenHint = QStringLiteral("*以外かつ自プロジェクト以外を選択して下さい");

ProjectRecord Finished(std::int32_t minutes, std::int32_t added)
{
    ProjectRecord p;
    p.phases = {{"A", 0, minutes, 0}};
    p.result.actualNew = added;
    p.estimate.totalMinutes = minutes;
    return p;
}

// Prob1 (the open project) and Prob2 exist; "Gone" is known only from the statistics file.
class StatDialogTest : public WorkbenchTest {
protected:
    void SetUp() override
    {
        WorkbenchTest::SetUp();
        StatStore store;
        store.x = 50;
        store.y = 60;
        store.width = 700;
        store.height = 400;
        store.columnWidths[1] = 123;
        store.records["Gone"].actMinutes = 5;
        store.records["Gone"].bugs = 4;
        ASSERT_EQ(SaveStatInfo(store), 0);
        MakeProject("Prob2", Finished(20, 7));
        Start(MakeProject("Prob1", Finished(100, 30)));
    }

    std::unique_ptr<CStatisticsDlg> Dialog() { return std::make_unique<CStatisticsDlg>(Doc(), &Frame()); }

    static std::vector<std::string> Names(const CStatisticsDlg& dlg)
    {
        std::vector<std::string> names;
        for (int i = 0; i < dlg.List()->topLevelItemCount(); ++i) {
            names.push_back(FromQ(dlg.List()->topLevelItem(i)->text(1)));
        }
        return names;
    }
    static void Select(CStatisticsDlg& dlg, const std::vector<std::string>& names)
    {
        std::vector<std::size_t> rows;
        for (std::size_t i = 0; i < dlg.Rows().size(); ++i) {
            if (std::find(names.begin(), names.end(), dlg.Rows()[i][1]) != names.end()) {
                rows.push_back(i);
            }
        }
        dlg.SelectRows(rows);
    }
    static void Click(CStatisticsDlg& dlg, int id)
    {
        auto* button = dlg.findChild<QPushButton*>(QString::number(id));
        ASSERT_NE(button, nullptr) << id;
        button->click();
    }
    StatStore Saved()
    {
        StatStore store;
        EXPECT_EQ(LoadStatInfo(store), 0);
        return store;
    }
    std::vector<std::string> CsvLines()
    {
        return SplitLines(ReadWholeFile(dir_.Path("init/stat.csv")).value_or(""));
    }
};

} // namespace

TEST_F(StatDialogTest, ExistingProjectsAreUnmarkedAndCannotBeDeleted)
{
    auto dlg = Dialog();
    EXPECT_EQ(dlg->objectName(), "138");
    EXPECT_EQ(dlg->windowTitle(), "統計情報");
    ASSERT_EQ(Names(*dlg), (std::vector<std::string>{"Gone", "Prob1", "Prob2"}));
    EXPECT_EQ(dlg->List()->topLevelItem(0)->text(0), "*");
    EXPECT_EQ(dlg->List()->topLevelItem(1)->text(0), "");
    EXPECT_EQ(dlg->List()->topLevelItem(2)->text(11), "20");
    EXPECT_EQ(dlg->List()->headerItem()->text(12), "バグ(実)");
    EXPECT_TRUE(dlg->List()->topLevelItem(2)->textAlignment(3) & Qt::AlignRight);

    Select(*dlg, {"Prob1", "Prob2"});
    Click(*dlg, 1100);
    EXPECT_EQ(prompt_.shown, std::vector<QString>{"* がついているものだけ削除できます"});
    EXPECT_EQ(Names(*dlg).size(), 3u);

    // Saved once, the project keeps its row after its folder is gone, now with the mark.
    Click(*dlg, 1);
    std::filesystem::remove_all(dir_.Path("Prob2"));
    auto reopened = Dialog();
    ASSERT_EQ(Names(*reopened), (std::vector<std::string>{"Gone", "Prob1", "Prob2"}));
    EXPECT_EQ(reopened->List()->topLevelItem(2)->text(0), "*");
}

TEST_F(StatDialogTest, DeletedRowLeavesTheFileOnSaveButStaysOnClose)
{
    auto closed = Dialog();
    Select(*closed, {"Gone"});
    Click(*closed, 1100);
    EXPECT_EQ(Names(*closed), (std::vector<std::string>{"Prob1", "Prob2"}));
    Click(*closed, 2);
    EXPECT_EQ(closed->result(), QDialog::Rejected);
    EXPECT_EQ(Saved().records.count("Gone"), 1u);

    auto saved = Dialog();
    Select(*saved, {"Gone", "Prob2"});
    Click(*saved, 1100);
    // The unmarked selected row stays, and the row now in the deleted row's place is selected.
    EXPECT_EQ(saved->SelectedRows(), (std::vector<std::size_t>{0, 1}));
    Click(*saved, 1);
    EXPECT_EQ(saved->result(), QDialog::Accepted);
    StatStore store = Saved();
    EXPECT_EQ(store.records.count("Gone"), 0u);
    ASSERT_EQ(store.records.count("Prob2"), 1u);
    EXPECT_EQ(store.records.at("Prob2").actNew, 7);
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("init/stat.csv")));
}

TEST_F(StatDialogTest, CtrlSaveWritesTheCsvWithHeaderRowsAndTotal)
{
    SetCtrlHeldOverride(true);
    auto dlg = Dialog();
    Click(*dlg, 1);
    auto lines = CsvLines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0],
              Utf8ToCp932(",名前,ベース,再(計),削(計),新(計),時(計),再(実),削(実),新(実),時(実),バグ(実)"));
    EXPECT_EQ(lines[1], "*,Gone,,0,0,0,0,0,0,0,5,4");
    EXPECT_EQ(lines[2], ",Prob1,,0,0,0,100,0,0,30,100,0");
    EXPECT_EQ(lines[4], Utf8ToCp932("計,,,0,0,0,120,0,0,37,125,4"));
}

TEST_F(StatDialogTest, CommaInANameIsQuotedInItsCsvLine)
{
    StatStore store = Saved();
    store.records["a,b"].baseName = "x,y";
    ASSERT_EQ(SaveStatInfo(store), 0);
    SetCtrlHeldOverride(true);
    Click(*Dialog(), 1);
    auto lines = CsvLines();
    // "a,b" sorts after the capitals, as the store's byte order has it.
    ASSERT_EQ(lines.size(), 6u);
    // Quoted, the commas stay inside their fields and the columns stay in place.
    EXPECT_EQ(lines[4], "*,\"a,b\",\"x,y\",0,0,0,0,0,0,0,0,0");
    EXPECT_EQ(std::count(lines[4].begin(), lines[4].end(), ','), 13);
}

TEST_F(StatDialogTest, SortingTwiceReversesAndAnotherColumnStartsAscending)
{
    auto dlg = Dialog();
    QHeaderView* header = dlg->List()->header();
    Select(*dlg, {"Prob2"});
    emit header->sectionClicked(1);
    EXPECT_EQ(Names(*dlg), (std::vector<std::string>{"Gone", "Prob1", "Prob2"}));
    emit header->sectionClicked(1);
    EXPECT_EQ(Names(*dlg), (std::vector<std::string>{"Prob2", "Prob1", "Gone"}));
    EXPECT_EQ(dlg->SelectedRows(), std::vector<std::size_t>{0});
    // Minutes 100, 20 and 5 compare as text.
    emit header->sectionClicked(11);
    EXPECT_EQ(Names(*dlg), (std::vector<std::string>{"Prob1", "Prob2", "Gone"}));
    EXPECT_EQ(dlg->Rows()[0][1], "Prob1");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(StatDialogTest, OpenRefusesTheOwnProjectAndKeepsTheDialogOpen)
{
    auto dlg = Dialog();
    Select(*dlg, {"Prob1", "Gone"});
    Click(*dlg, 1103);
    EXPECT_EQ(prompt_.shown, std::vector<QString>{OpenHint});
    dlg->SelectRows({});
    Click(*dlg, 1103);
    EXPECT_EQ(prompt_.shown.size(), 2u);
    Select(*dlg, {"Prob2"});
    prompt_.answers = {Prompt::Answer::No};
    Click(*dlg, 1103);
    EXPECT_EQ(prompt_.shown.back(), "Prob2を開きますか?");
    EXPECT_TRUE(dlg->ResultPath().empty());
    EXPECT_EQ(dlg->result(), QDialog::Rejected);
}

TEST_F(StatDialogTest, ChosenProjectOpensAfterTheDialogWithoutSavingIt)
{
    bool ran = false;
    WhenOpen<CStatisticsDlg>([this, &ran](CStatisticsDlg& dlg) {
        ran = true;
        Select(dlg, {"Gone"});
        Click(dlg, 1100);
        Select(dlg, {"Prob1", "Prob2"});
        prompt_.answers = {Prompt::Answer::Yes};
        Click(dlg, 1103);
    });
    View().Button(1028)->click();
    EXPECT_TRUE(ran);
    EXPECT_EQ(prompt_.shown, std::vector<QString>{"Prob2を開きますか?"});
    EXPECT_EQ(Doc().Data().projectName, "Prob2");
    EXPECT_EQ(Doc().PathName(), dir_.Path("Prob2/work.psp"));
    EXPECT_EQ(Saved().records.count("Gone"), 1u);
}

TEST_F(StatDialogTest, UnsavedProjectIsOfferedForSavingFirst)
{
    int opened = 0;
    auto closeWhenOpen = [&opened] {
        IfOpen<CStatisticsDlg>([&opened](CStatisticsDlg& dlg) {
            ++opened;
            dlg.reject();
        });
    };
    Doc().Data().result.actualNew = 55;
    Doc().SetModifiedFlag(true);
    prompt_.answers = {Prompt::Answer::Cancel};
    closeWhenOpen();
    View().Button(1028)->click();
    QApplication::processEvents();
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(prompt_.shown, std::vector<QString>{"保存しますか?"});

    prompt_.answers = {Prompt::Answer::Yes};
    closeWhenOpen();
    View().Button(1028)->click();
    EXPECT_EQ(opened, 1);
    EXPECT_FALSE(Doc().IsModified());
    ProjectRecord saved;
    ASSERT_TRUE(LoadProjectFile(dir_.Path("Prob1/work.psp"), saved).Ok());
    EXPECT_EQ(saved.result.actualNew, 55);
}

TEST_F(StatDialogTest, GeometryComesFromTheStoreAndTheControlsFollowTheEdges)
{
    auto dlg = Dialog();
    EXPECT_EQ(dlg->size(), QSize(700, 400));
    // A hidden widget gets its resize events only when shown.
    dlg->show();
    EXPECT_EQ(dlg->List()->columnWidth(1), 123);
    auto* save = dlg->findChild<QPushButton*>("1");
    QRect saveBefore = save->geometry();
    QRect listBefore = dlg->List()->geometry();
    dlg->resize(800, 450);
    EXPECT_EQ(save->geometry(), saveBefore.translated(100, 0));
    EXPECT_EQ(dlg->List()->geometry().size(), listBefore.size() + QSize(100, 50));

    dlg->List()->setColumnWidth(2, 77);
    Click(*dlg, 1);
    StatStore store = Saved();
    EXPECT_EQ(store.width, 800);
    EXPECT_EQ(store.height, 450);
    EXPECT_EQ(store.x, dlg->frameGeometry().x());
    EXPECT_EQ(store.columnWidths[1], 123);
    EXPECT_EQ(store.columnWidths[2], 77);
}

TEST_F(StatDialogTest, GraphWritesTheWorkbookAndOpensIt)
{
    std::vector<std::string> launched;
    bool canOpen = true;
    Doc().LaunchFile = [&](const std::string& path) {
        launched.push_back(path);
        return canOpen;
    };
    auto dlg = Dialog();
    Click(*dlg, 1099);
    ASSERT_EQ(launched, std::vector<std::string>{dir_.Path("init/PSPStat.xlsx")});
    EXPECT_TRUE(std::filesystem::exists(launched[0]));
    EXPECT_TRUE(prompt_.shown.empty());

    canOpen = false;
    Click(*dlg, 1099);
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_TRUE(prompt_.shown[0].startsWith(QString::fromStdString(dir_.Path("init/PSPStat.xlsx"))));
}
