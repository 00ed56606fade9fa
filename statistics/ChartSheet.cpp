#include "statistics/ChartSheet.h"

#include <cstdio>

#include "platform/DecimalText.h"
#include "platform/ProgramFolder.h"
#include "project/ProjectRecord.h"

namespace quilvane {
namespace {

// Sheet columns B..H.
constexpr int NameCell = 2;
constexpr int MinutesCell = 3;
constexpr int NewLocCell = 4;
constexpr int LocPerMinuteCell = 5;
constexpr int TimeRatioCell = 6;
constexpr int SizeRatioCell = 7;
constexpr int BugsCell = 8;

std::string VersionText()
{
    char text[32];
    std::snprintf(text, sizeof text, "Version %.2f", ProgramVersion * 0.01);
    return text;
}

// A figure divided by another that may be 0: the chart shows the plain figure then.
double Ratio(std::int32_t numerator, std::int32_t divisor)
{
    return static_cast<double>(numerator) / (divisor == 0 ? 1 : divisor);
}

ExcelChartDesign Chart(const char* title, const char* valueTitle, int column, int anchorRow, int anchorColumn)
{
    ExcelChartDesign design;
    design.title = title;
    design.valueTitle = valueTitle;
    design.firstRow = ChartFirstRow;
    design.lastRow = ChartFirstRow + ChartRowCount - 1;
    design.categoryColumn = NameCell;
    design.nameRow = ChartFirstRow - 1;
    design.valueColumns = {column};
    design.anchorRow = anchorRow;
    design.anchorColumn = anchorColumn;
    return design;
}

} // namespace

std::vector<ChartCell> ChartCells(const std::string& userName, const std::vector<StatRow>& rows)
{
    std::vector<ChartCell> cells;
    cells.reserve(2 + ChartRowCount * (ChartLastColumn - ChartFirstColumn + 1));
    cells.push_back({1, 4, userName});
    cells.push_back({1, 6, VersionText()});
    for (int i = 0; i < ChartRowCount; ++i) {
        const int r = ChartFirstRow + i;
        if (static_cast<std::size_t>(i) >= rows.size()) {
            // Clears what a previous chart may have left in the row.
            for (int c = ChartFirstColumn; c <= ChartLastColumn; ++c) {
                cells.push_back({r, c, std::string()});
            }
            continue;
        }
        const StatRow& row = rows[static_cast<std::size_t>(i)];
        const std::int32_t actMinutes = AtoiLike(row[StatActMinutesColumn]);
        const std::int32_t actNew = AtoiLike(row[StatActNewColumn]);
        cells.push_back({r, NameCell, row[StatNameColumn]});
        cells.push_back({r, MinutesCell, actMinutes});
        cells.push_back({r, NewLocCell, actNew});
        cells.push_back({r, LocPerMinuteCell, Ratio(actNew, actMinutes)});
        cells.push_back({r, TimeRatioCell, Ratio(AtoiLike(row[StatPlanMinutesColumn]), actMinutes)});
        cells.push_back({r, SizeRatioCell, Ratio(AtoiLike(row[StatPlanNewColumn]), actNew)});
        cells.push_back({r, BugsCell, AtoiLike(row[StatBugsColumn])});
    }
    return cells;
}

ExcelTemplate ChartTemplate()
{
    ExcelTemplate t;
    t.sheetName = "PSPStat";
    t.labels = {
        {1, 1, "PSP 統計"},
        {1, 3, "氏名"},
        {2, NameCell, "プロジェクト"},
        {2, MinutesCell, "時間(実)"},
        {2, NewLocCell, "新規LOC(実)"},
        {2, LocPerMinuteCell, "LOC/分"},
        {2, TimeRatioCell, "時間 計画/実績"},
        {2, SizeRatioCell, "規模 計画/実績"},
        {2, BugsCell, "バグ"},
    };
    // Two by two to the right of the figures; a chart covers about eight columns and fifteen rows.
    t.charts = {
        Chart("生産性 (新規LOC/分)", "LOC/分", LocPerMinuteCell, 2, 10),
        Chart("時間の見積 (計画/実績)", "計画/実績", TimeRatioCell, 2, 18),
        Chart("規模の見積 (計画/実績)", "計画/実績", SizeRatioCell, 18, 10),
        Chart("バグ数", "バグ", BugsCell, 18, 18),
    };
    t.columnWidths = {{NameCell, 14},      {MinutesCell, 10},   {NewLocCell, 12}, {LocPerMinuteCell, 10},
                      {TimeRatioCell, 14}, {SizeRatioCell, 14}, {BugsCell, 6}};
    t.onePage = true;
    return t;
}

void FillChart(ExcelChart& chart, const std::vector<ChartCell>& cells)
{
    for (const ChartCell& cell : cells) {
        std::visit([&](const auto& value) { chart.SetCell(cell.row, cell.column, value); }, cell.value);
    }
}

ChartResult WriteChartWorkbook(const std::string& userName, const std::vector<StatRow>& rows)
{
    ChartResult result;
    result.path = ProgramPath(ChartWorkbookFile);
    ExcelChart chart;
    if (Status opened = chart.Open(result.path, ChartTemplate()); !opened) {
        result.message = opened.Message();
        return result;
    }
    FillChart(chart, ChartCells(userName, rows));
    if (Status saved = chart.Save(); !saved) {
        result.outcome = ChartOutcome::NotWritten;
        result.message = saved.Message();
        return result;
    }
    result.outcome = ChartOutcome::Written;
    return result;
}

} // namespace quilvane
