#pragma once
// Pairs equal lines of a base file and a current file for the LOC counter, and the allocator
// of the counter's large per-file tables.
#include <cstddef>
#include <cstdint>
#include <new>
#include <span>
#include <stdexcept>
#include <string_view>
#include <type_traits>
#include <vector>

namespace quilvane {

// Memory for large tables: blocks of at least BulkThreshold bytes are mapped on their own and
// marked for transparent huge pages. The first touch of a fresh small page costs a page fault,
// and on virtual machines those faults took most of the time of a large file pair; a huge page
// costs one fault per 2 MiB. Smaller blocks come from the ordinary heap.
// AllocateBulk throws std::bad_alloc when the memory is not there (or the limit below is
// reached); the counter turns that into a failed count instead of letting it end the program.
void* AllocateBulk(std::size_t bytes);
void ReleaseBulk(void* block, std::size_t bytes) noexcept;
inline constexpr std::size_t BulkThreshold = std::size_t{256} << 10;

// Caps the bytes AllocateBulk hands out at once (no cap by default) and returns the previous
// cap, so that the failure of a count too large for the memory can be shown without exhausting
// the machine.
std::size_t SetBulkMemoryLimit(std::size_t bytes);
inline constexpr std::size_t NoBulkMemoryLimit = static_cast<std::size_t>(-1);

// An allocator over AllocateBulk, for vectors that may grow large.
template <class T> class BulkAllocator {
public:
    using value_type = T;

    BulkAllocator() = default;
    template <class U> BulkAllocator(const BulkAllocator<U>&) noexcept {}

    T* allocate(std::size_t n)
    {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) {
            throw std::bad_array_new_length();
        }
        return static_cast<T*>(AllocateBulk(n * sizeof(T)));
    }
    void deallocate(T* p, std::size_t n) noexcept { ReleaseBulk(p, n * sizeof(T)); }

    template <class U> bool operator==(const BulkAllocator<U>&) const noexcept { return true; }
};

// A fixed number of trivial elements from AllocateBulk, left uninitialised: every element is
// written before it is read, so the memory is touched once.
template <class T> class BulkArray {
    static_assert(std::is_trivially_destructible_v<T>);

public:
    BulkArray() = default;
    explicit BulkArray(std::size_t n) : data_(BulkAllocator<T>().allocate(n)), size_(n) {}
    BulkArray(BulkArray&& other) noexcept : data_(other.data_), size_(other.size_)
    {
        other.data_ = nullptr;
        other.size_ = 0;
    }
    BulkArray& operator=(BulkArray&& other) noexcept
    {
        if (this != &other) {
            Free();
            data_ = other.data_;
            size_ = other.size_;
            other.data_ = nullptr;
            other.size_ = 0;
        }
        return *this;
    }
    ~BulkArray() { Free(); }

    T* data() const { return data_; }
    std::size_t size() const { return size_; }
    T& operator[](std::size_t i) const { return data_[i]; }

private:
    void Free() noexcept
    {
        if (data_ != nullptr) {
            BulkAllocator<T>().deallocate(data_, size_);
        }
    }

    T* data_ = nullptr;
    std::size_t size_ = 0;
};

template <class T> using BulkVector = std::vector<T, BulkAllocator<T>>;

// The lines of one file as offsets and lengths into its bytes: half the size of a table of
// views, which decides the memory of files of many short lines. The bytes must stay where they
// are while the table is used; a file of 4 GiB or more cannot be described (std::length_error).
class LineTable {
public:
    // The largest file a table can describe.
    static constexpr std::size_t MaxBytes = 0xFFFFFFFFU;

    LineTable() = default;
    // A table over `size` bytes from `bytes`.
    LineTable(const char* bytes, std::size_t size) : bytes_(bytes), byteCount_(size)
    {
        if (size > MaxBytes) {
            throw std::length_error("line table");
        }
    }

    void reserve(std::size_t n) { lines_.reserve(n); }
    // Adds the line [start, start + length) of the bytes given to the constructor.
    void Add(const char* start, std::size_t length)
    {
        lines_.push_back({static_cast<std::uint32_t>(start - bytes_), static_cast<std::uint32_t>(length)});
    }

    std::size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    std::string_view operator[](std::size_t i) const { return {bytes_ + lines_[i].offset, lines_[i].length}; }
    std::string_view back() const { return (*this)[size() - 1]; }

private:
    struct Line {
        std::uint32_t offset;
        std::uint32_t length;
    };

public:
    // The lines by value, to be held in registers by a loop over them.
    class Lines {
    public:
        explicit Lines(const LineTable& table)
            : bytes_(table.bytes_), lines_(table.lines_.data()), size_(table.lines_.size()),
              byteCount_(table.byteCount_)
        {
        }
        std::size_t size() const { return size_; }
        // The size of the bytes the lines lie in.
        std::size_t ByteCount() const { return byteCount_; }
        std::string_view operator[](std::size_t i) const
        {
            return {bytes_ + lines_[i].offset, lines_[i].length};
        }

    private:
        const char* bytes_;
        const Line* lines_;
        std::size_t size_;
        std::size_t byteCount_;
    };

private:
    const char* bytes_ = nullptr;
    std::size_t byteCount_ = 0;
    BulkVector<Line> lines_;
};

// One flag per line entry: 1 when the line found a partner on the other side, 0 otherwise.
using MatchFlags = BulkVector<std::uint8_t>;

// The greedy pairing of the counter: each base line in order takes the first unmatched equal
// current line at or after `low`, and `low` moves on by one only when the match falls exactly on
// it. Equal lines are found through a hash index of the current lines by content, so a pair of
// large files costs expected linear time instead of the quadratic forward scan. The flags are
// resized to the line counts and overwritten.
void MatchLines(std::span<const std::string_view> baseLines, std::span<const std::string_view> currentLines,
                MatchFlags& baseFlags, MatchFlags& currentFlags);
// The same over the line tables of two file images.
void MatchLines(const LineTable& baseLines, const LineTable& currentLines, MatchFlags& baseFlags,
                MatchFlags& currentFlags);

// The hash of one line that the matcher's index uses.
std::uint64_t HashLine(std::string_view line) noexcept;

} // namespace quilvane
