#include "platform/FileIo.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <new>
#include <sys/file.h>
#include <unistd.h>

#include "platform/FolderListing.h"

namespace quilvane {

// ---- system calls ----

int FileCalls::Open(const char* path, int flags, mode_t mode)
{
    return ::open(path, flags, mode);
}

ssize_t FileCalls::Read(int fd, void* buffer, std::size_t size)
{
    return ::read(fd, buffer, size);
}

ssize_t FileCalls::Write(int fd, const void* data, std::size_t size)
{
    return ::write(fd, data, size);
}

int FileCalls::Fstat(int fd, struct stat* info)
{
    return ::fstat(fd, info);
}

int FileCalls::Fsync(int fd)
{
    return ::fsync(fd);
}

int FileCalls::Fchmod(int fd, mode_t mode)
{
    return ::fchmod(fd, mode);
}

int FileCalls::Close(int fd)
{
    return ::close(fd);
}

int FileCalls::Rename(const char* from, const char* to)
{
    return ::rename(from, to);
}

int FileCalls::Unlink(const char* path)
{
    return ::unlink(path);
}

namespace {

FileCalls systemCalls;
FileCalls* currentCalls = &systemCalls;

// Whatever happens to a close of a descriptor that failed already, the first error is the one
// to report.
void CloseQuietly(int fd)
{
    if (fd >= 0) {
        (void)currentCalls->Close(fd);
    }
}

std::string FolderOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path)
{
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows a chain of symlinks to the path of the file that a write should replace; the last
// link may point to a file that does not exist yet. nullopt with errno set on a loop or a
// link that cannot be read.
std::optional<std::string> ResolveLinks(std::string path)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            return path;
        }
        std::string link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
        ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0) {
            return std::nullopt;
        }
        if (static_cast<std::size_t>(n) >= link.size()) {
            // The link changed while being read; look again.
            continue;
        }
        link.resize(static_cast<std::size_t>(n));
        if (link.empty()) {
            errno = ENOENT;
            return std::nullopt;
        }
        path = link[0] == '/' ? link : FolderOf(path) + "/" + link;
    }
    errno = ELOOP;
    return std::nullopt;
}

constexpr std::string_view TempMark = ".tmp";
constexpr std::size_t TempSuffixLength = 6;

bool IsTempNameOf(const std::string& name, const std::string& base)
{
    if (name.size() != base.size() + TempMark.size() + TempSuffixLength ||
        name.compare(0, base.size(), base) != 0 ||
        name.compare(base.size(), TempMark.size(), TempMark) != 0) {
        return false;
    }
    return std::all_of(name.end() - TempSuffixLength, name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

// Removes temporary files of `target` whose writer is gone. A live writer holds a lock on its
// temporary file for as long as it runs; the lock dies with its process, even on kill -9.
void RemoveLeftoverTemps(const std::string& target)
{
    const std::string folder = FolderOf(target);
    const std::string base = BaseNameOf(target);
    auto names = ListFolder(folder);
    if (!names) {
        return;
    }
    for (const std::string& name : *names) {
        if (!IsTempNameOf(name, base)) {
            continue;
        }
        std::string path = folder + "/" + name;
        int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        struct stat info {};
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            (void)currentCalls->Unlink(path.c_str());
        }
        ::close(fd);
    }
}

std::string TempSuffix(unsigned attempt)
{
    static constexpr char Letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    static unsigned long long counter = 0;
    unsigned long long seed =
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (static_cast<unsigned long long>(::getpid()) << 32) ^ (++counter * 0x9E3779B97F4A7C15ULL) ^ attempt;
    std::string suffix;
    for (std::size_t i = 0; i < TempSuffixLength; ++i) {
        seed ^= seed >> 33;
        seed *= 0xFF51AFD7ED558CCDULL;
        seed ^= seed >> 29;
        suffix += Letters[seed % (sizeof Letters - 1)];
    }
    return suffix;
}

} // namespace

FileCalls& CurrentFileCalls()
{
    return *currentCalls;
}

ScopedFileCalls::ScopedFileCalls(FileCalls& calls) : previous_(currentCalls)
{
    currentCalls = &calls;
}

ScopedFileCalls::~ScopedFileCalls()
{
    currentCalls = previous_;
}

