#include "logs/LogListLogic.h"

#include <algorithm>
#include <numeric>

#include "platform/MbString.h"

namespace quilvane {

std::string TimeLogCell(const TimeLogEntry& entry, int column)
{
    return ColumnCell(TimeLogColumns(), entry, column);
}

std::string DefectLogCell(const DefectEntry& entry, int column)
{
    return ColumnCell(DefectLogColumns(), entry, column);
}

std::string NumericSortKey(std::string text)
{
    if (!text.empty()) {
        std::size_t digits = text.find(' ') == std::string::npos ? text.size() : text.find(' ');
        text.insert(0, digits < 8 ? 8 - digits : 0, '0');
    }
    return text;
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

std::vector<std::size_t> TimeLogSortOrder(const std::vector<TimeLogEntry>& entries, int column,
                                          bool ascending)
{
    return ColumnSortOrder(TimeLogColumns(), entries, column, ascending);
}

std::vector<std::size_t> DefectLogSortOrder(const std::vector<DefectEntry>& entries, int column,
                                            bool ascending)
{
    return ColumnSortOrder(DefectLogColumns(), entries, column, ascending);
}

} // namespace quilvane
