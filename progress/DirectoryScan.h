#pragma once
// Reading the registration folder without ever leaving it. Every student may write into the
// folder, so a name below it is looked up inside the directory already opened (never through a
// path string again), symbolic links are not followed, and only real directories and regular
// files are taken: a link to elsewhere, a FIFO or a device node is passed over without blocking.
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessaline {

// An owned file descriptor, closed on destruction.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd();
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// What a name inside a folder turned out to be, the name itself (a link is a link).
enum class EntryKind { Missing, RegularFile, Directory, Other };

// One name of a listing and what it is.
struct FolderEntry {
    std::string name;
    EntryKind kind = EntryKind::Other;
};

// A file opened for reading; `fd` and `modified` are set exactly when `kind` is RegularFile.
struct OpenedFile {
    EntryKind kind = EntryKind::Missing;
    UniqueFd fd;
    std::time_t modified = 0;
};

// A directory held open by its descriptor.
class Folder {
public:
    // Opens the folder named by `path` itself (it may be reached through a link: the caller chose
    // it). Nothing when it is not a directory that can be opened.
    static std::optional<Folder> Open(const std::string& path);

    // The subfolder `diskName` (a single on-disk name); nothing when it is missing, is not a
    // directory or is a symbolic link.
    std::optional<Folder> OpenSubfolder(const std::string& diskName) const;

    // The entries of the folder without "." and "..", sorted by name in plain byte order so that
    // the page never depends on the order a file system happens to return. Nothing when a read
    // fails.
    std::optional<std::vector<FolderEntry>> List() const;

    // Opens `diskName` for reading when it is a regular file in the folder: a link is refused by
    // O_NOFOLLOW and the type is checked with fstat on the descriptor that was opened. A FIFO or a
    // device is never opened for reading, and could not block the run if it were swapped in.
    OpenedFile OpenRegularFile(const std::string& diskName) const;

private:
    explicit Folder(UniqueFd fd) : fd_(std::move(fd)) {}

    EntryKind KindOf(const char* diskName) const;

    UniqueFd fd_;
    mutable bool listed_ = false; // a second listing starts again from the first entry
};

// `dir` + "/" + `name`; an empty dir or "." gives `name` alone.
std::string JoinPath(const std::string& dir, const std::string& name);

// Whether a stored (code-page-932) name could be the name of one folder: not empty, not "." or
// "..", valid code page 932, and no '/', '\', ':' or control character among its characters
// (a trail byte 0x5C is part of a double-byte character, not a backslash). Such a name cannot
// carry a scheme, a drive, a UNC prefix or a parent step into a link.
bool CouldBeFolderName(std::string_view stored);

// One entry of a listing with its name both as stored text and as it lies on disk.
struct NamedEntry {
    std::string stored;
    std::string disk;
    EntryKind kind = EntryKind::Other;
};

// The entries whose on-disk names convert to stored text; the others cannot be named in the page
// and are passed over. The order of `entries` is kept.
std::vector<NamedEntry> StoredEntries(const std::vector<FolderEntry>& entries);

} // namespace tessaline
