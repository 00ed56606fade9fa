#include "estimate/LocCounter.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <mutex>
#include <new>
#include <optional>
#include <set>
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

// The last component of a '/'-separated path, trailing separators ignored ("a/Prob1/" names
// Prob1), so a path typed with a final slash keeps the project-name rule working.
std::string_view LastComponent(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

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

enum class EntryKind { Directory, File, Other };

EntryKind KindOf(const std::string& path, unsigned char type)
{
    if (type == DT_DIR) {
        return EntryKind::Directory;
    }
    if (type == DT_REG) {
        return EntryKind::File;
    }
    // Symbolic links and file systems that do not report the type: ask stat, which follows links.
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        return EntryKind::Other;
    }
    if (S_ISDIR(st.st_mode)) {
        return EntryKind::Directory;
    }
    return S_ISREG(st.st_mode) ? EntryKind::File : EntryKind::Other;
}

std::optional<std::vector<std::pair<std::string, unsigned char>>> ReadDirectory(const std::string& path)
{
    DIR* dir = opendir(path.c_str());
    if (dir == nullptr) {
        return std::nullopt;
    }
    std::vector<std::pair<std::string, unsigned char>> entries;
    while (const dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name != "." && name != "..") {
            entries.emplace_back(std::move(name), entry->d_type);
        }
    }
    closedir(dir);
    std::sort(entries.begin(), entries.end());
    return entries;
}

class SourceWalk {
public:
    SourceWalk(const std::string& root, bool recurse, std::string_view renameSource, LocSide side,
               SourceFileTable& table)
        : root_(root), recurse_(recurse), renameSource_(renameSource), projectName_(LastComponent(root)),
          side_(side), table_(table)
    {
    }

    bool Run() { return Walk(root_); }

private:
    bool Walk(const std::string& dirPath)
    {
        // A folder reached twice (through a symbolic link) would loop forever or count twice.
        struct stat st {};
        if (stat(dirPath.c_str(), &st) != 0 || !visited_.emplace(st.st_dev, st.st_ino).second) {
            return false;
        }
        auto entries = ReadDirectory(dirPath);
        if (!entries) {
            return false;
        }
        std::size_t keyLength = key_.size();
        std::size_t diskLength = disk_.size();
        if (!key_.empty()) {
            key_ += '\\';
            disk_ += '/';
        }
        for (const auto& [name, type] : *entries) {
            key_.resize(keyLength + (keyLength == 0 ? 0 : 1));
            disk_.resize(diskLength + (diskLength == 0 ? 0 : 1));
            key_ += name;
            disk_ += name;
            std::string path = JoinPath(dirPath, name);
            EntryKind kind = KindOf(path, type);
            if (kind == EntryKind::Directory) {
                if (recurse_) {
                    Walk(path);
                }
            } else if (kind == EntryKind::File) {
                AddFile(name, keyLength == 0);
            }
        }
        key_.resize(keyLength);
        disk_.resize(diskLength);
        return true;
    }

    void AddFile(const std::string& name, bool topLevel)
    {
        std::size_t dot = name.rfind('.');
        if (dot == std::string::npos) {
            return;
        }
        std::string_view stem = std::string_view(name).substr(0, dot);
        std::string_view extension = std::string_view(name).substr(dot);
        bool isVb = MbsICmp(extension, ".vb") == 0;
        if (!isVb && MbsICmp(extension, ".cs") != 0) {
            return;
        }
        // Only the project folder's own main file is renamed: below the top level the folder
        // name is a subfolder's, and renaming there would pair the file with nothing.
        bool mapped = topLevel && !renameSource_.empty() && MbsICmp(stem, projectName_) == 0;
        if (mapped) {
            key_.resize(key_.size() - name.size());
            key_.append(renameSource_).append(extension);
        }
        auto [it, inserted] = table_.try_emplace(key_);
        SourceFileEntry& entry = it->second;
        bool wasMapped = entry.mappedByName;
        entry.isVb = isVb;
        entry.mappedByName = entry.mappedByName || mapped;
        std::string& file = side_ == LocSide::Base ? entry.baseFile : entry.currentFile;
        // The renamed main file wins over a base file that already bears the current name.
        if (file.empty() || (mapped && !wasMapped)) {
            file = disk_;
        }
    }

    std::string root_;
    bool recurse_;
    std::string renameSource_;
    std::string projectName_;
    LocSide side_;
    SourceFileTable& table_;
    std::string key_;
    std::string disk_;
    std::set<std::pair<dev_t, ino_t>> visited_;
};

