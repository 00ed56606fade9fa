#include "logs/LogListLogic.h"

#include <algorithm>
#include <numeric>

#include "platform/MbString.h"
#include "platform/TimeText.h"

namespace quilvane {

std::string TimeLogCell(const TimeLogEntry& entry, int column)
{
    switch (column) {
    case 0:
        return entry.phase;
    case 1:
        return FormatSpanBetween(entry.start.Seconds(), entry.end.Seconds());
    case 2:
        return entry.start.Text();
    case 3:
        return entry.end.Text();
    default:
        return {};
    }
}

std::string DefectLogCell(const DefectEntry& entry, int column)
{
    switch (column) {
    case 0:
        return entry.phase;
    case 1:
        return entry.time.Text();
    case 2:
        return entry.comment;
    default:
        return {};
    }
}

bool SortDirections::Next(std::size_t column)
{
    if (column >= ascending_.size()) {
        return true;
    }
    bool ascending = ascending_[column];
    ascending_[column] = !ascending;
    return ascending;
}

std::vector<std::size_t> SortedOrder(const std::vector<std::string>& keys, bool ascending)
{
    std::vector<std::size_t> order(keys.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (ascending) {
        std::stable_sort(order.begin(), order.end(),
                         [&keys](std::size_t a, std::size_t b) { return MbsICmp(keys[a], keys[b]) < 0; });
    } else {
        std::stable_sort(order.begin(), order.end(),
                         [&keys](std::size_t a, std::size_t b) { return MbsICmp(keys[b], keys[a]) < 0; });
    }
    return order;
}

namespace {

template <class Entry, class CellText>
std::vector<std::size_t> OrderByCell(const std::vector<Entry>& entries, int column, bool ascending,
                                     CellText cell)
{
    // The keys are the cell texts, computed once: comparing texts is what the list sorts by.
    std::vector<std::string> keys;
    keys.reserve(entries.size());
    for (const auto& entry : entries) {
        keys.push_back(cell(entry, column));
    }
    return SortedOrder(keys, ascending);
}

} // namespace

std::vector<std::size_t> TimeLogSortOrder(const std::vector<TimeLogEntry>& entries, int column,
                                          bool ascending)
{
    return OrderByCell(entries, column, ascending, TimeLogCell);
}

std::vector<std::size_t> DefectLogSortOrder(const std::vector<DefectEntry>& entries, int column,
                                            bool ascending)
{
    return OrderByCell(entries, column, ascending, DefectLogCell);
}

} // namespace quilvane
