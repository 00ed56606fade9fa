#include <QHeaderView>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>

#include "platform/Cp932.h"
#include "statistics/CChartView.h"
#include "statistics/CStatisticsDlg.h"
#include "statistics/StatTable.h"
#include "tests/GuiFixture.h"
#include "ui/ControlIds.h"
#include "ui/QtText.h"

using namespace quilvane;

namespace {

const QString OpenHint = QStringLiteral("*以外かつ自プロジェクト以外を選択して下さい");

ProjectRecord Finished(std::int32_t minutes, std::int32_t actualNew)
{
    ProjectRecord p;
    p.phases = {{"A", 0, minutes, 0}};
    p.result.actualNew = actualNew;
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
        ASSERT_TRUE(SaveStatInfo(store).Ok());
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
        EXPECT_TRUE(LoadStatInfo(store).Ok());
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
    Click(*dlg, ControlId::StatisticsDelete);
    EXPECT_EQ(prompt_.shown, std::vector<QString>{"* がついているものだけ削除できます"});
    EXPECT_EQ(Names(*dlg).size(), 3u);

    // Saved once, the project keeps its row after its folder is gone, now with the mark.
    Click(*dlg, ControlId::Ok);
    std::filesystem::remove_all(dir_.Path("Prob2"));
    auto reopened = Dialog();
    ASSERT_EQ(Names(*reopened), (std::vector<std::string>{"Gone", "Prob1", "Prob2"}));
    EXPECT_EQ(reopened->List()->topLevelItem(2)->text(0), "*");
}

TEST_F(StatDialogTest, DeletedRowLeavesTheFileOnSaveButStaysOnClose)
{
    auto closed = Dialog();
    Select(*closed, {"Gone"});
    Click(*closed, ControlId::StatisticsDelete);
    EXPECT_EQ(Names(*closed), (std::vector<std::string>{"Prob1", "Prob2"}));
    Click(*closed, ControlId::Cancel);
    EXPECT_EQ(closed->result(), QDialog::Rejected);
    EXPECT_EQ(Saved().records.count("Gone"), 1u);

    auto saved = Dialog();
    Select(*saved, {"Gone", "Prob2"});
    Click(*saved, ControlId::StatisticsDelete);
    // The unmarked selected row stays, and the row now in the deleted row's place is selected.
    EXPECT_EQ(saved->SelectedRows(), (std::vector<std::size_t>{0, 1}));
    Click(*saved, ControlId::Ok);
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
    Click(*dlg, ControlId::Ok);
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
    ASSERT_TRUE(SaveStatInfo(store).Ok());
    SetCtrlHeldOverride(true);
    Click(*Dialog(), ControlId::Ok);
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
    Click(*dlg, ControlId::StatisticsOpen);
    EXPECT_EQ(prompt_.shown, std::vector<QString>{OpenHint});
    dlg->SelectRows({});
    Click(*dlg, ControlId::StatisticsOpen);
    EXPECT_EQ(prompt_.shown.size(), 2u);
    Select(*dlg, {"Prob2"});
    prompt_.answers = {Prompt::Answer::No};
    Click(*dlg, ControlId::StatisticsOpen);
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
        Click(dlg, ControlId::StatisticsDelete);
        Select(dlg, {"Prob1", "Prob2"});
        prompt_.answers = {Prompt::Answer::Yes};
        Click(dlg, ControlId::StatisticsOpen);
    });
    View().Button(ControlId::StatisticsButton)->click();
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
    View().Button(ControlId::StatisticsButton)->click();
    QApplication::processEvents();
    EXPECT_EQ(opened, 0);
    EXPECT_EQ(prompt_.shown, std::vector<QString>{"保存しますか?"});

    prompt_.answers = {Prompt::Answer::Yes};
    closeWhenOpen();
    View().Button(ControlId::StatisticsButton)->click();
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
    auto* save = dlg->findChild<QPushButton*>(QString::number(ControlId::Ok));
    QRect saveBefore = save->geometry();
    QRect listBefore = dlg->List()->geometry();
    dlg->resize(800, 450);
    EXPECT_EQ(save->geometry(), saveBefore.translated(100, 0));
    EXPECT_EQ(dlg->List()->geometry().size(), listBefore.size() + QSize(100, 50));

    dlg->List()->setColumnWidth(2, 77);
    Click(*dlg, ControlId::Ok);
    StatStore store = Saved();
    EXPECT_EQ(store.width, 800);
    EXPECT_EQ(store.height, 450);
    EXPECT_EQ(store.x, dlg->frameGeometry().x());
    EXPECT_EQ(store.columnWidths[1], 123);
    EXPECT_EQ(store.columnWidths[2], 77);
}