std::string ErrorText(int error)
{
    switch (error) {
    case ENOENT:
        return "ファイルまたはフォルダーがありません";
    case EACCES:
    case EPERM:
        return "アクセスが拒否されました";
    case ENOSPC:
        return "ディスクの空きが足りません";
    case EDQUOT:
        return "ディスクの割り当てを超えました";
    case EIO:
        return "入出力エラーです";
    case EISDIR:
        return "フォルダーです";
    case ENOTDIR:
        return "途中がフォルダーではありません";
    case EROFS:
        return "読み取り専用のファイルシステムです";
    case ELOOP:
        return "シンボリックリンクが循環しています";
    case ENAMETOOLONG:
        return "名前が長すぎます";
    case EXDEV:
        return "別のファイルシステムへは移せません";
    case ENOMEM:
        return "メモリーが足りません";
    case EFBIG:
        return "ファイルが大きすぎます";
    default:
        return std::string("エラー ") + std::to_string(error) + " (" + std::strerror(error) + ")";
    }
}

// ---- reading ----

namespace {

// At most `limit` bytes from the start of the file open as `fd`, which stays open; `path` names
// it in messages.
Status ReadOpened(int fd, const std::string& path, std::size_t limit, std::string& bytes,
                  std::uint64_t* fileSize)
{
    FileCalls& calls = *currentCalls;
    struct stat info {};
    if (calls.Fstat(fd, &info) != 0) {
        return Status::Failure(path + " を読めません: " + ErrorText(errno));
    }
    if (!S_ISREG(info.st_mode)) {
        return Status::Failure(path + " は通常のファイルではありません");
    }
    // A regular file reads as usual; no file system may answer "try again" to it.
    int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) {
        (void)::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    }
    std::string read;
    try {
        // Read straight into the result, sized by the status with one byte to spare: the last
        // read then comes back short at the expected end and no further call is needed to see
        // it. The size is a hint only: a file that grew meanwhile is still read whole.
        const auto expected = static_cast<std::size_t>(std::max<off_t>(info.st_size, 0));
        read.resize(std::min(std::min(expected, limit) + 1, limit));
        std::size_t size = 0;
        while (size < limit) {
            if (size == read.size()) {
                read.resize(std::min(std::max<std::size_t>(size * 2, 65536), limit));
            }
            const std::size_t want = read.size() - size;
            ssize_t n = calls.Read(fd, read.data() + size, want);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return Status::Failure(path + " を読めません: " + ErrorText(errno));
            }
            if (n == 0) {
                break;
            }
            size += static_cast<std::size_t>(n);
            if (static_cast<std::size_t>(n) < want && size >= expected) {
                break;
            }
        }
        read.resize(size);
    } catch (const std::bad_alloc&) {
        return Status::Failure(path + " を読めません: " + ErrorText(ENOMEM));
    } catch (const std::length_error&) {
        return Status::Failure(path + " はメモリーに読み込めない大きさです");
    }
    if (fileSize != nullptr) {
        *fileSize = std::max<std::uint64_t>(static_cast<std::uint64_t>(std::max<off_t>(info.st_size, 0)),
                                            read.size());
    }
    bytes = std::move(read);
    return Status::Success();
}

// ReadRegularFile and ReadRegularFileStart: at most `limit` bytes from the start of the file.
Status ReadRegular(const std::string& path, std::size_t limit, std::string& bytes, std::uint64_t* fileSize)
{
    // O_NONBLOCK: opening a FIFO must not wait for a writer; ReadOpened refuses it.
    int fd = currentCalls->Open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0);
    if (fd < 0) {
        return Status::Failure(path + " を開けません: " + ErrorText(errno));
    }
    Status status = ReadOpened(fd, path, limit, bytes, fileSize);
    CloseQuietly(fd);
    return status;
}

} // namespace

Status ReadRegularFile(const std::string& path, std::string& bytes)
{
    return ReadRegular(path, std::numeric_limits<std::size_t>::max(), bytes, nullptr);
}

Status ReadRegularFileStart(const std::string& path, std::size_t limit, std::string& bytes,
                            std::uint64_t& fileSize)
{
    return ReadRegular(path, limit, bytes, &fileSize);
}

Status ReadOpenedFileStart(int fd, const std::string& shown, std::size_t limit, std::string& bytes,
                           std::uint64_t& fileSize)
{
    // A descriptor read before (a second, larger read of the same file) starts again at the top.
    if (::lseek(fd, 0, SEEK_SET) != 0) {
        return Status::Failure(shown + " を読めません: " + ErrorText(errno));
    }
    return ReadOpened(fd, shown, limit, bytes, &fileSize);
}

