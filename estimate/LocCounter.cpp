#include "estimate/LocCounter.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <limits>
#include <new>
#include <optional>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

#include "estimate/LineMatcher.h"
#include "estimate/LocScanners.h"
#include "platform/ProgramFolder.h"

namespace quilvane {
namespace {

std::string JoinPath(const std::string& dir, std::string_view rel)
{
    std::string path = dir;
    if (!rel.empty()) {
        if (!path.empty() && path.back() != '/') {
            path += '/';
        }
        path.append(rel);
    }
    return path;
}

// An open source file with the status the unchanged-pair rule needs.
class SourceFile {
public:
    static std::optional<SourceFile> Open(const std::string& projectPath, const std::string& file)
    {
        if (projectPath.empty() || file.empty()) {
            return std::nullopt;
        }
        SourceFile f;
        // O_NONBLOCK: a FIFO put in the file's place after the walk is refused below instead
        // of waiting for a writer; reading a regular file is not affected by it.
        f.fd_ = open(JoinPath(projectPath, file).c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        struct stat st {};
        if (f.fd_ < 0 || fstat(f.fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
            return std::nullopt;
        }
        f.size_ = st.st_size;
        f.mtime_ = st.st_mtime;
        return f;
    }

    SourceFile(SourceFile&& other) noexcept
        : fd_(std::exchange(other.fd_, -1)), size_(other.size_), mtime_(other.mtime_)
    {
    }
    SourceFile& operator=(SourceFile&&) = delete;
    ~SourceFile()
    {
        if (fd_ >= 0) {
            close(fd_);
        }
    }

    // Same size and same modification time (whole seconds, as the original file status has it).
    bool SameStatus(const SourceFile& other) const { return size_ == other.size_ && mtime_ == other.mtime_; }
    // Too large to get a line table, known before anything is read.
    bool TooLargeForLines() const { return static_cast<std::uintmax_t>(size_) > LineTable::MaxBytes; }

    // Whether the content equals `bytes`, read through a small buffer so that an unchanged pair
    // costs no second copy of the file. A read error counts as different: the pair is then
    // compared line by line and the failed file is absent, as anywhere else.
    bool Holds(std::string_view bytes) const
    {
        std::array<char, 64 << 10> chunk;
        std::size_t offset = 0;
        for (;;) {
            // One byte beyond the expected end, so that a file of the same length ends with a
            // short read instead of a further call.
            std::size_t want = std::min(chunk.size(), bytes.size() - offset + 1);
            ssize_t n = pread(fd_, chunk.data(), want, static_cast<off_t>(offset));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                return false;
            }
            if (n == 0) {
                return offset == bytes.size();
            }
            auto count = static_cast<std::size_t>(n);
            if (count > bytes.size() - offset ||
                std::memcmp(chunk.data(), bytes.data() + offset, count) != 0) {
                return false;
            }
            offset += count;
            if (count < want && offset == bytes.size()) {
                return true;
            }
        }
    }

    // The whole content as stored, or nothing when reading fails. Read straight into one
    // buffer sized by the file status; text mode is applied by the images while they scan.
    std::optional<ByteBuffer> Read() const
    {
        // One byte of room beyond the expected size lets the last read find the end without
        // growing the buffer; a file that grew since its status was taken is still read whole.
        const auto expected = static_cast<std::size_t>(std::max<off_t>(size_, 0));
        ByteBuffer bytes(expected + 1);
        std::size_t size = 0;
        for (;;) {
            if (size == bytes.Capacity()) {
                bytes.SetSize(size);
                bytes.Grow(size * 2);
            }
            std::size_t want = bytes.Capacity() - size;
            ssize_t n = pread(fd_, bytes.Data() + size, want, static_cast<off_t>(size));
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                return std::nullopt;
            }
            if (n == 0) {
                break;
            }
            size += static_cast<std::size_t>(n);
            // A short read that reaches the size from the status is the end: no further call
            // is needed to see it.
            if (static_cast<std::size_t>(n) < want && size >= expected) {
                break;
            }
        }
        bytes.SetSize(size);
        return bytes;
    }

private:
    SourceFile() = default;

