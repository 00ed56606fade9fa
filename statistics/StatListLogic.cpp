#include "statistics/StatListLogic.h"

#include <algorithm>
#include <iterator>
#include <set>
#include <string_view>

#include "logs/LogListLogic.h"
#include "platform/DecimalText.h"
#include "project/Settings.h"
#include "statistics/StatTable.h"

namespace quilvane {

std::vector<StatRow> StatRowsOf(const StatStore& store)
{
    std::vector<StatRow> rows;
    rows.reserve(store.records.size());
    for (const auto& [name, record] : store.records) {
        rows.push_back(StatRowTexts(name, record));
    }
    return rows;
}

std::vector<std::size_t> StatSortOrder(const std::vector<StatRow>& rows, std::size_t column, bool ascending)
{
    std::vector<std::string> keys;
    keys.reserve(rows.size());
    for (const StatRow& row : rows) {
        keys.push_back(column < StatColumnCount ? row[column] : std::string());
    }
    return SortedOrder(keys, ascending);
}

StatDeleteResult DeleteMarkedRows(std::vector<StatRow>& rows, const std::vector<std::size_t>& selected)
{
    std::set<std::size_t> marked;
    for (std::size_t row : selected) {
        if (row < rows.size() && !rows[row][StatMarkColumn].empty()) {
            marked.insert(row);
        }
    }
    if (marked.empty()) {
        return {};
    }
    StatDeleteResult result;
    result.deleted = true;
    std::set<std::size_t> unmarked;
    for (std::size_t row : selected) {
        if (row < rows.size() && marked.count(row) == 0) {
            unmarked.insert(row);
        }
    }
    for (std::size_t row : unmarked) {
        // Each deleted row above moves it up by one.
        auto above = static_cast<std::size_t>(std::distance(marked.begin(), marked.lower_bound(row)));
        result.kept.push_back(row - above);
    }
    result.select = DeleteRows(rows, marked);
    return result;
}

std::optional<std::size_t> ChooseOpenRow(const std::vector<StatRow>& rows,
                                         const std::vector<std::size_t>& selected, const std::string& ownName)
{
    std::vector<std::size_t> ordered(selected);
    std::sort(ordered.begin(), ordered.end());
    for (std::size_t row : ordered) {
        if (row >= rows.size()) {
            continue;
        }
        if (!rows[row][StatMarkColumn].empty() || rows[row][StatNameColumn] == ownName) {
            continue;
        }
        return row;
    }
    return std::nullopt;
}

std::string StatProjectFile(const std::string& name)
{
    // Every project file has the template's file name.
    std::string_view templ = TemplateProjectFile;
    std::size_t slash = templ.find_last_of("/\\");
    return name + "/" + std::string(slash == std::string_view::npos ? templ : templ.substr(slash + 1));
}

StatStore StoreFromRows(const std::vector<StatRow>& rows)
{
    StatStore store;
    for (const StatRow& row : rows) {
        StatRecord& r = store.records[row[StatNameColumn]];
        r.present = row[StatMarkColumn].empty();
        r.baseName = row[2];
        r.planReuse = AtoiLike(row[3]);
        r.planDelete = AtoiLike(row[4]);
        r.planNew = AtoiLike(row[5]);
        r.planMinutes = AtoiLike(row[6]);
        r.actReuse = AtoiLike(row[7]);
        r.actDelete = AtoiLike(row[8]);
        r.actNew = AtoiLike(row[9]);
        // Column 10 is the derived total; it follows from the two above.
        r.actMinutes = AtoiLike(row[11]);
        r.bugs = AtoiLike(row[12]);
    }
    return store;
}

} // namespace quilvane