std::optional<std::string> ReadWholeFile(const std::string& path)
{
    std::string bytes;
    if (!ReadRegularFile(path, bytes)) {
        return std::nullopt;
    }
    return bytes;
}

// ---- writing ----

AtomicFileWriter::~AtomicFileWriter()
{
    Discard();
}

void AtomicFileWriter::Discard()
{
    CloseQuietly(fd_);
    fd_ = -1;
    if (!temp_.empty()) {
        (void)currentCalls->Unlink(temp_.c_str());
        temp_.clear();
    }
    if (lockFd_ >= 0) {
        ::close(lockFd_);
        lockFd_ = -1;
    }
    external_ = false;
}

bool AtomicFileWriter::LockTemp()
{
    lockFd_ = ::open(temp_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (lockFd_ < 0 || ::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
        return false;
    }
    // Once locked the file is safe from other writers; it must still be the one made here.
    struct stat created {};
    struct stat locked {};
    struct stat named {};
    if (::fstat(fd_, &created) != 0 || ::fstat(lockFd_, &locked) != 0 ||
        ::lstat(temp_.c_str(), &named) != 0) {
        return false;
    }
    if (created.st_dev != locked.st_dev || created.st_ino != locked.st_ino ||
        named.st_dev != created.st_dev || named.st_ino != created.st_ino) {
        errno = ENOENT;
        return false;
    }
    return true;
}

bool AtomicFileWriter::CanReplace(mode_t mode) const
{
    // Replacing a link keeps a planted FIFO or device from stopping the write, but a folder
    // cannot be renamed over and is no file anyway.
    return policy_ == SymlinkPolicy::FollowLink ? S_ISREG(mode) : !S_ISDIR(mode);
}

Status AtomicFileWriter::Fail(const std::string& message)
{
    Discard();
    return Status::Failure(message);
}

Status AtomicFileWriter::Begin(const std::string& path, SymlinkPolicy policy)
{
    Discard();
    FileCalls& calls = *currentCalls;
    shown_ = path;
    policy_ = policy;
    if (policy == SymlinkPolicy::FollowLink) {
        auto resolved = ResolveLinks(path);
        if (!resolved) {
            return Status::Failure(path + " の行き先を調べられません: " + ErrorText(errno));
        }
        target_ = *resolved;
    } else {
        target_ = path;
    }
    if (BaseNameOf(target_).empty()) {
        // An empty name or one ending in "/" names no file; its leftovers would be anything
        // in the folder that starts with ".tmp".
        return Status::Failure("\"" + path + "\" はファイル名ではありません");
    }
    struct stat old {};
    bool exists = (policy == SymlinkPolicy::FollowLink ? ::stat(target_.c_str(), &old)
                                                       : ::lstat(target_.c_str(), &old)) == 0;
    if (!exists && errno != ENOENT) {
        return Status::Failure(path + " を調べられません: " + ErrorText(errno));
    }
    if (exists && !CanReplace(old.st_mode)) {
        return Status::Failure(path + " は通常のファイルではないため、書き込みません");
    }
    // What stands at a name that others may write is theirs to choose: nothing is taken over.
    exists = exists && policy == SymlinkPolicy::FollowLink;
    RemoveLeftoverTemps(target_);

    for (unsigned attempt = 0;; ++attempt) {
        std::string name = target_ + std::string(TempMark) + TempSuffix(attempt);
        // 0666 under the umask: a new file gets the permissions any new file of the user gets.
        int fd = calls.Open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno == EEXIST && attempt < 100) {
                continue;
            }
            return Status::Failure(path + " を作成できません: " + ErrorText(errno));
        }
        fd_ = fd;
        temp_ = name;
        if (LockTemp()) {
            break;
        }
        // In the moment between creating and locking, another writer of the same target took
        // the new file for a dead writer's leftover. It removes the file; this writer starts
        // again under another name.
        int error = errno;
        CloseQuietly(fd_);
        fd_ = -1;
        temp_.clear();
        if (lockFd_ >= 0) {
            ::close(lockFd_);
            lockFd_ = -1;
        }
        if (attempt >= 100) {
            return Status::Failure(path + " の一時ファイルを確保できません: " + ErrorText(error));
        }
    }
    if (exists) {
        if (calls.Fchmod(fd_, old.st_mode & 07777) != 0) {
            return Fail(path + " の属性を引き継げません: " + ErrorText(errno));
        }
        if (::geteuid() == 0 && (old.st_uid != 0 || old.st_gid != 0)) {
            // The superuser saving someone's file leaves it theirs; failing that is no reason
            // to lose the save.
            (void)::fchown(fd_, old.st_uid, old.st_gid);
        }
    }
    return Status::Success();
}

