#include "platform/FolderListing.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace quilvane {

namespace {

// O_NONBLOCK: should a FIFO take the place of a checked name, opening it still returns at once.
constexpr int FolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

EntryKind KindOf(int folder, const char* diskName, int statFlags = AT_SYMLINK_NOFOLLOW)
{
    struct stat status {};
    if (::fstatat(folder, diskName, &status, statFlags) != 0) {
        return errno == ENOENT ? EntryKind::Missing : EntryKind::Other;
    }
    return S_ISREG(status.st_mode)   ? EntryKind::RegularFile
           : S_ISDIR(status.st_mode) ? EntryKind::Directory
                                     : EntryKind::Other;
}

} // namespace

std::optional<std::vector<FolderEntry>> ListOpenFolder(int fd)
{
    // Read straight from the descriptor: the type each entry comes with saves a status call per
    // name, which counts over thousands of registered projects or source files.
    std::vector<FolderEntry> entries;
    alignas(dirent64) char buffer[32768];
    for (;;) {
        const ssize_t got = ::getdents64(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt; // e.g. the directory was removed while open
        }
        if (got == 0) {
            break;
        }
        for (ssize_t offset = 0; offset < got;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer + offset);
            offset += entry->d_reclen;
            const std::string_view name(entry->d_name);
            if (name == "." || name == "..") {
                continue;
            }
            EntryKind kind = entry->d_type == DT_REG   ? EntryKind::RegularFile
                             : entry->d_type == DT_DIR ? EntryKind::Directory
                                                       : EntryKind::Other;
            if (entry->d_type == DT_UNKNOWN) {
                kind = KindOf(fd, entry->d_name); // a file system that does not tell
            }
            entries.push_back({std::string(name), kind});
        }
    }
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return entries;
}

EntryKind TargetKind(int fd, const FolderEntry& entry)
{
    if (entry.kind != EntryKind::Other) {
        return entry.kind;
    }
    return KindOf(fd, entry.name.c_str(), 0);
}

UniqueFd::~UniqueFd()
{
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

std::optional<Folder> Folder::Open(const std::string& path)
{
    UniqueFd fd(::open(path.empty() ? "." : path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.Valid()) {
        return std::nullopt;
    }
    return Folder(std::move(fd));
}

std::optional<Folder> Folder::OpenSubfolder(const std::string& diskName, int* error) const
{
    UniqueFd fd(::openat(fd_.Get(), diskName.c_str(), FolderFlags));
    if (!fd.Valid()) {
        if (error != nullptr) {
            *error = errno;
        }
        return std::nullopt;
    }
    return Folder(std::move(fd));
}

std::optional<std::vector<FolderEntry>> Folder::List() const
{
    // A second listing starts again from the first entry.
    if (listed_ && ::lseek(fd_.Get(), 0, SEEK_SET) != 0) {
        return std::nullopt;
    }
    listed_ = true;
    return ListOpenFolder(fd_.Get());
}

OpenedFile Folder::OpenRegularFile(const std::string& diskName) const
{
    // Checking first keeps a device node from ever being opened; the check on the opened
    // descriptor then makes sure the file read is the file checked.
    struct stat before {};
    if (::fstatat(fd_.Get(), diskName.c_str(), &before, AT_SYMLINK_NOFOLLOW) != 0) {
        const int error = errno;
        return {error == ENOENT ? EntryKind::Missing : EntryKind::Other, UniqueFd(), 0,
                error == ENOENT ? 0 : error};
    }
    if (!S_ISREG(before.st_mode)) {
        return {EntryKind::Other, UniqueFd(), 0};
    }
    UniqueFd fd(
        ::openat(fd_.Get(), diskName.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.Valid()) {
        return {EntryKind::Other, UniqueFd(), 0, errno};
    }
    struct stat opened {};
    if (::fstat(fd.Get(), &opened) != 0 || !S_ISREG(opened.st_mode) || opened.st_dev != before.st_dev ||
        opened.st_ino != before.st_ino) {
        return {EntryKind::Other, UniqueFd(), 0};
    }
    return {EntryKind::RegularFile, std::move(fd), opened.st_mtime};
}

OpenedFile Folder::OpenListedFile(const std::string& diskName) const
{
    UniqueFd fd(
        ::openat(fd_.Get(), diskName.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.Valid()) {
        const int error = errno;
        return {error == ENOENT ? EntryKind::Missing : EntryKind::Other, UniqueFd(), 0,
                error == ENOENT ? 0 : error};
    }
    struct stat opened {};
    if (::fstat(fd.Get(), &opened) != 0 || !S_ISREG(opened.st_mode)) {
        return {EntryKind::Other, UniqueFd(), 0};
    }
    return {EntryKind::RegularFile, std::move(fd), opened.st_mtime};
}

} // namespace quilvane
