#include "DirectoryScan.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/MbString.h"
#include "platform/PathNames.h"

namespace tessaline {

namespace {

// O_NONBLOCK: should a FIFO take the place of a checked name, opening it still returns at once.
constexpr int FolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

bool IsControl(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

} // namespace

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

std::optional<Folder> Folder::OpenSubfolder(const std::string& diskName) const
{
    UniqueFd fd(::openat(fd_.Get(), diskName.c_str(), FolderFlags));
    if (!fd.Valid()) {
        return std::nullopt;
    }
    return Folder(std::move(fd));
}

std::optional<std::vector<std::string>> Folder::List() const
{
    // The listing runs on a duplicate, which closedir closes; the shared offset is rewound so
    // that a folder can be listed more than once.
    const int copy = ::dup(fd_.Get());
    if (copy < 0) {
        return std::nullopt;
    }
    DIR* dir = ::fdopendir(copy);
    if (dir == nullptr) {
        ::close(copy);
        return std::nullopt;
    }
    ::rewinddir(dir);
    std::vector<std::string> names;
    bool failed = false;
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) {
            failed = errno != 0; // e.g. the directory was removed while open
            break;
        }
        const std::string_view name(entry->d_name);
        if (name != "." && name != "..") {
            names.emplace_back(name);
        }
    }
    ::closedir(dir);
    if (failed) {
        return std::nullopt;
    }
    std::sort(names.begin(), names.end());
    return names;
}

EntryKind Folder::KindOf(const std::string& diskName) const
{
    struct stat status {};
    if (::fstatat(fd_.Get(), diskName.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? EntryKind::Missing : EntryKind::Other;
    }
    return S_ISREG(status.st_mode) ? EntryKind::RegularFile : EntryKind::Other;
}

std::optional<UniqueFd> Folder::OpenRegularFile(const std::string& diskName) const
{
    // Checking first keeps a device node from ever being opened; the check on the opened
    // descriptor then makes sure the file read is the file checked.
    struct stat before {};
    if (::fstatat(fd_.Get(), diskName.c_str(), &before, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(before.st_mode)) {
        return std::nullopt;
    }
    UniqueFd fd(::openat(fd_.Get(), diskName.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat opened {};
    if (!fd.Valid() || ::fstat(fd.Get(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
        opened.st_dev != before.st_dev || opened.st_ino != before.st_ino) {
        return std::nullopt;
    }
    return fd;
}

bool Folder::HoldsRegularFile(const std::string& diskName) const
{
    const UniqueFd fd(::openat(fd_.Get(), diskName.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    return fd.Valid() && ::fstat(fd.Get(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string JoinPath(const std::string& dir, const std::string& name)
{
    if (dir.empty() || dir == ".") {
        return name;
    }
    std::string path = dir;
    if (path.back() != '/') {
        path.push_back('/');
    }
    path += name;
    return path;
}

bool CouldBeFolderName(std::string_view stored)
{
    if (stored.empty() || stored == "." || stored == ".." || !quilvane::StoredToDiskPath(stored)) {
        return false;
    }
    for (std::size_t pos = 0; pos < stored.size();) {
        const std::size_t length = quilvane::Cp932CharLength(stored, pos);
        if (length == 1) {
            const auto c = static_cast<unsigned char>(stored[pos]);
            if (c == '/' || c == '\\' || c == ':' || IsControl(c)) {
                return false;
            }
        }
        pos += length;
    }
    return true;
}

std::vector<NamedEntry> StoredEntries(const std::vector<std::string>& diskNames)
{
    std::vector<NamedEntry> entries;
    entries.reserve(diskNames.size());
    for (const std::string& disk : diskNames) {
        if (auto stored = quilvane::DiskToStoredName(disk)) {
            entries.push_back({std::move(*stored), disk});
        }
    }
    return entries;
}

} // namespace tessaline
