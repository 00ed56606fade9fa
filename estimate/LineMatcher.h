#pragma once
// Pairs equal lines of a base file and a current file for the LOC counter, and the allocator
// of the counter's large per-file tables.
#include <cstddef>
#include <cstdint>
#include <new>
#include <span>
#include <string_view>
#include <type_traits>
#include <vector>

namespace quilvane {

// Memory for large tables: blocks of at least BulkThreshold bytes are mapped on their own and
// marked for transparent huge pages. The first touch of a fresh small page costs a page fault,
// and on virtual machines those faults took most of the time of a large file pair; a huge page
// costs one fault per 2 MiB. Smaller blocks come from the ordinary heap.
void* AllocateBulk(std::size_t bytes);
void ReleaseBulk(void* block, std::size_t bytes) noexcept;
inline constexpr std::size_t BulkThreshold = std::size_t{256} << 10;

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

// One flag per line entry: 1 when the line found a partner on the other side, 0 otherwise.
using MatchFlags = BulkVector<std::uint8_t>;

// The greedy pairing of the counter: each base line in order takes the first unmatched equal
// current line at or after `low`, and `low` moves on by one only when the match falls exactly on
// it. Equal lines are found through a hash index of the current lines by content, so a pair of
// large files costs expected linear time instead of the quadratic forward scan. The flags are
// resized to the line counts and overwritten.
void MatchLines(std::span<const std::string_view> baseLines, std::span<const std::string_view> currentLines,
                MatchFlags& baseFlags, MatchFlags& currentFlags);

// The hash of one line that the matcher's index uses.
std::uint64_t HashLine(std::string_view line) noexcept;

} // namespace quilvane
