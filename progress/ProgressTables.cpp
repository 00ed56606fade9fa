#include "progress/ProgressTables.h"

namespace tessaline {

std::int32_t ProgressTables::NumberOf(NameTable& table, const std::string& name)
{
    auto [it, inserted] = table.try_emplace(name, 0);
    if (inserted) {
        it->second = static_cast<std::int32_t>(table.size());
    }
    return it->second;
}

void ProgressTables::AddResult(const std::string& userName, const std::string& projectName,
                               std::int32_t percentage, std::time_t stamp, ResultSource source)
{
    const std::int32_t user = NumberOf(users_, userName);
    const std::int32_t project = NumberOf(projects_, projectName);
    cells_[{user, project}] = ProgressCell{percentage, stamp, std::move(source)};
}

const ProgressCell* ProgressTables::FindCell(std::int32_t userNumber, std::int32_t projectNumber) const
{
    const auto it = cells_.find({userNumber, projectNumber});
    return it == cells_.end() ? nullptr : &it->second;
}

} // namespace tessaline
