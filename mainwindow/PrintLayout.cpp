#include "mainwindow/PrintLayout.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "mainwindow/PhaseClock.h"
#include "platform/Cp932.h"

namespace quilvane {
namespace {

std::string FormatInt(std::int64_t value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(value));
    return buffer;
}

} // namespace

int PrintPageCount(std::size_t timeEntries, std::size_t defectEntries)
{
    // Counts beyond any real log saturate instead of wrapping.
    constexpr std::size_t Limit = std::size_t{INT_MAX} * LogLinesPerPage;
    std::size_t lines = std::min(timeEntries, Limit) + std::min(defectEntries, Limit) + 3;
    std::size_t pages = 2 + lines / LogLinesPerPage;
    return pages > INT_MAX ? INT_MAX : static_cast<int>(pages);
}

std::string PrintHeaderText(const std::string& ctimeText, const std::string& userName,
                            const std::string& projectName, int page, int pageCount)
{
    return ctimeText + "  " + userName + "[" + projectName + "] " + std::to_string(page) + "/" +
           std::to_string(pageCount);
}

std::string PrintedBaseName(const std::string& baseName)
{
    // '/' never occurs as the second byte of a CP932 character, so a byte search is safe.
    auto slash = baseName.find('/');
    return slash == std::string::npos ? baseName : baseName.substr(slash + 1);
}

std::string LogEntryNumber(std::size_t index)
{
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%.2d", static_cast<int>((index + 1) % 100));
    return buffer;
}

std::string FormatSize(std::int64_t value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%5lld", static_cast<long long>(value));
    return buffer;
}

std::vector<std::string> TextLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::size_t length = end - start;
        if (length > 0 && text[end - 1] == '\r') {
            --length;
        }
        lines.push_back(text.substr(start, length));
        start = end + 1;
    }
    return lines;
}

std::array<std::array<std::string, 2>, 4> SizeTableValues(const PlanEstimate& plan,
                                                          const ProjectResult& result)
{
    // The totals are summed in 64 bits: sizes read from a damaged file must not overflow.
    return {{
        {FormatSize(plan.reuseLoc), FormatSize(result.actualReuse)},
        {FormatSize(plan.deleteLoc), FormatSize(result.actualDelete)},
        {FormatSize(plan.newLoc), FormatSize(result.actualNew)},
        {FormatSize(std::int64_t{plan.newLoc} + plan.reuseLoc),
         FormatSize(std::int64_t{result.actualNew} + result.actualReuse)},
    }};
}

PhaseTableTexts PhaseTableTextsOf(ProjectRecord& project)
{
    PhaseTotals totals = RecomputeActuals(project);
    PhaseTableTexts rows;
    rows.reserve(project.phases.size() + 1);
    for (const auto& phase : project.phases) {
        rows.push_back({phase.name, FormatInt(phase.plan), FormatInt(phase.actual), FormatInt(phase.ratio)});
    }
    rows.push_back({Utf8ToCp932("  - 合計 -"), FormatInt(totals.plan), FormatInt(totals.actual), "100"});
    return rows;
}

std::int64_t PhaseTableLineY(std::size_t phaseCount, std::size_t line)
{
    return 1720 + 180 * (static_cast<std::int64_t>(line) - static_cast<std::int64_t>(phaseCount));
}

PrintRect PhaseTableCell(std::size_t phaseCount, std::size_t row, int column)
{
    static constexpr std::array<int, 5> Offsets{0, 550, 800, 1050, 1300};
    column = std::clamp(column, 0, 3);
    std::int64_t lineY = PhaseTableLineY(phaseCount, row + 1);
    auto c = static_cast<std::size_t>(column);
    // Each cell keeps 40 units clear of its left ruling and 50 of its right one; the
    // left-aligned phase names may run up to the ruling.
    PrintRect cell{Offsets[c] + 1340, lineY + 40, Offsets[c + 1] + 1250, lineY + 140};
    if (column == 0) {
        cell.right += 50;
    }
    return cell;
}

std::vector<LogBlockSlice> LogPageSlices(std::size_t timeEntries, std::size_t defectEntries, int logPage)
{
    std::vector<LogBlockSlice> slices;
    if (logPage < 0) {
        return slices;
    }
    // The time block needs T + 2 full lines (title, heading, entries); its closing ruling
    // shares a line with the defect block's title.
    const std::int64_t b = static_cast<std::int64_t>(timeEntries) + 2;
    const std::int64_t d = static_cast<std::int64_t>(defectEntries);
    const std::int64_t k = logPage;
    const std::int64_t c = LogLinesPerPage * k;
    if ((b - 1) / LogLinesPerPage >= k) {
        slices.push_back({LogBlock::Time, c - 2, std::min(b, c + LogLinesPerPage) - 2, 0});
    }
    if (k < b / LogLinesPerPage) {
        return slices;
    }
    slices.push_back({LogBlock::Defect, std::max<std::int64_t>(c - b, 0) - 2, std::min(d, c - b + 23),
                      static_cast<int>(std::max<std::int64_t>(b - c, 0))});
    return slices;
}

std::optional<LogSlicePlacement> PlaceLogSlice(const LogBlockSlice& slice)
{
    if (slice.firstRow > slice.lastRow || slice.firstRow < -2) {
        return std::nullopt;
    }
    LogSlicePlacement place;
    int line = slice.startLine;
    std::int64_t row = slice.firstRow;
    if (row == -2) {
        place.titleLine = line;
        ++line;
        row = -1;
    }
    place.firstRuledLine = line;
    place.lastRuledLine = line + static_cast<int>(slice.lastRow - row);
    if (row == -1 && row < slice.lastRow) {
        place.headingLine = line;
    }
    place.firstEntry = std::max<std::int64_t>(row, 0);
    place.entryCount = std::max<std::int64_t>(slice.lastRow - place.firstEntry, 0);
    place.firstEntryLine = line + static_cast<int>(place.firstEntry - row);
    return place;
}

} // namespace quilvane
