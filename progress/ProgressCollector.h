#pragma once
// Gathering of every registered project's result into the tables.
#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "progress/ProgressTables.h"
#include "progress/RegistrationListing.h"
#include "progress/ResultFile.h"

namespace tessaline {

// Whether, and why, a result file may fill the cell its fields name, judged by the user folder U
// it lies in. Every student can write into the registration folder, so a file may fill another
// user's cell only where that user has no folder of their own: a student who changed their name,
// or a copy the teacher filed elsewhere. For one user only one of the accepting ranks can hold
// (each rules out the folders the others need), so among the files accepted for a cell the one
// read last wins.
enum class ResultRank {
    OwnFolder = 1,             // U is the user's name exactly
    OnlyCaseVariantFolder = 2, // no folder bears the name exactly; U is the one that does ignoring case
    UserWithoutFolder = 3,     // no folder bears the name, even ignoring case
    Refused = 4,               // another user's folder exists, or a name could not be a folder name
};

// The stored names of the registration folder's user folders.
class UserFolderNames {
public:
    explicit UserFolderNames(const std::vector<std::string>& storedNames);

    bool Contains(std::string_view name) const { return exact_.count(std::string(name)) != 0; }
    std::size_t CountIgnoringCase(std::string_view name) const;

private:
    std::set<std::string> exact_;
    std::map<std::string, std::size_t> folded_;
};

// The rank of `line` found in the user folder `userFolderName` (stored text). Both names of the
// line must be possible folder names, so that no link made from them leaves the folder.
ResultRank RankResult(const ResultLine& line, std::string_view userFolderName,
                      const UserFolderNames& folders);

// Puts the result of every project folder of `listing` into the tables, users and projects
// taken in name order as read. The table names come from the files' contents; the folders only
// decide which files are read and how firmly each belongs to its cell.
void CollectResults(const RegistrationListing& listing, ProgressTables& tables);

} // namespace tessaline
