#include "registration/ClassFolder.h"

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

namespace quilvane {
namespace {

// Begins with '.', so the progress page never reads it as a project.
constexpr const char* LockName = ".registration-lock";

constexpr mode_t Readable = S_IRGRP | S_IROTH;
constexpr mode_t Searchable = S_IXGRP | S_IXOTH;

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool WaitForLock(int fd)
{
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    while (fcntl(fd, F_OFD_SETLKW, &lock) != 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

} // namespace

std::string UserNameOf(uid_t uid)
{
    struct passwd entry {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(uid, &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr) {
        return found->pw_name;
    }
    return std::to_string(uid);
}

ClassModes ClassModesOf(mode_t registrationFolderMode)
{
    const mode_t share = registrationFolderMode & (Readable | Searchable);
    const mode_t groupBit = registrationFolderMode & S_ISGID;
    ClassModes modes;
    // A folder is of use to the class only when it can be both listed and entered.
    const mode_t folderShare =
        ((share & S_IRGRP) != 0 ? S_IRGRP | S_IXGRP : 0) | ((share & S_IROTH) != 0 ? S_IROTH | S_IXOTH : 0);
    modes.folder = S_IRWXU | folderShare | groupBit;
    modes.file = S_IRUSR | S_IWUSR | (share & Readable);
    modes.executable = modes.file | S_IXUSR | (folderShare & Searchable);
    return modes;
}

void ApplyClassModes(int fd, const ClassModes& modes)
{
    // Failures leave a file harder for the class to read; the copy is complete all the same.
    (void)fchmod(fd, modes.folder);
    const auto entries = ListOpenFolder(fd);
    if (!entries) {
        return;
    }
    for (const FolderEntry& entry : *entries) {
        if (entry.kind == EntryKind::Directory) {
            const UniqueFd sub(
                openat(fd, entry.name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            if (sub.Valid()) {
                ApplyClassModes(sub.Get(), modes);
            }
        } else if (entry.kind == EntryKind::RegularFile) {
            struct stat status {};
            if (fstatat(fd, entry.name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
                S_ISREG(status.st_mode)) {
                (void)fchmodat(fd, entry.name.c_str(),
                               (status.st_mode & S_IXUSR) != 0 ? modes.executable : modes.file, 0);
            }
        }
    }
}

UserFolder::~UserFolder()
{
    if (lock_.Valid()) {
        // Removed while still held: a registration waiting for this lock then finds that the
        // name no longer leads to the file it locked, and takes the lock anew.
        (void)unlinkat(fd_.Get(), LockName, 0);
    }
}

std::string UserFolder::Path() const
{
    return "/proc/self/fd/" + std::to_string(fd_.Get());
}

UserFolder UserFolder::Open(int registration, const struct stat& registrationStatus,
                            const std::string& diskName)
{
    UserFolder folder;
    const ClassModes modes = ClassModesOf(registrationStatus.st_mode);
    const bool made = mkdirat(registration, diskName.c_str(), S_IRWXU) == 0;
    struct stat named {};
    if (fstatat(registration, diskName.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0) {
        return folder;
    }
    if (S_ISLNK(named.st_mode)) {
        folder.state_ = UserFolderState::IsLink;
        return folder;
    }
    const uid_t runner = geteuid();
    if (S_ISDIR(named.st_mode) && named.st_uid != runner && runner != 0) {
        folder.state_ = UserFolderState::OtherOwner;
        folder.ownerName_ = UserNameOf(named.st_uid);
        return folder;
    }
    folder.fd_ =
        UniqueFd(openat(registration, diskName.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat opened {};
    if (!folder.fd_.Valid() || fstat(folder.fd_.Get(), &opened) != 0 || !SameFile(opened, named)) {
        folder.fd_ = UniqueFd();
        return folder;
    }
    if (made || opened.st_uid == runner) {
        if ((registrationStatus.st_mode & S_ISGID) != 0 && opened.st_gid != registrationStatus.st_gid) {
            (void)fchown(folder.fd_.Get(), static_cast<uid_t>(-1), registrationStatus.st_gid);
        }
        (void)fchmod(folder.fd_.Get(), modes.folder);
    }
    folder.state_ = UserFolderState::Ready;
    folder.Lock();
    return folder;
}

void UserFolder::Lock()
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        UniqueFd lock(
            openat(fd_.Get(), LockName, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR));
        if (!lock.Valid() || !WaitForLock(lock.Get())) {
            return; // a file system without locks: registrations there do not take turns
        }
        struct stat held {};
        struct stat named {};
        if (fstat(lock.Get(), &held) == 0 && fstatat(fd_.Get(), LockName, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            SameFile(held, named)) {
            lock_ = std::move(lock);
            return;
        }
        // The previous holder removed the file before letting go; the next one locks a new file.
    }
}

} // namespace quilvane
