#include "progress/PageWriter.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileIo.h"

namespace tessaline {

namespace {

constexpr const char* PageName = "result.htm";

bool LockWholeFile(int fd)
{
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    for (;;) {
        if (::fcntl(fd, F_OFD_SETLKW, &lock) == 0) {
            return true;
        }
        if (errno != EINTR) {
            return false;
        }
    }
}

bool WriteAllAt(int fd, std::string_view bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Each run writes the whole page from the folder's contents, so a reader catches at worst a
// page half rewritten, and the next run mends it; the lock keeps two runs from mixing theirs.
bool RewriteInPlace(int folderFd, std::string_view page)
{
    const UniqueFd fd(
        ::openat(folderFd, PageName, O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status {};
    if (!fd.Valid() || ::fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        !LockWholeFile(fd.Get())) {
        return false;
    }
    return WriteAllAt(fd.Get(), page) && ::ftruncate(fd.Get(), static_cast<off_t>(page.size())) == 0 &&
           ::fsync(fd.Get()) == 0;
}

} // namespace

mode_t PageMode(mode_t folderMode)
{
    mode_t mode = S_IRUSR | S_IWUSR | S_IRGRP;
    if ((folderMode & S_IWGRP) != 0) {
        mode |= S_IWGRP;
    }
    if ((folderMode & S_IROTH) != 0) {
        mode |= S_IROTH;
    }
    return mode;
}

bool MustRewriteInPlace(mode_t folderMode, uid_t folderOwner, uid_t pageOwner, uid_t runner)
{
    return (folderMode & S_ISVTX) != 0 && runner != 0 && pageOwner != runner && folderOwner != runner;
}

bool WriteProgressPage(const Folder& folder, const std::string& folderPath, std::string_view page)
{
    struct stat folderStatus {};
    if (::fstat(folder.Descriptor(), &folderStatus) != 0) {
        return false;
    }
    struct stat pageStatus {};
    if (::fstatat(folder.Descriptor(), PageName, &pageStatus, AT_SYMLINK_NOFOLLOW) == 0 &&
        MustRewriteInPlace(folderStatus.st_mode, folderStatus.st_uid, pageStatus.st_uid, ::geteuid())) {
        return RewriteInPlace(folder.Descriptor(), page);
    }
    // Any student may plant a link named result.htm in the class folder, pointing at a file of
    // whoever runs the generator next: the link is replaced, never written through.
    quilvane::AtomicFileWriter writer;
    return writer.Begin(JoinPath(folderPath, PageName), quilvane::SymlinkPolicy::ReplaceLink) &&
           writer.SetMode(PageMode(folderStatus.st_mode)) && writer.Append(page) && writer.Commit();
}

} // namespace tessaline
