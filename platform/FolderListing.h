#pragma once
// Reading a folder without ever leaving it. A folder is held open by its descriptor and a name
// in it is looked up inside that descriptor (never through a path string again); symbolic links
// are not followed, and only real directories and regular files are taken: a link to elsewhere,
// a FIFO or a device node is passed over without blocking. Folders that others can write to are
// read this way.
#include <ctime>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace quilvane {

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

// The entries of the folder open as `fd`, read from where its descriptor stands (the start, for
// one just opened), without "." and "..", sorted by name in plain byte order. The type comes with
// each entry, so a status call is made only where the file system does not tell; a link is
// Other. Nothing when a read fails.
std::optional<std::vector<FolderEntry>> ListOpenFolder(int fd);

// What `entry` of the folder open as `fd` is when a link is taken as what it points to, as stat
// sees it (Missing when nothing is there); an entry the listing already typed costs nothing.
// For readers that follow links on purpose, such as a scan of the user's own project folders.
EntryKind TargetKind(int fd, const FolderEntry& entry);

// A file opened for reading; `fd` and `modified` are set exactly when `kind` is RegularFile.
// `error` is the errno of a regular file (or a name whose type could not be told) that could not
// be opened, for example EACCES; 0 otherwise.
struct OpenedFile {
    EntryKind kind = EntryKind::Missing;
    UniqueFd fd;
    std::time_t modified = 0;
    int error = 0;
};

// A directory held open by its descriptor.
class Folder {
public:
    // Opens the folder named by `path` itself (it may be reached through a link: the caller chose
    // it). Nothing when it is not a directory that can be opened.
    static std::optional<Folder> Open(const std::string& path);

    // The subfolder `diskName` (a single on-disk name); nothing when it is missing, is not a
    // directory or is a symbolic link. `error`, when given, receives the errno of the failure.
    std::optional<Folder> OpenSubfolder(const std::string& diskName, int* error = nullptr) const;

    // The descriptor, for calls made relative to the folder; it stays owned by the folder.
    int Descriptor() const { return fd_.Get(); }

    // The entries of the folder without "." and "..", sorted by name in plain byte order so that
    // the page never depends on the order a file system happens to return. Nothing when a read
    // fails.
    std::optional<std::vector<FolderEntry>> List() const;

    // What an entry of List() is, a link taken as what it points to (see TargetKind).
    EntryKind TargetKind(const FolderEntry& entry) const { return quilvane::TargetKind(fd_.Get(), entry); }

    // Opens `diskName` for reading when it is a regular file in the folder: a link is refused by
    // O_NOFOLLOW and the type is checked with fstat on the descriptor that was opened. A FIFO or a
    // device is never opened for reading, and could not block the run if it were swapped in.
    OpenedFile OpenRegularFile(const std::string& diskName) const;

    // Opens `diskName`, which a listing of this folder gave as a regular file, with one call less:
    // the listing's type stands for the check before opening, so a FIFO or device listed as such
    // is never opened. Should another file have taken the name since, the opening neither
    // follows a link nor blocks, and the check on the opened descriptor refuses it.
    OpenedFile OpenListedFile(const std::string& diskName) const;

private:
    explicit Folder(UniqueFd fd) : fd_(std::move(fd)) {}

    UniqueFd fd_;
    mutable bool listed_ = false; // a second listing starts again from the first entry
};

} // namespace quilvane
