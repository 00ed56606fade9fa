#include "estimate/LineMatcher.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <limits>
#include <sys/mman.h>

namespace quilvane {
namespace {

constexpr std::size_t HugePage = std::size_t{2} << 20;

std::size_t RoundUp(std::size_t value, std::size_t unit)
{
    return (value + unit - 1) / unit * unit;
}

std::uint64_t Load64(const char* p)
{
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

std::uint64_t Load32(const char* p)
{
    std::uint32_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// The current lines grouped by content in an open-addressing hash table: each cell holds the
// first line of its group that may still be taken, and `next_` links every line to the next
// equal line after it. The greedy pairing never looks for a line before `low`, `low` never
// decreases, and each search takes the first line it may take; so the lines a group gives out
// or passes over always form a prefix of it, and the cell's head only moves forward: a search
// costs amortised constant time.
// At most this many groups: there are only so many different lines of up to two bytes, and
// every longer line adds at most one. A file of many short lines, often repeated, thus gets a
// table sized by its few groups instead of by its many lines.
template <class Lines> std::size_t GroupBound(const Lines& lines)
{
    constexpr std::size_t ShortContents = 1 + 256 + 256 * 256;
    if (lines.size() <= ShortContents) {
        return lines.size();
    }
    if constexpr (requires { lines.ByteCount(); }) {
        // A line of three bytes or more takes three of the bytes: only lines shorter than that
        // on average can leave groups unused, and only then are the lengths worth a pass.
        if (ShortContents + lines.ByteCount() / 3 >= lines.size()) {
            return lines.size();
        }
    }
    std::size_t longLines = 0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        longLines += lines[k].size() > 2 ? 1 : 0;
    }
    return std::min(lines.size(), ShortContents + longLines);
}

template <class Index, class Lines> class CurrentLineIndex {
public:
    explicit CurrentLineIndex(const Lines& lines) : lines_(lines), next_(lines.size())
    {
        std::size_t groups = GroupBound(lines);
        std::size_t capacity = 16;
        while (capacity < groups * 2) {
            capacity *= 2;
        }
        cells_ = BulkArray<Cell>(capacity);
        // All bits set: every head is Empty.
        std::memset(static_cast<void*>(cells_.data()), 0xFF, capacity * sizeof(Cell));
        mask_ = capacity - 1;
        // From the last line back, so that each head ends on the first line of its group.
        std::array<std::uint64_t, Batch> hashes;
        for (std::size_t end = lines.size(); end > 0;) {
            std::size_t begin = end > Batch ? end - Batch : 0;
            for (std::size_t k = begin; k < end; ++k) {
                hashes[k - begin] = HashLine(lines[k]);
                Prefetch(hashes[k - begin]);
            }
            for (std::size_t k = end; k-- > begin;) {
                std::uint64_t hash = hashes[k - begin];
                Cell& cell = cells_[Insert(lines[k], hash)];
                if (cell.head == Empty) {
                    cell.tag = Tag(hash);
                    next_[k] = None;
                } else {
                    next_[k] = cell.head;
                }
                cell.head = static_cast<Index>(k);
            }
            end = begin;
        }
    }

    // Lines are hashed in batches of this many, and the cells they need are fetched into the
    // cache ahead of use: a large table is read at random, and waiting for each cell in turn
    // took most of the matching time.
    static constexpr std::size_t Batch = 16;

    // Asks for the cell where a search for `hash` starts.
    void Prefetch(std::uint64_t hash) const { __builtin_prefetch(&cells_[hash & mask_]); }

    // The first unmatched line equal to `line` (whose hash is `hash`) with an index at or after
    // `low`, taken out of the index; or -1 when there is none.
    std::ptrdiff_t Take(std::string_view line, std::uint64_t hash, std::size_t low)
    {
        std::uint32_t tag = Tag(hash);
        for (std::size_t c = hash & mask_;; c = (c + 1) & mask_) {
            Cell& cell = cells_[c];
            if (cell.head == Empty) {
                return -1;
            }
            // A used-up group cannot be compared any more; probing on past it ends at an empty
            // cell, since no other group holds the same content.
            if (cell.tag != tag || cell.head == None || lines_[cell.head] != line) {
                continue;
            }
            Index k = cell.head;
            while (k != None && k < low) {
                k = next_[k];
            }
            if (k == None) {
                cell.head = None;
                return -1;
            }
            cell.head = next_[k];
            return static_cast<std::ptrdiff_t>(k);
        }
    }

private:
    static constexpr Index Empty = std::numeric_limits<Index>::max(); // a cell without a group
    static constexpr Index None = Empty - 1;                          // no (further) line

    struct Cell {
        std::uint32_t tag;
        Index head;
    };

    static std::uint32_t Tag(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32); }

    // The cell of the group of `line`, or the empty cell where it goes. While the index is
    // built every head is a line, so each cell can be compared.
    std::size_t Insert(std::string_view line, std::uint64_t hash) const
    {
        std::uint32_t tag = Tag(hash);
        std::size_t c = hash & mask_;
        while (cells_[c].head != Empty && (cells_[c].tag != tag || lines_[cells_[c].head] != line)) {
            c = (c + 1) & mask_;
        }
        return c;
    }

    Lines lines_;
    BulkArray<Index> next_;
    BulkArray<Cell> cells_;
    std::size_t mask_ = 0;
};

template <class Index, class Lines>
void Match(Lines baseLines, Lines currentLines, MatchFlags& baseFlags, MatchFlags& currentFlags)
{
    using LineIndex = CurrentLineIndex<Index, Lines>;
    LineIndex index(currentLines);
    std::size_t low = 0;
    std::array<std::uint64_t, LineIndex::Batch> hashes;
    for (std::size_t begin = 0; begin < baseLines.size(); begin += LineIndex::Batch) {
        std::size_t end = std::min(baseLines.size(), begin + LineIndex::Batch);
        for (std::size_t j = begin; j < end; ++j) {
            hashes[j - begin] = HashLine(baseLines[j]);
            index.Prefetch(hashes[j - begin]);
        }
        for (std::size_t j = begin; j < end; ++j) {
            std::ptrdiff_t k = index.Take(baseLines[j], hashes[j - begin], low);
            if (k < 0) {
                continue;
            }
            baseFlags[j] = 1;
            currentFlags[static_cast<std::size_t>(k)] = 1;
            if (static_cast<std::size_t>(k) == low) {
                ++low;
            }
        }
    }
}

std::atomic<std::size_t> bulkLimit{NoBulkMemoryLimit};
std::atomic<std::size_t> bulkInUse{0};

// Counts `bytes` as handed out, or throws when that would pass the limit.
void Reserve(std::size_t bytes)
{
    const std::size_t limit = bulkLimit.load(std::memory_order_relaxed);
    std::size_t used = bulkInUse.load(std::memory_order_relaxed);
    do {
        if (used > limit || bytes > limit - used) {
            throw std::bad_alloc();
        }
    } while (!bulkInUse.compare_exchange_weak(used, used + bytes, std::memory_order_relaxed));
}

void Unreserve(std::size_t bytes) noexcept
{
    bulkInUse.fetch_sub(bytes, std::memory_order_relaxed);
}

void* Map(std::size_t bytes)
{
    if (bytes < BulkThreshold) {
        return ::operator new(bytes);
    }
    // Mapped with one huge page of slack, so that the block can start on a huge page boundary.
    std::size_t size = RoundUp(bytes, HugePage);
    void* map = mmap(nullptr, size + HugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (map == MAP_FAILED) {
        throw std::bad_alloc();
    }
    auto start = reinterpret_cast<std::uintptr_t>(map);
    std::uintptr_t aligned = RoundUp(start, HugePage);
    if (aligned > start) {
        munmap(map, aligned - start);
    }
    if (std::uintptr_t end = start + size + HugePage; end > aligned + size) {
        munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
    }
#ifdef MADV_HUGEPAGE
    // Only advice: without transparent huge pages the block works with small pages.
    (void)madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
#endif
    return reinterpret_cast<void*>(aligned);
}

} // namespace

std::size_t SetBulkMemoryLimit(std::size_t bytes)
{
    return bulkLimit.exchange(bytes);
}

void* AllocateBulk(std::size_t bytes)
{
    Reserve(bytes);
    try {
        return Map(bytes);
    } catch (...) {
        Unreserve(bytes);
        throw;
    }
}

void ReleaseBulk(void* block, std::size_t bytes) noexcept
{
    Unreserve(bytes);
    if (bytes < BulkThreshold) {
        ::operator delete(block);
        return;
    }
    munmap(block, RoundUp(bytes, HugePage));
}

std::uint64_t HashLine(std::string_view line) noexcept
{
    constexpr std::uint64_t Mul = 0x9E3779B97F4A7C15ULL;
    const char* p = line.data();
    std::size_t n = line.size();
    std::uint64_t h = (n + 1) * Mul;
    auto mix = [&h](std::uint64_t w) {
        h = (h ^ w) * Mul;
        h ^= h >> 29;
    };
    if (n >= 8) {
        const char* end = p + n;
        for (; end - p > 8; p += 8) {
            mix(Load64(p));
        }
        mix(Load64(end - 8)); // the last eight bytes, overlapping the words before when needed
    } else if (n >= 4) {
        mix(Load32(p) | (Load32(p + n - 4) << 32));
    } else if (n > 0) {
        auto byte = [p](std::size_t i) {
            return static_cast<std::uint64_t>(static_cast<unsigned char>(p[i]));
        };
        mix(byte(0) | (byte(n / 2) << 8) | (byte(n - 1) << 16));
    }
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDULL;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ULL;
    h ^= h >> 33;
    return h;
}

namespace {

template <class Lines>
void MatchAny(Lines baseLines, Lines currentLines, MatchFlags& baseFlags, MatchFlags& currentFlags)
{
    baseFlags.assign(baseLines.size(), 0);
    currentFlags.assign(currentLines.size(), 0);
    // 32-bit indices halve the memory the index of a large file touches.
    if (currentLines.size() < std::numeric_limits<std::uint32_t>::max() - 2) {
        Match<std::uint32_t>(baseLines, currentLines, baseFlags, currentFlags);
    } else {
        Match<std::uint64_t>(baseLines, currentLines, baseFlags, currentFlags);
    }
}

} // namespace

void MatchLines(std::span<const std::string_view> baseLines, std::span<const std::string_view> currentLines,
                MatchFlags& baseFlags, MatchFlags& currentFlags)
{
    MatchAny(baseLines, currentLines, baseFlags, currentFlags);
}

void MatchLines(const LineTable& baseLines, const LineTable& currentLines, MatchFlags& baseFlags,
                MatchFlags& currentFlags)
{
    MatchAny(LineTable::Lines(baseLines), LineTable::Lines(currentLines), baseFlags, currentFlags);
}

} // namespace quilvane
