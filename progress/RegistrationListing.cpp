#include "progress/RegistrationListing.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <thread>

#include "platform/MbString.h"
#include "platform/PathNames.h"

namespace tessaline {

namespace {

constexpr std::string_view ResultFileName = "result.txt";
constexpr unsigned MaxReadThreads = 64;

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
    if (entry.name.empty() || entry.name.front() == '.' || entry.kind != EntryKind::Directory) {
        return std::nullopt;
    }
    return quilvane::DiskToStoredName(entry.name);
}

// The result file among a project folder's entries: the exact name first, then another
// spelling, since copies made on a case-insensitive file system may spell it otherwise. A name
// that is there but is not a regular file counts as absent; it is not replaced by another.
const NamedEntry* FindResultFile(const std::vector<NamedEntry>& entries)
{
    const auto exact = std::find_if(entries.begin(), entries.end(),
                                    [](const NamedEntry& entry) { return entry.disk == ResultFileName; });
    if (exact != entries.end()) {
        return &*exact;
    }
    const auto other = std::find_if(entries.begin(), entries.end(), [](const NamedEntry& entry) {
        return quilvane::MbsICmp(entry.disk, ResultFileName) == 0;
    });
    return other == entries.end() ? nullptr : &*other;
}

class UserReader {
public:
    explicit UserReader(std::vector<UnreadableEntry>& unreadable) : unreadable_(unreadable) {}

    void Read(const Folder& root, UserListing& user)
    {
        const auto folder = Open(root, user.disk, user.disk);
        if (!folder) {
            return;
        }
        const auto entries = folder->List();
        if (!entries) {
            Note(user.disk, errno);
            return;
        }
        for (const FolderEntry& entry : *entries) {
            if (auto stored = StoredFolderName(entry)) {
                ProjectListing project{std::move(*stored), entry.name, {}, std::nullopt};
                if (ReadProject(*folder, user.disk + "/" + entry.name, project)) {
                    user.projects.push_back(std::move(project));
                }
            }
        }
    }

private:
    bool ReadProject(const Folder& user, const std::string& shown, ProjectListing& project)
    {
        const auto folder = Open(user, project.disk, shown);
        if (!folder) {
            return false;
        }
        auto entries = folder->List();
        if (!entries) {
            Note(shown, errno);
            return false;
        }
        project.entries.reserve(entries->size());
        for (FolderEntry& entry : *entries) {
            if (auto stored = quilvane::DiskToStoredName(entry.name)) {
                project.entries.push_back({std::move(*stored), std::move(entry.name), entry.kind});
            }
        }
        const NamedEntry* resultFile = FindResultFile(project.entries);
        if (resultFile == nullptr || resultFile->kind != EntryKind::RegularFile) {
            return true;
        }
        int error = 0;
        project.result = ReadListedResultFile(*folder, resultFile->disk, &error);
        if (error != 0) {
            Note(shown + "/" + resultFile->disk, error);
        }
        return true;
    }

    std::optional<Folder> Open(const Folder& parent, const std::string& diskName, const std::string& shown)
    {
        int error = 0;
        auto folder = parent.OpenSubfolder(diskName, &error);
        if (!folder && !IsNotAFolder(error)) {
            Note(shown, error);
        }
        return folder;
    }

    void Note(const std::string& path, int error) { unreadable_.push_back({path, error}); }

    std::vector<UnreadableEntry>& unreadable_;
};

} // namespace

unsigned ReadThreadsFromEnvironment()
{
    const char* text = std::getenv("TESSALINE_THREADS");
    if (text == nullptr || *text == '\0') {
        return DefaultReadThreads;
    }
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    return *end == '\0' && value >= 1 && value <= MaxReadThreads ? static_cast<unsigned>(value)
                                                                 : DefaultReadThreads;
}

std::optional<RegistrationListing> ReadRegistrationFolder(const Folder& root, unsigned threads)
{
    const auto entries = root.List();
    if (!entries) {
        return std::nullopt;
    }
    RegistrationListing listing;
    for (const FolderEntry& entry : *entries) {
        if (auto stored = StoredFolderName(entry)) {
            listing.users.push_back({std::move(*stored), entry.name, {}});
        }
    }
    // Each user folder is read into its own slot, so the listing is the same for any number of
    // threads; the waits on a file server overlap.
    std::vector<std::vector<UnreadableEntry>> unreadable(listing.users.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i; (i = next.fetch_add(1)) < listing.users.size();) {
            UserReader(unreadable[i]).Read(root, listing.users[i]);
        }
    };
    const std::size_t workers = std::min<std::size_t>(std::max(threads, 1u), listing.users.size());
    std::vector<std::thread> pool;
    try {
        for (std::size_t t = 1; t < workers; ++t) {
            pool.emplace_back(work);
        }
    } catch (const std::system_error&) {
        // No more threads to be had: those started and this one read the rest.
    }
    work();
    for (std::thread& thread : pool) {
        thread.join();
    }
    for (auto& notes : unreadable) {
        listing.unreadable.insert(listing.unreadable.end(), notes.begin(), notes.end());
    }
    return listing;
}

} // namespace tessaline
