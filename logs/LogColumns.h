#pragma once
// The columns of the time log and the defect log, each described once: the list's heading,
// alignment and width, the text of its cell on screen and as a sort key, and where and how the
// printed form shows it. The list dialogs, their sorting and the print painter all read these
// tables, so a new column is one more row here (and its field in the record and the edit dialog).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "project/SubRecords.h"

namespace quilvane {

// How a printed cell sits between its ruling and the next one.
enum class PrintedCell {
    None,         // the column is not on the printed form
    BeforeRuling, // one line that ends just before the next ruling
    ShrunkToFit,  // left in the cell, narrowed until it fits
};

template <class Entry> struct LogColumn {
    const char* title;      // the list's heading (UTF-8)
    bool rightAligned;      // in the list
    const char* fitPattern; // a fixed-format text the list always shows whole ('0' for any digit), or ""
    int storedWidth;        // the slot of the log's columnWidths that keeps its width, or -1
    int defaultWidth;       // the width it opens at without a stored one (design units)
    bool numericKey;        // sorts by the number its text starts with, not by the text
    std::string (*cell)(const Entry& entry); // CP932, as the list shows it

    const char* printTitle; // the printed heading (UTF-8)
    int printX;             // the ruling at its left on the printed log page
    PrintedCell printed;
    std::string (*printCell)(const Entry& entry); // CP932
};

using TimeLogColumn = LogColumn<TimeLogEntry>;
using DefectLogColumn = LogColumn<DefectEntry>;

// In the lists' order; the printed form orders them by printX.
std::span<const TimeLogColumn> TimeLogColumns();
std::span<const DefectLogColumn> DefectLogColumns();

// The printed log blocks: the entry number's column and the right edge of the block.
inline constexpr int PrintedLogLeft = 300;
inline constexpr int PrintedLogNumberRight = 420;
inline constexpr int PrintedLogRight = 2640;

// The comment on one line: every line break (CR LF, and a lone CR or LF) becomes one blank.
std::string OneLineComment(const std::string& comment);

// The text of `column` of an entry's row in the list; empty for a column that does not exist.
template <class Entry>
std::string ColumnCell(std::span<const LogColumn<Entry>> columns, const Entry& entry, int column)
{
    if (column < 0 || static_cast<std::size_t>(column) >= columns.size()) {
        return {};
    }
    return columns[static_cast<std::size_t>(column)].cell(entry);
}

// The widths a list opens with: the stored one where the log keeps it, the default otherwise.
template <class Entry, std::size_t N>
std::vector<int> OpeningWidths(std::span<const LogColumn<Entry>> columns, const std::int32_t (&stored)[N])
{
    std::vector<int> widths;
    for (const auto& column : columns) {
        const bool kept = column.storedWidth >= 0 && static_cast<std::size_t>(column.storedWidth) < N;
        widths.push_back(kept ? stored[column.storedWidth] : column.defaultWidth);
    }
    return widths;
}

// Keeps the widths of the columns whose width the log stores; the others are not recorded.
template <class Entry, std::size_t N>
void StoreWidths(std::span<const LogColumn<Entry>> columns, const std::vector<int>& widths,
                 std::int32_t (&stored)[N])
{
    for (std::size_t i = 0; i < columns.size() && i < widths.size(); ++i) {
        const int slot = columns[i].storedWidth;
        if (slot >= 0 && static_cast<std::size_t>(slot) < N) {
            stored[slot] = widths[i];
        }
    }
}

// The printed columns in the order of their rulings.
template <class Entry>
std::vector<const LogColumn<Entry>*> PrintedColumns(std::span<const LogColumn<Entry>> columns)
{
    std::vector<const LogColumn<Entry>*> printed;
    for (const auto& column : columns) {
        if (column.printed != PrintedCell::None) {
            printed.push_back(&column);
        }
    }
    std::stable_sort(printed.begin(), printed.end(),
                     [](const auto* a, const auto* b) { return a->printX < b->printX; });
    return printed;
}

} // namespace quilvane
