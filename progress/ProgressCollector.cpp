#include "progress/ProgressCollector.h"

#include <string>

#include "platform/MbString.h"
#include "platform/PathNames.h"

namespace tessaline {

UserFolderNames::UserFolderNames(const std::vector<std::string>& storedNames)
{
    for (const std::string& name : storedNames) {
        exact_.insert(name);
        ++folded_[quilvane::MbsFoldedKey(name)];
    }
}

std::size_t UserFolderNames::CountIgnoringCase(std::string_view name) const
{
    const auto it = folded_.find(quilvane::MbsFoldedKey(name));
    return it == folded_.end() ? 0 : it->second;
}

ResultRank RankResult(const ResultLine& line, std::string_view userFolderName, const UserFolderNames& folders)
{
    if (!CouldBeFolderName(line.userName) || !CouldBeFolderName(line.projectName)) {
        return ResultRank::Refused;
    }
    if (line.userName == userFolderName) {
        return ResultRank::OwnFolder;
    }
    if (folders.Contains(line.userName)) {
        return ResultRank::Refused;
    }
    const std::size_t variants = folders.CountIgnoringCase(line.userName);
    if (variants == 0) {
        return ResultRank::UserWithoutFolder;
    }
    if (variants == 1 && quilvane::MbsICmp(line.userName, userFolderName) == 0) {
        return ResultRank::OnlyCaseVariantFolder;
    }
    return ResultRank::Refused;
}

void CollectResults(const RegistrationListing& listing, ProgressTables& tables)
{
    std::vector<std::string> names;
    names.reserve(listing.users.size());
    for (const UserListing& user : listing.users) {
        names.push_back(user.stored);
    }
    const UserFolderNames folders(names);
    for (const UserListing& user : listing.users) {
        for (const ProjectListing& project : user.projects) {
            if (!project.result) {
                continue;
            }
            const ResultLine& line = project.result->line;
            if (RankResult(line, user.stored, folders) != ResultRank::Refused) {
                tables.AddResult(line.userName, line.projectName, line.percentage, project.result->stamp,
                                 ResultSource{user.stored, project.stored});
            }
        }
    }
}

} // namespace tessaline
