#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <regex>

#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/Process.h"
#include "statistics/ChartSheet.h"
#include "tests/RunTool.h"
#include "tests/statistics/StatTestFolder.h"

using namespace quilvane;

namespace {

// A list row with the figures the chart reads: planned new LOC (5), planned minutes (6), actual
// new LOC (9), actual minutes (11) and bugs (12).
StatRow ListRow(const std::string& name, int planNew, int planMinutes, int actNew, int actMinutes, int bugs)
{
    StatRow row;
    row.fill("0");
    row[0] = "";
    row[1] = name;
    row[2] = "";
    row[5] = std::to_string(planNew);
    row[6] = std::to_string(planMinutes);
    row[9] = std::to_string(actNew);
    row[11] = std::to_string(actMinutes);
    row[12] = std::to_string(bugs);
    return row;
}

using Value = std::variant<std::int32_t, double, std::string>;

std::map<std::pair<int, int>, Value> ByCell(const std::vector<ChartCell>& cells)
{
    std::map<std::pair<int, int>, Value> map;
    for (const auto& c : cells) {
        map[{c.row, c.column}] = c.value;
    }
    return map;
}

Value At(const std::map<std::pair<int, int>, Value>& map, int row, int column)
{
    auto it = map.find({row, column});
    return it == map.end() ? Value(std::string("<none>")) : it->second;
}

// "C7" -> (7, 3).
std::pair<int, int> ParseRef(const std::string& ref)
{
    int column = 0;
    std::size_t i = 0;
    for (; i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z'; ++i) {
        column = column * 26 + (ref[i] - 'A' + 1);
    }
    return {std::stoi(ref.substr(i)), column};
}

// The cells of the workbook's first sheet as texts, shared strings resolved, read with unzip.
class WorkbookReader {
public:
    explicit WorkbookReader(const std::string& path) : path_(path) {}

    std::string Part(const std::string& name) const
    {
        auto unzip = FindOnPath("unzip");
        return unzip ? RunTool(*unzip, {"-p", path_, name}).out : std::string();
    }

    std::map<std::pair<int, int>, std::string> Cells() const
    {
        std::vector<std::string> strings;
        std::string shared = Part("xl/sharedStrings.xml");
        std::regex si("<si><t[^>]*>([^<]*)</t></si>");
        for (auto it = std::sregex_iterator(shared.begin(), shared.end(), si); it != std::sregex_iterator();
             ++it) {
            strings.push_back((*it)[1]);
        }
        std::map<std::pair<int, int>, std::string> cells;
        std::string sheet = Part("xl/worksheets/sheet1.xml");
        std::regex c("<c r=\"([A-Z]+[0-9]+)\"([^>]*)><v>([^<]*)</v></c>");
        for (auto it = std::sregex_iterator(sheet.begin(), sheet.end(), c); it != std::sregex_iterator();
             ++it) {
            std::string value = (*it)[3];
            if (std::string((*it)[2]).find("t=\"s\"") != std::string::npos) {
                value = strings.at(std::stoul(value));
            }
            cells[ParseRef((*it)[1])] = value;
        }
        return cells;
    }

private:
    std::string path_;
};

class ChartWorkbookTest : public StatFolderTest {
protected:
    void SetUp() override
    {
        StatFolderTest::SetUp();
        if (!FindOnPath("unzip")) {
            GTEST_SKIP() << "unzip is needed to read the workbook back";
        }
    }
    std::string Workbook() const { return dir_.Path("init/PSPStat.xlsx"); }
};

} // namespace

TEST(ChartCellsTest, ThreeRowsFillRowsThreeToFiveAndBlankTheRest)
{
    std::vector<StatRow> rows{ListRow("P1", 10, 60, 20, 40, 1), ListRow("P2", 0, 0, 0, 10, 0),
                              ListRow("P3", 5, 5, 5, 5, 5)};
    std::vector<ChartCell> cells = ChartCells("\x8E\x81\x96\xBC", rows);
    ASSERT_EQ(cells.size(), 2u + 70u);
    EXPECT_EQ(cells[0], (ChartCell{1, 4, std::string("\x8E\x81\x96\xBC")}));
    EXPECT_EQ(cells[1], (ChartCell{1, 6, std::string("Version 1.03")}));
    // Row by row, columns B to H in order.
    for (std::size_t i = 2; i < cells.size(); ++i) {
        EXPECT_EQ(cells[i].row, 3 + static_cast<int>(i - 2) / 7);
        EXPECT_EQ(cells[i].column, 2 + static_cast<int>(i - 2) % 7);
    }
    auto map = ByCell(cells);
    EXPECT_EQ(At(map, 3, 2), Value(std::string("P1")));
    EXPECT_EQ(At(map, 3, 3), Value(40));
    EXPECT_EQ(At(map, 3, 4), Value(20));
    EXPECT_EQ(At(map, 3, 5), Value(0.5));
    EXPECT_EQ(At(map, 3, 6), Value(1.5));
    EXPECT_EQ(At(map, 3, 7), Value(0.5));
    EXPECT_EQ(At(map, 3, 8), Value(1));
    EXPECT_EQ(At(map, 5, 2), Value(std::string("P3")));
    for (int r = 6; r <= 12; ++r) {
        for (int c = 2; c <= 8; ++c) {
            EXPECT_EQ(At(map, r, c), Value(std::string())) << r << "," << c;
        }
    }
}

