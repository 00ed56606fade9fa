#include "progress/ProgressCollector.h"

#include <string>

#include "platform/MbString.h"
#include "platform/PathNames.h"

namespace tessaline {

namespace {

bool IsHidden(const std::string& name)
{
    return !name.empty() && name.front() == '.';
}

struct UserFolder {
    std::string storedName;
    Folder folder;
};

// The user folder with its name as stored text; nothing for a folder that is hidden, whose name
// cannot be stored, or that is not a real directory.
std::optional<UserFolder> OpenUserFolder(const Folder& registrationFolder, const FolderEntry& entry)
{
    const std::string& diskName = entry.name;
    if (IsHidden(diskName) || entry.kind != EntryKind::Directory) {
        return std::nullopt;
    }
    auto storedName = quilvane::DiskToStoredName(diskName);
    if (!storedName) {
        return std::nullopt;
    }
    auto folder = registrationFolder.OpenSubfolder(diskName);
    if (!folder) {
        return std::nullopt;
    }
    return UserFolder{std::move(*storedName), std::move(*folder)};
}

} // namespace

bool IsAcceptedResult(const ResultLine& line, std::string_view userFolderName)
{
    return CouldBeFolderName(line.userName) && CouldBeFolderName(line.projectName) &&
           quilvane::MbsICmp(line.userName, userFolderName) == 0;
}

bool CollectResults(const Folder& registrationFolder, ProgressTables& tables)
{
    const auto users = registrationFolder.List();
    if (!users) {
        return false;
    }
    for (const FolderEntry& userDir : *users) {
        const auto user = OpenUserFolder(registrationFolder, userDir);
        if (!user) {
            continue;
        }
        const auto projects = user->folder.List();
        if (!projects) {
            continue;
        }
        for (const FolderEntry& projectDir : *projects) {
            if (IsHidden(projectDir.name) || projectDir.kind != EntryKind::Directory ||
                !quilvane::DiskToStoredName(projectDir.name)) {
                continue;
            }
            const auto projectFolder = user->folder.OpenSubfolder(projectDir.name);
            if (!projectFolder) {
                continue;
            }
            const auto result = ReadResultFile(*projectFolder);
            if (result && IsAcceptedResult(result->line, user->storedName)) {
                tables.AddResult(result->line.userName, result->line.projectName, result->line.percentage,
                                 result->stamp);
            }
        }
    }
    return true;
}

} // namespace tessaline
