#pragma once
// Whole-file reads, atomic writes and the text-mode line rules shared by every text file.
//
// Reads take regular files only: a folder, a FIFO or a device named where a file is expected is
// refused at once instead of blocking or failing halfway. Writes go to a temporary file beside
// the target that replaces it only when every byte reached the disk, so a full disk, a crash or a
// kill leaves the previous file as it was.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

#include "platform/Status.h"

namespace quilvane {

// The system calls the reader and the writer use. Tests put in one that fails on purpose (a full
// disk, a short write, a failing fsync or rename) to show that no failure loses the old file.
class FileCalls {
public:
    virtual ~FileCalls() = default;
    virtual int Open(const char* path, int flags, mode_t mode);
    virtual ssize_t Read(int fd, void* buffer, std::size_t size);
    virtual ssize_t Write(int fd, const void* data, std::size_t size);
    virtual int Fstat(int fd, struct stat* info);
    virtual int Fsync(int fd);
    virtual int Fchmod(int fd, mode_t mode);
    virtual int Close(int fd);
    virtual int Rename(const char* from, const char* to);
    virtual int Unlink(const char* path);
};

// The calls in use: the system's own unless a ScopedFileCalls put others in place.
FileCalls& CurrentFileCalls();

// Puts `calls` in use for its lifetime (for tests; not for use while other threads write files).
class ScopedFileCalls {
public:
    explicit ScopedFileCalls(FileCalls& calls);
    ~ScopedFileCalls();
    ScopedFileCalls(const ScopedFileCalls&) = delete;
    ScopedFileCalls& operator=(const ScopedFileCalls&) = delete;

private:
    FileCalls* previous_;
};

// A short Japanese text for an errno value, for messages.
std::string ErrorText(int error);

// Reads the regular file at `path` whole into `bytes`. Anything that is not a regular file is
// refused without blocking, and every failure (including too little memory) is a message.
Status ReadRegularFile(const std::string& path, std::string& bytes);

// The first `limit` bytes of the regular file at `path` (all of it when it is shorter), and the
// file's size, for readers that need only a record at its start: a file padded far beyond the
// record costs nothing to read. The same refusals as ReadRegularFile.
Status ReadRegularFileStart(const std::string& path, std::size_t limit, std::string& bytes,
                            std::uint64_t& fileSize);

// ReadRegularFileStart over a file already open as `fd` (for readers that open inside a folder
// descriptor); it is read from its start and stays open. `shown` names it in messages.
Status ReadOpenedFileStart(int fd, const std::string& shown, std::size_t limit, std::string& bytes,
                           std::uint64_t& fileSize);

// ReadRegularFile without the message.
[[nodiscard]] std::optional<std::string> ReadWholeFile(const std::string& path);

// What a write does with a symbolic link standing at the target's name.
enum class SymlinkPolicy {
    // The link is followed and the file it names is replaced; the link stays. A document the
    // user keeps behind a link is saved where it lives.
    FollowLink,
    // The link itself is replaced by the new file and whatever it names is never touched. For
    // folders that others can write to, where a planted link could point at anyone's file.
    ReplaceLink,
};

// Writes one file atomically: Begin, then Append (or let a library write TempPath()), then Commit.
// Until Commit succeeds the target is untouched; a writer that ends without Commit removes its
// temporary file. Temporary files of this target left by a writer that died are removed by Begin.
// FollowLink: a symlinked target is followed and the file it points to is replaced; a target
// that exists and is not a regular file is refused; an existing file keeps its mode and owner.
// ReplaceLink: only a folder at the target is refused; anything else there (a link, a FIFO, a
// file) is replaced by a new file that takes nothing over from it: someone else may have put it
// there.
class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    Status Begin(const std::string& path, SymlinkPolicy policy = SymlinkPolicy::FollowLink);
    Status Append(std::string_view bytes);
    // Gives the new file exactly `mode` (permission bits), whatever the umask or the old file's.
    Status SetMode(mode_t mode);
    // The temporary file, for a library that writes to a path itself. It must overwrite this
    // file in place; Commit then flushes what it wrote.
    const std::string& TempPath();
    Status Commit();
    // Drops the temporary file and leaves the target as it was.
    void Discard();

private:
    Status Fail(const std::string& message);
    bool CanReplace(mode_t mode) const;
    bool LockTemp();

    std::string target_; // the file to replace, symlinks resolved when followed
    std::string shown_;  // the path as the caller named it, for messages
    std::string temp_;
    SymlinkPolicy policy_ = SymlinkPolicy::FollowLink;
    int fd_ = -1;
    // A second descriptor of the temporary file that holds its lock until the end, so a writer
    // of the same target cannot take the file for a dead writer's leftover.
    int lockFd_ = -1;
    bool external_ = false;
};

// Writes to a temporary file in the same folder, flushes it to disk and renames it over `path`,
// so a failed or interrupted write leaves the previous file intact.
Status WriteFileAtomically(const std::string& path, std::string_view bytes,
                           SymlinkPolicy policy = SymlinkPolicy::FollowLink);

// The names in `folder` (without "." and "..") in byte order, so that results never depend on
// the file system's own order; nullopt when the folder cannot be read.
[[nodiscard]] std::optional<std::vector<std::string>> ListFolder(const std::string& folder);

// Splits text into lines: CR LF, a lone LF and a lone CR each end a line. A last line without
// a line end still counts; an empty text has no lines.
std::vector<std::string> SplitLines(std::string_view text);

// Joins lines, each followed by CR LF, as text-mode writing on the original platform does.
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

} // namespace quilvane