Status AtomicFileWriter::Append(std::string_view bytes)
{
    if (fd_ < 0) {
        return Status::Failure(shown_ + " は書き込みの準備ができていません");
    }
    FileCalls& calls = *currentCalls;
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = calls.Write(fd_, data, left);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            // A write that takes nothing and reports no error would loop for ever; it is a
            // full disk in all but name.
            int error = n == 0 ? ENOSPC : errno;
            return Fail(shown_ + " に書き込めません: " + ErrorText(error));
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    return Status::Success();
}

Status AtomicFileWriter::SetMode(mode_t mode)
{
    if (fd_ < 0 || currentCalls->Fchmod(fd_, mode & 07777) != 0) {
        return Fail(shown_ + " の属性を設定できません: " + ErrorText(fd_ < 0 ? EBADF : errno));
    }
    return Status::Success();
}

const std::string& AtomicFileWriter::TempPath()
{
    external_ = true;
    return temp_;
}

Status AtomicFileWriter::Commit()
{
    if (fd_ < 0) {
        return Status::Failure(shown_ + " は書き込みの準備ができていません");
    }
    FileCalls& calls = *currentCalls;
    if (external_) {
        // A library wrote through a descriptor of its own; flush the file by a fresh one, in
        // case it replaced the file rather than overwriting it.
        int fd = calls.Open(temp_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC, 0);
        if (fd < 0) {
            return Fail(shown_ + " に書き込めません: " + ErrorText(errno));
        }
        CloseQuietly(fd_);
        fd_ = fd;
    }
    if (calls.Fsync(fd_) != 0) {
        return Fail(shown_ + " をディスクに書き込めません: " + ErrorText(errno));
    }
    int fd = fd_;
    fd_ = -1;
    if (calls.Close(fd) != 0) {
        return Fail(shown_ + " に書き込めません: " + ErrorText(errno));
    }
    // The target may have been swapped for something else while the file was written.
    struct stat now {};
    if (::lstat(target_.c_str(), &now) == 0 && !CanReplace(now.st_mode)) {
        return Fail(shown_ + " は通常のファイルではないため、書き込みません");
    }
    if (calls.Rename(temp_.c_str(), target_.c_str()) != 0) {
        return Fail(shown_ + " を置き換えられません: " + ErrorText(errno));
    }
    temp_.clear();
    Discard();
    // The rename itself lasts only once the folder reaches the disk.
    int folder = calls.Open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (folder < 0) {
        return Status::Failure(shown_ + " のフォルダーを開けません: " + ErrorText(errno));
    }
    int synced = calls.Fsync(folder);
    int error = errno;
    CloseQuietly(folder);
    // Some file systems cannot sync a folder at all; they say so with EINVAL.
    if (synced != 0 && error != EINVAL) {
        return Status::Failure(shown_ + " のフォルダーをディスクに書き込めません: " + ErrorText(error));
    }
    return Status::Success();
}

Status WriteFileAtomically(const std::string& path, std::string_view bytes, SymlinkPolicy policy)
{
    AtomicFileWriter writer;
    Status status = writer.Begin(path, policy);
    if (status) {
        status = writer.Append(bytes);
    }
    if (status) {
        status = writer.Commit();
    }
    return status;
}

// ---- folders and lines ----

std::optional<std::vector<std::string>> ListFolder(const std::string& folder)
{
    const auto opened = Folder::Open(folder);
    if (!opened) {
        return std::nullopt;
    }
    auto entries = opened->List();
    if (!entries) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    names.reserve(entries->size());
    for (FolderEntry& entry : *entries) {
        names.push_back(std::move(entry.name));
    }
    return names;
}

std::vector<std::string> SplitLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        char c = text[pos];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(text.substr(start, pos - start));
            if (c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') {
                ++pos;
            }
            start = pos + 1;
        }
        ++pos;
    }
    if (start < text.size()) {
        lines.emplace_back(text.substr(start));
    }
    return lines;
}

std::string JoinLinesCrLf(const std::vector<std::string>& lines)
{
    std::string out;
    for (const auto& line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

} // namespace quilvane