    int fd_ = -1;
    off_t size_ = 0;
    time_t mtime_ = 0;
};

template <class Image, class Counter>
FileLocCounts ComparePair(std::optional<ByteBuffer> baseBytes, std::optional<ByteBuffer> currentBytes,
                          Counter count)
{
    FileLocCounts result;
    MatchFlags baseFlags;
    MatchFlags currentFlags;
    std::optional<Image> base;
    std::optional<Image> current;
    if (baseBytes) {
        base.emplace(std::move(*baseBytes), Newlines::Raw);
    }
    if (currentBytes) {
        current.emplace(std::move(*currentBytes), Newlines::Raw);
    }
    if (base && current) {
        MatchLines(base->LineKeys(), current->LineKeys(), baseFlags, currentFlags);
    }
    if (base) {
        UnitCounts units = count(*base, baseFlags);
        result.reused = units.matched;
        result.deleted = units.unmatched;
    }
    if (current) {
        result.added = count(*current, currentFlags).unmatched;
    }
    return result;
}

// Every unit of one file, none matched.
std::int64_t CountAllUnits(ByteBuffer bytes, bool isVb)
{
    UnitCounts units =
        isVb ? CountVbLines(std::move(bytes), Newlines::Raw) : CountCsStatements(bytes, Newlines::Raw);
    return units.matched + units.unmatched;
}

constexpr const char* OutOfMemoryMessage = "メモリが足りないため、LOC を数えられません";

// Names the file of the pair that could not be counted: the current one when there is one.
std::string TooLargeMessage(const std::string& basePath, const std::string& currentPath,
                            const SourceFileEntry& entry)
{
    std::string file = entry.currentFile.empty() ? JoinPath(basePath, entry.baseFile)
                                                 : JoinPath(currentPath, entry.currentFile);
    return file + ": ファイルが大きすぎて、メモリが足りないため LOC を数えられません";
}

void AddPair(FileLocCounts& sum, const FileLocCounts& pair)
{
    sum.reused += pair.reused;
    sum.deleted += pair.deleted;
    sum.added += pair.added;
    sum.unreadable.insert(sum.unreadable.end(), pair.unreadable.begin(), pair.unreadable.end());
}

std::int32_t Saturate(std::int64_t value)
{
    return static_cast<std::int32_t>(std::min<std::int64_t>(value, std::numeric_limits<std::int32_t>::max()));
}

// Below this many pairs per worker, starting threads costs more than it saves.
constexpr std::size_t MinPairsPerWorker = 32;

std::size_t AutomaticWorkers(std::size_t pairs)
{
    const std::size_t cores = std::thread::hardware_concurrency();
    return std::max<std::size_t>(1, std::min(cores, pairs / MinPairsPerWorker));
}

// Runs `task` on a thread of its own when one can be started, else on the calling thread.
// The task must not throw.
class Helper {
public:
    explicit Helper(bool wanted, const std::function<void()>& task)
    {
        if (wanted) {
            try {
                thread_ = std::jthread(task);
                return;
            } catch (const std::system_error&) {
            } catch (const std::bad_alloc&) {
            }
        }
        task();
    }

private:
    std::jthread thread_;
};

struct Walks {
    std::vector<FoundSource> base;
    std::vector<FoundSource> current;
    bool baseMissing = false;
    bool currentMissing = false;
    bool outOfMemory = false;
    std::vector<std::string> unreadable; // folders below either root that could not be read
};

// Walks both folders, at the same time when `parallel`: the walk is mostly waiting for the
// system, and the two folders are independent until their files are paired.
Walks WalkBoth(const std::string& base, const std::string& current, bool recurse,
               std::string_view renameSource, bool parallel)
{
    Walks walks;
    std::atomic<bool> outOfMemory{false};
    std::vector<std::string> unreadableBase;
    std::vector<std::string> unreadableCurrent;
    auto walk = [&](const std::string& root, std::string_view rename, std::vector<FoundSource>& found,
                    bool& missing, std::vector<std::string>& unreadable) {
        if (root.empty()) {
            return;
        }
        try {
            missing = !WalkSources(root, recurse, rename, found, &unreadable);
        } catch (const std::bad_alloc&) {
            outOfMemory = true;
        } catch (const std::length_error&) {
            outOfMemory = true;
        }
    };
    {
        Helper currentWalk(parallel && !base.empty() && !current.empty(), [&] {
            walk(current, {}, walks.current, walks.currentMissing, unreadableCurrent);
        });
        walk(base, renameSource, walks.base, walks.baseMissing, unreadableBase);
    }
    walks.outOfMemory = outOfMemory;
    walks.unreadable = std::move(unreadableBase);
    walks.unreadable.insert(walks.unreadable.end(), unreadableCurrent.begin(), unreadableCurrent.end());
    return walks;
}

enum class ParallelEnd { Finished, Cancelled, Stopped };

// Counts the pairs from `done` on with the calling thread and `workers` - 1 more, each holding
// one pair at a time. The calling thread sums and reports the results in table order, exactly as
// one thread would, and compares pairs itself while the next result is not there yet. A pair
// that fails while others are in flight may only have lacked the memory they held, so it ends
// the parallel part (Stopped) with `done` on that pair: the caller counts it alone.
ParallelEnd CountInParallel(const std::string& base, const std::string& current,
                            const std::vector<SourceFileEntry>& entries, std::size_t workers,
                            FileLocCounts& sum, std::size_t& done, const LocProgress& progress)
{
    const std::size_t total = entries.size();
    std::vector<std::optional<FileLocCounts>> results(total);
    // Set with release once a result is written; the summing thread waits on the one it needs.
    std::vector<std::atomic<unsigned char>> finished(total);
    std::atomic<std::size_t> next{done};
    std::atomic<bool> stop{false};
    auto compareNext = [&]() -> bool {
        const std::size_t i = next.fetch_add(1, std::memory_order_relaxed);
        if (i >= total) {
            return false;
        }
        results[i] = CompareSourceFile(base, current, entries[i]);
        if (!results[i]) {
            stop = true;
        }
        finished[i].store(1, std::memory_order_release);
        finished[i].notify_one();
        return true;
    };
    auto work = [&] {
        while (!stop.load(std::memory_order_relaxed) && compareNext()) {
        }
    };
    // Declared last so that the threads are joined before the state they share goes away.
    std::vector<std::jthread> threads;
    try {
        threads.reserve(workers - 1);
        for (std::size_t w = 1; w < workers; ++w) {
            threads.emplace_back(work);
        }
    } catch (const std::system_error&) {
        // Fewer threads than asked for still count every pair; none leaves it to the caller.
    } catch (const std::bad_alloc&) {
    }
    if (threads.empty()) {
        return ParallelEnd::Stopped;
    }
    while (done < total) {
        if (finished[done].load(std::memory_order_acquire) == 0) {
            // Rather than wait, compare a pair; only with none left is there nothing to do.
            if (!stop.load(std::memory_order_relaxed) && compareNext()) {
                continue;
            }
            finished[done].wait(0, std::memory_order_acquire);
        }
        const std::optional<FileLocCounts>& counts = results[done];
        if (!counts) {
            stop = true;
            return ParallelEnd::Stopped;
        }
        AddPair(sum, *counts);
        ++done;
        if (progress && !progress(done, total)) {
            stop = true;
            return ParallelEnd::Cancelled;
        }
    }
    return ParallelEnd::Finished;
}

} // namespace

std::optional<FileLocCounts> CompareSourceFile(const std::string& basePath, const std::string& currentPath,
                                               const SourceFileEntry& entry)
{
    try {
        auto base = SourceFile::Open(basePath, entry.baseFile);
        auto current = SourceFile::Open(currentPath, entry.currentFile);
        // A file of the table that cannot be opened or read; named base first, then current.
        bool baseUnreadable = !base && !entry.baseFile.empty();
        bool currentUnreadable = !current && !entry.currentFile.empty();
        // Only a pair that is compared line by line needs line tables.
        bool pair = base && current && !base->SameStatus(*current);
        if (pair && (base->TooLargeForLines() || current->TooLargeForLines())) {
            return std::nullopt;
        }
        std::optional<ByteBuffer> currentBytes = current ? current->Read() : std::nullopt;
        currentUnreadable = currentUnreadable || (current && !currentBytes);
        // Size and time alone are no proof: one unzip, checkout or script gives many files the
        // same second, and an edit that keeps the size is common.
        if (base && currentBytes && base->SameStatus(*current) && base->Holds(currentBytes->View())) {
            FileLocCounts result;
            result.reused = CountAllUnits(std::move(*currentBytes), entry.isVb);
            return result;
        }
        std::optional<ByteBuffer> baseBytes = base ? base->Read() : std::nullopt;
        baseUnreadable = baseUnreadable || (base && !baseBytes);
        FileLocCounts result = entry.isVb
                                   ? ComparePair<VbImage>(std::move(baseBytes), std::move(currentBytes),
                                                          [](const VbImage& image, const MatchFlags& flags) {
                                                              return CountVbLines(image, flags);
                                                          })
                                   : ComparePair<CsImage>(std::move(baseBytes), std::move(currentBytes),
                                                          [](const CsImage& image, const MatchFlags& flags) {
                                                              return CountCsStatements(image, flags);
                                                          });
        if (baseUnreadable) {
            result.unreadable.push_back(JoinPath(basePath, entry.baseFile));
        }
        if (currentUnreadable) {
            result.unreadable.push_back(JoinPath(currentPath, entry.currentFile));
        }
        return result;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    } catch (const std::length_error&) {
        return std::nullopt;
    }
}

LocOutcome CountProjectLoc(std::string_view basePath, std::string_view currentPath, bool recurse,
                           LocCounts& counts, bool renameByProjectName, const LocProgress& progress,
                           std::size_t workers)
{
    LocOutcome outcome;
    const std::string base = ToSlashes(basePath);
    const std::string current = ToSlashes(currentPath);
    const std::string_view renameSource =
        renameByProjectName ? LastPathComponent(current) : std::string_view();
    Walks walks = WalkBoth(base, current, recurse, renameSource, workers != 1);
    outcome.baseMissing = walks.baseMissing;
    outcome.currentMissing = walks.currentMissing;
    std::vector<SourceFileEntry> entries;
    try {
        if (!walks.outOfMemory) {
            entries = PairSources(walks.base, walks.current);
        }
    } catch (const std::bad_alloc&) {
        walks.outOfMemory = true;
    }
    if (walks.outOfMemory) {
        outcome.failure = OutOfMemoryMessage;
        return outcome;
    }
    const std::size_t total = entries.size();
    std::size_t done = 0;
    if (progress && !progress(done, total)) {
        outcome.cancelled = true;
        return outcome;
    }
    FileLocCounts sum;
    if (workers == 0) {
        workers = AutomaticWorkers(total);
    }
    if (workers > 1 && total > 1) {
        if (CountInParallel(base, current, entries, std::min(workers, total), sum, done, progress) ==
            ParallelEnd::Cancelled) {
            outcome.cancelled = true;
            return outcome;
        }
    }
    for (; done < total;) {
        const SourceFileEntry& entry = entries[done];
        std::optional<FileLocCounts> pair = CompareSourceFile(base, current, entry);
        if (!pair) {
            outcome.failure = TooLargeMessage(base, current, entry);
            return outcome;
        }
        AddPair(sum, *pair);
        ++done;
        if (progress && !progress(done, total)) {
            outcome.cancelled = true;
            return outcome;
        }
    }
    outcome.unreadable = std::move(walks.unreadable);
    outcome.unreadable.insert(outcome.unreadable.end(), sum.unreadable.begin(), sum.unreadable.end());
    counts.reused = Saturate(sum.reused);
    counts.deleted = Saturate(sum.deleted);
    counts.added = Saturate(sum.added);
    return outcome;
}

std::string UnreadableFilesNote(std::size_t unreadable)
{
    return unreadable == 0 ? std::string() : std::to_string(unreadable) + " 個のファイルを読めませんでした";
}

} // namespace quilvane
