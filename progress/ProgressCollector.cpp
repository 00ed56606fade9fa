#include "progress/ProgressCollector.h"

#include <cerrno>
#include <optional>
#include <string>

#include "platform/MbString.h"
#include "platform/PathNames.h"

namespace tessaline {

namespace {

bool IsHidden(const std::string& name)
{
    return !name.empty() && name.front() == '.';
}

// A failure to open that says the entry is not a real folder (a link, a file put in its place,
// an entry removed meanwhile) rather than one the generator may not read.
bool IsNotAFolder(int error)
{
    return error == ELOOP || error == ENOTDIR || error == ENOENT;
}

// A subfolder that can be named in the page: listed as a real directory, not hidden, with a name
// that converts to stored text.
std::optional<std::string> StoredFolderName(const FolderEntry& entry)
{
    if (IsHidden(entry.name) || entry.kind != EntryKind::Directory) {
        return std::nullopt;
    }
    return quilvane::DiskToStoredName(entry.name);
}

class Collector {
public:
    Collector(ProgressTables& tables, std::vector<UnreadableEntry>* unreadable)
        : tables_(tables), unreadable_(unreadable)
    {
    }

    bool Collect(const Folder& root)
    {
        const auto entries = root.List();
        if (!entries) {
            return false;
        }
        std::vector<std::pair<const FolderEntry*, std::string>> users;
        std::vector<std::string> names;
        for (const FolderEntry& entry : *entries) {
            if (auto stored = StoredFolderName(entry)) {
                names.push_back(*stored);
                users.emplace_back(&entry, std::move(*stored));
            }
        }
        const UserFolderNames folders(names);
        for (const auto& [entry, storedName] : users) {
            CollectUser(root, *entry, storedName, folders);
        }
        return true;
    }

private:
    std::optional<Folder> OpenAndNote(const Folder& parent, const std::string& diskName,
                                      const std::string& shown)
    {
        int error = 0;
        auto folder = parent.OpenSubfolder(diskName, &error);
        if (!folder && !IsNotAFolder(error)) {
            Note(shown, error);
        }
        return folder;
    }

    void CollectUser(const Folder& root, const FolderEntry& entry, const std::string& storedName,
                     const UserFolderNames& folders)
    {
        const auto user = OpenAndNote(root, entry.name, entry.name);
        if (!user) {
            return;
        }
        const auto projects = user->List();
        if (!projects) {
            Note(entry.name, errno);
            return;
        }
        for (const FolderEntry& projectDir : *projects) {
            auto projectName = StoredFolderName(projectDir);
            if (!projectName) {
                continue;
            }
            const std::string shown = entry.name + "/" + projectDir.name;
            const auto projectFolder = OpenAndNote(*user, projectDir.name, shown);
            if (!projectFolder) {
                continue;
            }
            int error = 0;
            const auto result = ReadResultFile(*projectFolder, &error);
            if (error != 0) {
                Note(shown + "/result.txt", error);
            }
            if (!result) {
                continue;
            }
            const ResultRank rank = RankResult(result->line, storedName, folders);
            if (rank != ResultRank::Refused) {
                tables_.AddResult(result->line.userName, result->line.projectName, result->line.percentage,
                                  result->stamp, ResultSource{storedName, std::move(*projectName)});
            }
        }
    }

    void Note(const std::string& path, int error)
    {
        if (unreadable_ != nullptr) {
            unreadable_->push_back({path, error});
        }
    }

    ProgressTables& tables_;
    std::vector<UnreadableEntry>* unreadable_;
};

} // namespace

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

bool CollectResults(const Folder& registrationFolder, ProgressTables& tables,
                    std::vector<UnreadableEntry>* unreadable)
{
    return Collector(tables, unreadable).Collect(registrationFolder);
}

} // namespace tessaline