TEST(ChartCellsTest, ZeroActualMinutesAndLocDivideByOne)
{
    auto map = ByCell(ChartCells("", {ListRow("P", 30, 90, 12, 0, 0), ListRow("Q", 30, 90, 0, 10, 0)}));
    EXPECT_EQ(At(map, 3, 5), Value(12.0));
    EXPECT_EQ(At(map, 3, 6), Value(90.0));
    EXPECT_EQ(At(map, 4, 7), Value(30.0));
    EXPECT_EQ(At(map, 4, 5), Value(0.0));
}

TEST(ChartCellsTest, OnlyTheFirstTenRowsAreCharted)
{
    std::vector<StatRow> rows;
    for (int i = 0; i < 12; ++i) {
        rows.push_back(ListRow("P" + std::to_string(i), 0, 0, 0, 0, 0));
    }
    auto map = ByCell(ChartCells("", rows));
    EXPECT_EQ(At(map, 12, 2), Value(std::string("P9")));
    EXPECT_EQ(At(map, 13, 2), Value(std::string("<none>")));
}

TEST_F(ChartWorkbookTest, WorkbookHoldsTheCellsInUtf8AndFourCharts)
{
    std::vector<StatRow> rows{ListRow("P1", 10, 60, 20, 40, 1), ListRow("P2", 0, 7, 3, 0, 2),
                              ListRow("\x83\x76\x83\x8D", 5, 5, 5, 5, 5)};
    ChartResult result = WriteChartWorkbook("\x8E\x81\x96\xBC", rows);
    ASSERT_EQ(result.outcome, ChartOutcome::Written);
    EXPECT_EQ(result.path, Workbook());

    auto cells = WorkbookReader(Workbook()).Cells();
    EXPECT_EQ((cells[{1, 4}]), "氏名");
    EXPECT_EQ((cells[{1, 6}]), "Version 1.03");
    EXPECT_EQ((cells[{3, 2}]), "P1");
    EXPECT_EQ((cells[{3, 3}]), "40");
    EXPECT_EQ((cells[{3, 5}]), "0.5");
    EXPECT_EQ((cells[{3, 6}]), "1.5");
    EXPECT_EQ((cells[{4, 5}]), "3");
    EXPECT_EQ((cells[{4, 6}]), "7");
    EXPECT_EQ((cells[{4, 8}]), "2");
    EXPECT_EQ((cells[{5, 2}]), "プロ");
    for (const auto& [ref, value] : cells) {
        EXPECT_LE(ref.first, 5) << "row " << ref.first << " holds " << value;
    }

    WorkbookReader reader(Workbook());
    for (const char* part : {"xl/charts/chart1.xml", "xl/charts/chart4.xml"}) {
        EXPECT_NE(reader.Part(part).find("PSPStat!$B$3:$B$12"), std::string::npos) << part;
    }
    EXPECT_NE(reader.Part("xl/charts/chart1.xml").find("PSPStat!$E$3:$E$12"), std::string::npos);
}

TEST_F(ChartWorkbookTest, NewWorkbookReplacesTheOldOneAndLeavesNoTemporaryFile)
{
    ASSERT_TRUE(WriteFileAtomically(Workbook(), "old").Ok());
    ASSERT_EQ(WriteChartWorkbook("", {ListRow("P1", 0, 0, 0, 0, 0)}).outcome, ChartOutcome::Written);
    EXPECT_EQ((WorkbookReader(Workbook()).Cells()[{3, 2}]), "P1");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.Path("init"))) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"PSPStat.xlsx"});
}

TEST_F(ChartWorkbookTest, AFailedSaveKeepsTheOldWorkbook)
{
    struct FailingFsync : FileCalls {
        int Fsync(int) override
        {
            errno = EIO;
            return -1;
        }
    } failing;
    ASSERT_TRUE(WriteFileAtomically(Workbook(), "old").Ok());
    {
        ScopedFileCalls scope(failing);
        EXPECT_EQ(WriteChartWorkbook("", {ListRow("P1", 0, 0, 0, 0, 0)}).outcome, ChartOutcome::NotWritten);
    }
    EXPECT_EQ(ReadWholeFile(Workbook()), "old");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path("init")), {}), 1);
    // A folder where the workbook belongs is left alone.
    std::filesystem::remove(Workbook());
    std::filesystem::create_directory(Workbook());
    EXPECT_NE(WriteChartWorkbook("", {ListRow("P1", 0, 0, 0, 0, 0)}).outcome, ChartOutcome::Written);
    EXPECT_TRUE(std::filesystem::is_empty(Workbook()));
}

TEST_F(ChartWorkbookTest, MissingFolderCreatesNothing)
{
    std::filesystem::remove_all(dir_.Path("init"));
    ChartResult result = WriteChartWorkbook("", {ListRow("P1", 0, 0, 0, 0, 0)});
    EXPECT_EQ(result.outcome, ChartOutcome::NotCreated);
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("init")));
}

TEST(ChartExcelTest, CellsWithoutAnOpenWorkbookAreIgnored)
{
    ExcelChart chart;
    EXPECT_FALSE(chart.Open("/nonexistent-folder/x.xlsx", ChartTemplate()));
    chart.SetCell(1, 1, std::string("x"));
    chart.SetCell(1, 2, 3);
    EXPECT_FALSE(chart.Save().Ok());
}