TEST_F(StatDialogTest, GraphWritesTheWorkbookAndOpensIt)
{
    Doc().SetLauncher(launcher_);
    const std::vector<std::string>& launched = launcher_.opened;
    bool& canOpen = launcher_.canOpen;
    auto dlg = Dialog();
    Click(*dlg, ControlId::StatisticsGraph);
    ASSERT_EQ(launched, std::vector<std::string>{dir_.Path("init/PSPStat.xlsx")});
    EXPECT_TRUE(std::filesystem::exists(launched[0]));
    EXPECT_TRUE(prompt_.shown.empty());

    canOpen = false;
    Click(*dlg, ControlId::StatisticsGraph);
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_TRUE(prompt_.shown[0].startsWith(QString::fromStdString(dir_.Path("init/PSPStat.xlsx"))));
}

namespace {

std::vector<QString> Labels(const DrawnPanel& panel, QString DrawnBar::*field)
{
    std::vector<QString> texts;
    for (const DrawnBar& bar : panel.bars) {
        texts.push_back(bar.*field);
    }
    return texts;
}

std::vector<std::string> BarNames(const ChartPanel& panel)
{
    std::vector<std::string> names;
    for (const ChartBar& bar : panel.bars) {
        names.push_back(bar.label);
    }
    return names;
}

} // namespace

TEST_F(StatDialogTest, ChartViewFollowsTheListAndSavesAPng)
{
    auto dlg = Dialog();
    Click(*dlg, ControlId::StatisticsChartView);
    CChartView* view = dlg->ChartView();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isVisible());
    // "Gone" has minutes but no new lines: it has a productivity but no defect density.
    EXPECT_EQ(BarNames(view->Figures().Panel(ChartKind::Productivity)),
              (std::vector<std::string>{"Gone", "Prob1", "Prob2"}));
    EXPECT_EQ(BarNames(view->Figures().Panel(ChartKind::DefectDensity)),
              (std::vector<std::string>{"Prob1", "Prob2"}));

    // Sorting and deleting reach the open view; a second click shows the same window.
    Click(*dlg, ControlId::StatisticsChartView);
    EXPECT_EQ(dlg->ChartView(), view);
    dlg->OnSort(1);
    dlg->OnSort(1);
    EXPECT_EQ(BarNames(view->Figures().Panel(ChartKind::Productivity)),
              (std::vector<std::string>{"Prob2", "Prob1", "Gone"}));
    Select(*dlg, {"Gone"});
    Click(*dlg, ControlId::StatisticsDelete);
    EXPECT_EQ(BarNames(view->Figures().Panel(ChartKind::Productivity)),
              (std::vector<std::string>{"Prob2", "Prob1"}));

    QImage image = view->Render(QSize(900, 640));
    EXPECT_FALSE(image.isNull());

    auto* save = view->findChild<QPushButton*>(QStringLiteral("savePng"));
    ASSERT_NE(save, nullptr);
    prompt_.choices.push_back(std::nullopt);
    save->click();
    const std::string png = dir_.Path("chart.png");
    EXPECT_FALSE(std::filesystem::exists(png));
    prompt_.choices.push_back(QString::fromStdString(png));
    save->click();
    QImage saved(QString::fromStdString(png));
    ASSERT_FALSE(saved.isNull());
    EXPECT_GE(saved.width(), 960);
    // A folder that does not exist: the user is told, nothing is claimed.
    const std::size_t asked = prompt_.shown.size();
    prompt_.choices.push_back(QString::fromStdString(dir_.Path("missing/chart.png")));
    EXPECT_FALSE(view->OnSavePng());
    ASSERT_EQ(prompt_.shown.size(), asked + 2);
    EXPECT_FALSE(prompt_.shown.back().isEmpty());
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("missing")));
}