// An open source file with the status the unchanged-pair rule needs.
class SourceFile {
public:
    static std::optional<SourceFile> Open(const std::string& projectPath, const std::string& file)
    {
        if (projectPath.empty() || file.empty()) {
            return std::nullopt;
        }
        SourceFile f;
        f.fd_ = open(JoinPath(projectPath, file).c_str(), O_RDONLY | O_CLOEXEC);
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

enum class ParallelEnd { Finished, Cancelled, Stopped };

// Counts the pairs from `done` on with `workers` threads, each holding one pair at a time. The
// results are summed and reported on the calling thread in table order, exactly as one thread
// would. A pair that fails while others are in flight may only have lacked the memory they held,
// so it ends the parallel part (Stopped) with `done` on that pair: the caller counts it alone.
ParallelEnd CountInParallel(const std::string& base, const std::string& current,
                            const std::vector<const SourceFileEntry*>& entries, std::size_t workers,
                            FileLocCounts& sum, std::size_t& done, const LocProgress& progress)
{
    const std::size_t total = entries.size();
    std::vector<std::optional<FileLocCounts>> results(total);
    std::vector<char> finished(total, 0);
    std::mutex mutex;
    std::condition_variable changed;
    std::atomic<std::size_t> next{done};
    std::atomic<bool> stop{false};
    std::size_t running = 0;
    auto work = [&] {
        while (!stop.load(std::memory_order_relaxed)) {
            const std::size_t i = next.fetch_add(1, std::memory_order_relaxed);
            if (i >= total) {
                break;
            }
            std::optional<FileLocCounts> counts = CompareSourceFile(base, current, *entries[i]);
            {
                std::lock_guard lock(mutex);
                results[i] = counts;
                finished[i] = 1;
                if (!counts) {
                    stop = true;
                }
            }
            changed.notify_one();
        }
        {
            std::lock_guard lock(mutex);
            --running;
        }
        changed.notify_one();
    };
    // Declared last so that the threads are joined before the state they share goes away.
    std::vector<std::jthread> threads;
    try {
        threads.reserve(workers);
        for (std::size_t w = 0; w < workers; ++w) {
            {
                std::lock_guard lock(mutex);
                ++running;
            }
            try {
                threads.emplace_back(work);
            } catch (...) {
                std::lock_guard lock(mutex);
                --running;
                throw;
            }
        }
    } catch (const std::system_error&) {
        // Fewer threads than asked for still count every pair; none leaves it to the caller.
    } catch (const std::bad_alloc&) {
    }
    if (threads.empty()) {
        return ParallelEnd::Stopped;
    }
    while (done < total) {
        std::optional<FileLocCounts> counts;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return finished[done] != 0 || running == 0; });
            if (finished[done] == 0) {
                return ParallelEnd::Stopped;
            }
            counts = results[done];
        }
        if (!counts) {
            stop = true;
            return ParallelEnd::Stopped;
        }
        sum.reused += counts->reused;
        sum.deleted += counts->deleted;
        sum.added += counts->added;
        ++done;
        if (progress && !progress(done, total)) {
            stop = true;
            return ParallelEnd::Cancelled;
        }
    }
    return ParallelEnd::Finished;
}

} // namespace

bool CollectSourceFiles(const std::string& dir, bool recurse, std::string_view renameSource, LocSide side,
                        SourceFileTable& table)
{
    return SourceWalk(dir, recurse, renameSource, side, table).Run();
}

std::optional<FileLocCounts> CompareSourceFile(const std::string& basePath, const std::string& currentPath,
                                               const SourceFileEntry& entry)
{
    try {
        auto base = SourceFile::Open(basePath, entry.baseFile);
        auto current = SourceFile::Open(currentPath, entry.currentFile);
        // Only a pair that is compared line by line needs line tables.
        bool pair = base && current && !base->SameStatus(*current);
        if (pair && (base->TooLargeForLines() || current->TooLargeForLines())) {
            return std::nullopt;
        }
        std::optional<ByteBuffer> currentBytes = current ? current->Read() : std::nullopt;
        // Size and time alone are no proof: one unzip, checkout or script gives many files the
        // same second, and an edit that keeps the size is common.
        if (base && currentBytes && base->SameStatus(*current) && base->Holds(currentBytes->View())) {
            FileLocCounts result;
            result.reused = CountAllUnits(std::move(*currentBytes), entry.isVb);
            return result;
        }
        std::optional<ByteBuffer> baseBytes = base ? base->Read() : std::nullopt;
        if (entry.isVb) {
            return ComparePair<VbImage>(
                std::move(baseBytes), std::move(currentBytes),
                [](const VbImage& image, const MatchFlags& flags) { return CountVbLines(image, flags); });
        }
        return ComparePair<CsImage>(
            std::move(baseBytes), std::move(currentBytes),
            [](const CsImage& image, const MatchFlags& flags) { return CountCsStatements(image, flags); });
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
    SourceFileTable table;
    try {
        if (!base.empty()) {
            std::string_view renameSource = renameByProjectName ? LastComponent(current) : std::string_view();
            outcome.baseMissing = !CollectSourceFiles(base, recurse, renameSource, LocSide::Base, table);
        }
        if (!current.empty()) {
            outcome.currentMissing = !CollectSourceFiles(current, recurse, {}, LocSide::Current, table);
        }
    } catch (const std::bad_alloc&) {
        outcome.failure = OutOfMemoryMessage;
        return outcome;
    }
    const std::size_t total = table.size();
    std::size_t done = 0;
    if (progress && !progress(done, total)) {
        outcome.cancelled = true;
        return outcome;
    }
    FileLocCounts sum;
    std::vector<const SourceFileEntry*> entries;
    try {
        entries.reserve(total);
    } catch (const std::bad_alloc&) {
        outcome.failure = OutOfMemoryMessage;
        return outcome;
    }
    for (const auto& [key, entry] : table) {
        entries.push_back(&entry);
    }
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
        const SourceFileEntry& entry = *entries[done];
        std::optional<FileLocCounts> pair = CompareSourceFile(base, current, entry);
        if (!pair) {
            outcome.failure = TooLargeMessage(base, current, entry);
            return outcome;
        }
        sum.reused += pair->reused;
        sum.deleted += pair->deleted;
        sum.added += pair->added;
        ++done;
        if (progress && !progress(done, total)) {
            outcome.cancelled = true;
            return outcome;
        }
    }
    counts.reused = Saturate(sum.reused);
    counts.deleted = Saturate(sum.deleted);
    counts.added = Saturate(sum.added);
    return outcome;
}

} // namespace quilvane
