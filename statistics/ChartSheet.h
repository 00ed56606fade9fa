#pragma once
// The chart of the statistics list: which cell of the chart sheet gets which value, the sheet's
// fixed texts and charts, and the command that fills it and hands it to the desktop.
#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "platform/ExcelChart.h"
#include "platform/Status.h"
#include "statistics/StatListLogic.h"

namespace quilvane {

// Rows 3 to 12 of the sheet chart the first ten list rows; columns B to H hold their figures.
inline constexpr int ChartFirstRow = 3;
inline constexpr int ChartRowCount = 10;
inline constexpr int ChartFirstColumn = 2;
inline constexpr int ChartLastColumn = 8;

inline const char* const ChartWorkbookFile = "init/PSPStat.xlsx";

// One cell write: 1-based row and column, and an integer, a double or CP932 text.
struct ChartCell {
    int row = 0;
    int column = 0;
    std::variant<std::int32_t, double, std::string> value;

    bool operator==(const ChartCell&) const = default;
};

// The cell writes in the order they are made: (1, 4) the student's name, (1, 6) the program
// version, then for each row 3..12 its columns B..H in order. A row without a list row behind
// it gets empty strings. Figures are read from the texts as atoi reads them; a ratio whose
// divisor (actual minutes, actual new LOC) is 0 divides by 1 instead.
std::vector<ChartCell> ChartCells(const std::string& userName, const std::vector<StatRow>& rows);

// The labels and the charts that the workbook holds around those cells.
ExcelTemplate ChartTemplate();

// Writes `cells` into `chart` in order.
void FillChart(ExcelChart& chart, const std::vector<ChartCell>& cells);

enum class ChartOutcome {
    NotCreated, // the workbook could not be started; nothing was written
    NotWritten, // filled, but writing the file failed
    Written,
};

struct ChartResult {
    ChartOutcome outcome = ChartOutcome::NotCreated;
    std::string path;    // the workbook's full path
    std::string message; // UTF-8: why the workbook was not created or not written
};

// Fills the chart workbook from the list rows and writes it to "init/PSPStat.xlsx" beside the
// program, replacing the previous one.
[[nodiscard]] ChartResult WriteChartWorkbook(const std::string& userName, const std::vector<StatRow>& rows);

} // namespace quilvane