TEST(ChartPainter, DrawsEveryBarInOrderWithItsValueAndName)
{
    ChartFigures figures;
    figures.panels.resize(ChartPanelCount);
    ChartPanel& productivity = figures.panels[0];
    productivity.title = "生産性";
    productivity.unit = "新規 LOC/時間";
    productivity.bars = {{"P1", 12.5}, {"P2", 30.0}, {"\x83\x76\x83\x8d", 6.3}}; // プロ
    ChartPanel& ratio = figures.panels[1];
    ratio.decimals = 2;
    ratio.reference = 1.0;
    ratio.bars = {{"P1", 0.5}, {"P2", -0.25}};
    // Five hundred projects: every bar is drawn, no label is crowded in.
    ChartPanel& many = figures.panels[2];
    for (int i = 0; i < 500; ++i) {
        many.bars.push_back({"P" + std::to_string(i), static_cast<double>(i)});
    }

    // Defect types by count with their running percent, and the injected x removed matrix.
    ChartPanel& pareto = figures.panels[static_cast<std::size_t>(ChartKind::DefectPareto)];
    pareto.decimals = 0;
    pareto.bars = {{"80", 6.0}, {"20", 3.0}, {"(\x95\x73\x96\xbe)", 1.0}}; // (不明)
    pareto.cumulative = {60.0, 90.0, 100.0};
    figures.defectMatrix.title = "欠陥";
    figures.defectMatrix.injected = {"\x90\xdd\x8c\x76", "code"}; // 設計
    figures.defectMatrix.removed = {"code", "test"};
    figures.defectMatrix.counts = {{2, 0}, {1, 12}};

    QImage image(1000, 900, QImage::Format_RGB32);
    QPainter painter(&image);
    std::vector<DrawnPanel> drawn = PaintChartFigures(painter, QRectF(image.rect()), figures);
    painter.end();
    // The bar panels, then the matrix.
    ASSERT_EQ(drawn.size(), ChartPanelCount + 1);

    EXPECT_EQ(drawn[0].title, QStringLiteral("生産性 (新規 LOC/時間)"));
    EXPECT_EQ(Labels(drawn[0], &DrawnBar::valueText), (std::vector<QString>{"12.5", "30.0", "6.3"}));
    EXPECT_EQ(Labels(drawn[0], &DrawnBar::label), (std::vector<QString>{"P1", "P2", QStringLiteral("プロ")}));
    const auto& bars = drawn[0].bars;
    ASSERT_EQ(bars.size(), 3u);
    // Left to right in the given order; heights in proportion, the largest reaching the top.
    EXPECT_LT(bars[0].rect.right(), bars[1].rect.left());
    EXPECT_LT(bars[1].rect.right(), bars[2].rect.left());
    EXPECT_NEAR(bars[0].rect.height() / bars[1].rect.height(), 12.5 / 30.0, 1e-9);
    EXPECT_NEAR(bars[2].rect.height() / bars[1].rect.height(), 6.3 / 30.0, 1e-9);
    EXPECT_DOUBLE_EQ(bars[0].rect.bottom(), bars[1].rect.bottom());
    EXPECT_TRUE(drawn[0].area.contains(bars[1].rect));

    // A negative ratio keeps its label but draws no height; the reference 1.0 sets the scale.
    EXPECT_EQ(Labels(drawn[1], &DrawnBar::valueText), (std::vector<QString>{"0.50", "-0.25"}));
    ASSERT_EQ(drawn[1].bars.size(), 2u);
    EXPECT_EQ(drawn[1].bars[1].rect.height(), 0.0);
    EXPECT_GT(drawn[1].bars[0].rect.height(), 0.0);

    // On a signed axis the same value hangs from a zero line above the panel's foot, its label
    // below it.
    ChartPanel& error = figures.panels[static_cast<std::size_t>(ChartKind::TimeError)];
    error.signedAxis = true;
    error.bars = {{"P1", 50.0}, {"P2", -25.0}};
    QPainter signedPainter(&image);
    const DrawnPanel hanging = PaintBarPanel(signedPainter, QRectF(0, 0, 400, 300), error);
    signedPainter.end();
    ASSERT_EQ(hanging.bars.size(), 2u);
    EXPECT_DOUBLE_EQ(hanging.bars[0].rect.bottom(), hanging.bars[1].rect.top());
    EXPECT_NEAR(hanging.bars[1].rect.height() / hanging.bars[0].rect.height(), 0.5, 1e-9);
    EXPECT_EQ(hanging.bars[1].valueText, "-25.0");

    ASSERT_EQ(drawn[2].bars.size(), 500u);
    EXPECT_TRUE(drawn[2].bars[0].valueText.isEmpty());
    EXPECT_TRUE(drawn[2].bars[499].label.isEmpty());
    EXPECT_LT(drawn[2].bars[498].rect.left(), drawn[2].bars[499].rect.left());

    // Panels without bars say so rather than stay blank; the last one spans the width.
    EXPECT_TRUE(drawn[3].bars.empty());
    EXPECT_FALSE(drawn[3].emptyText.isEmpty());
    EXPECT_GT(drawn.back().area.width(), drawn[3].area.width() * 1.5);

    // The running percent climbs left to right over the bars, each point labelled.
    const DrawnPanel& drawnPareto = drawn[static_cast<std::size_t>(ChartKind::DefectPareto)];
    EXPECT_EQ(Labels(drawnPareto, &DrawnBar::label),
              (std::vector<QString>{"80", "20", QStringLiteral("(不明)")}));
    EXPECT_EQ(Labels(drawnPareto, &DrawnBar::valueText), (std::vector<QString>{"6", "3", "1"}));
    EXPECT_EQ(Labels(drawnPareto, &DrawnBar::cumulativeText), (std::vector<QString>{"60%", "90%", "100%"}));
    ASSERT_EQ(drawnPareto.bars.size(), 3u);
    EXPECT_EQ(drawnPareto.bars[1].cumulative, 90.0);
    EXPECT_FALSE(drawn[0].bars[0].cumulative);
    EXPECT_TRUE(drawn[0].bars[0].cumulativeText.isEmpty());

    // The matrix: phase names in UTF-8 as headers, counts in their cells, nothing where none.
    const DrawnPanel& matrix = drawn.back();
    EXPECT_TRUE(matrix.emptyText.isEmpty());
    EXPECT_TRUE(matrix.title.startsWith(QStringLiteral("欠陥")));
    EXPECT_EQ(matrix.rowHeaders, (std::vector<QString>{QStringLiteral("設計"), "code"}));
    EXPECT_EQ(matrix.columnHeaders, (std::vector<QString>{"code", "test"}));
    EXPECT_EQ(matrix.cells, (std::vector<std::vector<QString>>{{"2", ""}, {"1", "12"}}));

    // Without defects both defect panels say so.
    figures.panels[static_cast<std::size_t>(ChartKind::DefectPareto)].bars.clear();
    figures.defectMatrix = DefectMatrixFigure{};
    QPainter again(&image);
    drawn = PaintChartFigures(again, QRectF(image.rect()), figures);
    again.end();
    ASSERT_EQ(drawn.size(), ChartPanelCount + 1);
    EXPECT_FALSE(drawn[static_cast<std::size_t>(ChartKind::DefectPareto)].emptyText.isEmpty());
    EXPECT_FALSE(drawn.back().emptyText.isEmpty());
    EXPECT_TRUE(drawn.back().cells.empty());
}
