#pragma once
// The statistics list as an editing buffer, without any window: its rows are the texts the list
// shows, and everything the dialog does to them (sorting, deleting marked rows, choosing the
// project to open, rebuilding a store to save) happens here on those texts.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "statistics/StatStore.h"

namespace quilvane {

// One list row in CP932: the mark ("*" or ""), name, base name and ten numbers as text.
using StatRow = std::array<std::string, StatColumnCount>;

inline constexpr std::size_t StatMarkColumn = 0;
inline constexpr std::size_t StatNameColumn = 1;
// The number columns that the charts read, as StoreFromRows reads them.
inline constexpr std::size_t StatPlanNewColumn = 5;
inline constexpr std::size_t StatPlanMinutesColumn = 6;
inline constexpr std::size_t StatActNewColumn = 9;
inline constexpr std::size_t StatActMinutesColumn = 11;
inline constexpr std::size_t StatBugsColumn = 12;

// The rows of a store, one per record in key order.
std::vector<StatRow> StatRowsOf(const StatStore& store);

// The order that sorts `rows` by the text of `column` (case-insensitive multibyte comparison,
// numbers as text); rows with equal texts keep their order.
std::vector<std::size_t> StatSortOrder(const std::vector<StatRow>& rows, std::size_t column, bool ascending);

struct StatDeleteResult {
    // False when no selected row carried the mark; the rows are then unchanged.
    bool deleted = false;
    // The row to select afterwards: the one now at the lowest deleted position, if any.
    std::optional<std::size_t> select;
    // The selected rows without the mark, which stay, at their positions after the deletion.
    std::vector<std::size_t> kept;
};

// Deletes those of the `selected` rows (positions, any order) that are marked "*". Rows of
// projects whose folders exist cannot be deleted, since the next scan would bring them back.
[[nodiscard]] StatDeleteResult DeleteMarkedRows(std::vector<StatRow>& rows,
                                                const std::vector<std::size_t>& selected);

// The first selected row, in list order, that may be opened: not marked and not the open
// project `ownName` (byte-exact). Nullopt when there is none.
std::optional<std::size_t> ChooseOpenRow(const std::vector<StatRow>& rows,
                                         const std::vector<std::size_t>& selected,
                                         const std::string& ownName);

// The project file of a listed project, relative to the program folder.
std::string StatProjectFile(const std::string& name);

// The store that saving writes: the rows as they stand (later rows of a repeated name win),
// `present` from the mark, numbers read as atoi does, the derived column ignored. Geometry and
// column widths keep their defaults; the dialog sets its own.
StatStore StoreFromRows(const std::vector<StatRow>& rows);

} // namespace quilvane
