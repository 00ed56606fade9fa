#pragma once
// The logic behind the time log and defect log lists, without any window: the texts of their
// cells, the per-column sort directions, sorting the entries by a column's text and deleting a
// set of rows. The dialogs only show what these functions leave in their copy of the log.
#include <cstddef>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "logs/LogColumns.h"
#include "project/SubRecords.h"

namespace quilvane {

// The text (CP932) a list shows in `column` of an entry's row; empty for a column that does not exist.
std::string TimeLogCell(const TimeLogEntry& entry, int column);
// A defect's comment column shows the student's text, never the header that carries the details.
std::string DefectLogCell(const DefectEntry& entry, int column);

// One direction flag per column, all ascending when a list opens; every click on a column
// uses its flag and flips it, so clicks alternate ascending and descending per column.
class SortDirections {
public:
    explicit SortDirections(std::size_t columns) : ascending_(columns, true) {}
    // The direction of this click on `column` (true: ascending); flips the column's flag.
    bool Next(std::size_t column);

private:
    std::vector<bool> ascending_;
};

// A text that starts with a number, padded with zeros to one width so that texts sort as their
// numbers do (100 after 90); an empty text stays empty and comes first.
std::string NumericSortKey(std::string text);

// The row order that sorts `keys` by the case-insensitive multibyte comparison, ascending or
// descending. Rows with equal keys keep their present order.
std::vector<std::size_t> SortedOrder(const std::vector<std::string>& keys, bool ascending);

// The order that sorts entries by `column` of `columns` as the list shows it: by its text, or by
// the number the text starts with where the column says so (unknown values first).
template <class Entry>
std::vector<std::size_t> ColumnSortOrder(std::span<const LogColumn<Entry>> columns,
                                         const std::vector<Entry>& entries, int column, bool ascending)
{
    const bool numeric = column >= 0 && static_cast<std::size_t>(column) < columns.size() &&
                         columns[static_cast<std::size_t>(column)].numericKey;
    // The keys are the cell texts, computed once: comparing texts is what the list sorts by.
    std::vector<std::string> keys;
    keys.reserve(entries.size());
    for (const auto& entry : entries) {
        keys.push_back(numeric ? NumericSortKey(ColumnCell(columns, entry, column))
                               : ColumnCell(columns, entry, column));
    }
    return SortedOrder(keys, ascending);
}

// The order that sorts a log's entries by the text of `column` as the list shows it.
std::vector<std::size_t> TimeLogSortOrder(const std::vector<TimeLogEntry>& entries, int column,
                                          bool ascending);
std::vector<std::size_t> DefectLogSortOrder(const std::vector<DefectEntry>& entries, int column,
                                            bool ascending);

// Removes the entries at `rows` (indices beyond the end are ignored) and returns the row to
// select afterwards: the one now standing at the lowest removed index, or none when the
// removed rows were the last ones or nothing was removed.
template <class Entry>
std::optional<std::size_t> DeleteRows(std::vector<Entry>& entries, const std::set<std::size_t>& rows)
{
    if (rows.empty() || *rows.begin() >= entries.size()) {
        return std::nullopt;
    }
    const std::size_t lowest = *rows.begin();
    // One pass that closes all gaps, instead of one erase per row, for long logs.
    std::size_t kept = lowest;
    for (std::size_t i = lowest; i < entries.size(); ++i) {
        if (rows.count(i) == 0) {
            if (kept != i) {
                entries[kept] = std::move(entries[i]);
            }
            ++kept;
        }
    }
    entries.resize(kept);
    if (lowest < entries.size()) {
        return lowest;
    }
    return std::nullopt;
}

// Puts the entries into `order` (a permutation of their indices, as SortedOrder returns):
// entry order[i] becomes entry i.
template <class Entry> void Reorder(std::vector<Entry>& entries, const std::vector<std::size_t>& order)
{
    std::vector<Entry> sorted;
    sorted.reserve(entries.size());
    for (std::size_t i : order) {
        sorted.push_back(std::move(entries[i]));
    }
    entries = std::move(sorted);
}

} // namespace quilvane
