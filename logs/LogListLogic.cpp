#include "logs/LogListLogic.h"

#include <algorithm>
#include <numeric>

#include "platform/MbString.h"
#include "platform/TimeText.h"
#include "project/DefectDetails.h"

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
        return DetailsOf(entry).comment;
    case 3:
        return DefectTypeText(DetailsOf(entry).type);
    case 4:
        return DetailsOf(entry).injected.value_or(std::string());
    case 5:
        return FixMinutesText(DetailsOf(entry).fixMinutes);
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
    // Type codes and minutes sort as numbers: their texts are padded to one width for the key,
    // so that 100 follows 90 and unknown values come first.
    return OrderByCell(entries, column, ascending, [](const DefectEntry& entry, int c) {
        std::string text = DefectLogCell(entry, c);
        if ((c == 3 || c == 5) && !text.empty()) {
            std::size_t digits = text.find(' ') == std::string::npos ? text.size() : text.find(' ');
            text.insert(0, digits < 8 ? 8 - digits : 0, '0');
        }
        return text;
    });
}

} // namespace quilvane
