#pragma once
// The arithmetic of the printed PSP form, without any drawing: how many pages a project needs,
// which part of the time log and the defect log lands on which log page and line, where the
// phase table's lines go, and the texts the form prints. All coordinates are in the units of
// the logical page (2840 x 4070, y growing downward); all texts are CP932 bytes.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "logs/LogColumns.h"
#include "project/ProjectRecord.h"

namespace quilvane {

inline constexpr int PrintPageWidth = 2840;
inline constexpr int PrintPageHeight = 4070;
inline constexpr int LogLinesPerPage = 25;

// Page 1 is the form; the log pages follow: 2 + (T + D + 3) / 25 pages in all.
int PrintPageCount(std::size_t timeEntries, std::size_t defectEntries);

// "%s  %s[%s] %d/%d" of the ctime text (with its line feed), student, project, page and count.
std::string PrintHeaderText(const std::string& ctimeText, const std::string& userName,
                            const std::string& projectName, int page, int pageCount);

// The base name as the form shows it: only what follows the first '/', when there is one.
std::string PrintedBaseName(const std::string& baseName);

// "%.2d" of (index + 1) mod 100: entry 100 prints "00".
std::string LogEntryNumber(std::size_t index);

// "%5d". Takes 64 bits so that sums of two 32-bit sizes print as they are.
std::string FormatSize(std::int64_t value);

// The lines of a text broken only at its own line breaks (CR LF or LF); no trailing empty line.
std::vector<std::string> TextLines(const std::string& text);

// The planned and actual texts of the size table's rows: reused, deleted, new, total.
std::array<std::array<std::string, 2>, 4> SizeTableValues(const PlanEstimate& plan,
                                                          const ProjectResult& result);

// The texts of the main view's phase table: one row per phase and the totals row, four cells
// each (phase, plan, actual, ratio). Recomputes the actual minutes from the time log as the
// view does.
using PhaseTableTexts = std::vector<std::array<std::string, 4>>;
PhaseTableTexts PhaseTableTextsOf(ProjectRecord& project);

// The phase table with P phases has P + 3 horizontal lines; line i lies at 1720 + 180 (i - P),
// so the bottom line stays at 2080 and the table grows upward.
std::int64_t PhaseTableLineY(std::size_t phaseCount, std::size_t line);

struct PrintRect {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t right = 0;
    std::int64_t bottom = 0;

    bool operator==(const PrintRect&) const = default;
};

// The cell of table row `row` (0 .. P, P being the totals row) and column 0..3.
PrintRect PhaseTableCell(std::size_t phaseCount, std::size_t row, int column);

// The rulings' x of the phase table, left edge to right edge.
inline constexpr std::array<int, 5> PhaseTableColumnX{1300, 1850, 2100, 2350, 2600};

enum class LogBlock { Time, Defect };

// The part of one log block that a log page shows. Row indices: -2 the title, -1 the heading
// row, 0 .. n - 1 the entries; `lastRow` gets only its ruling (it closes the block or the page).
struct LogBlockSlice {
    LogBlock block = LogBlock::Time;
    std::int64_t firstRow = 0;
    std::int64_t lastRow = 0;
    int startLine = 0; // the line of `firstRow` on the page
};

// The slices of log page k (0 for the second printed page): the time-log block, then the
// defect-log block directly after it.
std::vector<LogBlockSlice> LogPageSlices(std::size_t timeEntries, std::size_t defectEntries, int logPage);

// Where a slice goes, line by line. Every line from firstRuledLine to lastRuledLine gets a
// ruling at its top; entries firstEntry .. firstEntry + entryCount - 1 sit on successive lines
// from firstEntryLine.
struct LogSlicePlacement {
    std::optional<int> titleLine;
    std::optional<int> headingLine;
    int firstRuledLine = 0;
    int lastRuledLine = 0;
    std::int64_t firstEntry = 0;
    std::int64_t entryCount = 0;
    int firstEntryLine = 0;
};

// Nothing when the slice holds no row (its first row comes after its last).
std::optional<LogSlicePlacement> PlaceLogSlice(const LogBlockSlice& slice);

// y of line L's ruling, of its texts and of a block title on it.
inline constexpr int LogRuleY(int line)
{
    return 300 + 144 * line;
}
inline constexpr int LogTextY(int line)
{
    return LogRuleY(line) + 40;
}
inline constexpr int LogTitleY(int line)
{
    return LogRuleY(line) + 50;
}

} // namespace quilvane
