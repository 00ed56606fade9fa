#include "estimate/LineMatcher.h"

#include <algorithm>
#include <functional>
#include <limits>

namespace quilvane {
namespace {

// The current lines grouped by content. Groups are found through an open-addressing hash table
// (a node-based map costs one allocation per distinct line, which dominated large files). Each
// group holds its line indices in ascending order in one slot range of `slots_`, followed by a
// sentinel slot. `next_` is a union-find over the slots: following it from a slot leads to the
// first slot at or after it whose line is still unmatched (or to the group's sentinel), so taking
// a line out costs amortised near-constant time.
template <class Index> class CurrentLineIndex {
public:
    explicit CurrentLineIndex(std::span<const std::string_view> lines) : lines_(lines)
    {
        std::size_t capacity = 16;
        while (capacity < lines.size() * 2) {
            capacity *= 2;
        }
        table_.assign(capacity, 0);
        mask_ = capacity - 1;
        std::vector<std::uint32_t> groupOf(lines.size());
        std::vector<std::uint32_t> sizes;
        for (std::size_t k = 0; k < lines.size(); ++k) {
            std::size_t hash = Hash(lines[k]);
            std::size_t cell = Probe(lines[k], hash);
            if (table_[cell] == 0) {
                table_[cell] = static_cast<std::uint32_t>(sizes.size() + 1);
                firstLine_.push_back(static_cast<Index>(k));
                hashes_.push_back(hash);
                sizes.push_back(0);
            }
            groupOf[k] = table_[cell] - 1;
            ++sizes[groupOf[k]];
        }
        begin_.resize(sizes.size() + 1);
        Index offset = 0;
        for (std::size_t g = 0; g < sizes.size(); ++g) {
            begin_[g] = offset;
            offset += sizes[g] + 1; // one sentinel slot per group
        }
        begin_[sizes.size()] = offset;
        slots_.resize(offset);
        next_.resize(offset);
        for (Index s = 0; s < offset; ++s) {
            next_[s] = s;
        }
        std::vector<Index> fill(begin_.begin(), begin_.end() - 1);
        for (std::size_t k = 0; k < lines.size(); ++k) {
            slots_[fill[groupOf[k]]++] = static_cast<Index>(k);
        }
    }

    // The first unmatched line equal to `line` with an index at or after `low`, taken out of the
    // index; or -1 when there is none.
    std::ptrdiff_t Take(std::string_view line, std::size_t low)
    {
        std::uint32_t cell = table_[Probe(line, Hash(line))];
        if (cell == 0) {
            return -1;
        }
        std::size_t first = begin_[cell - 1];
        std::size_t sentinel = begin_[cell] - 1;
        auto from = std::lower_bound(slots_.begin() + static_cast<std::ptrdiff_t>(first),
                                     slots_.begin() + static_cast<std::ptrdiff_t>(sentinel), low);
        Index slot = Find(static_cast<Index>(from - slots_.begin()));
        if (slot == sentinel) {
            return -1;
        }
        next_[slot] = slot + 1;
        return static_cast<std::ptrdiff_t>(slots_[slot]);
    }

private:
    static std::size_t Hash(std::string_view line) { return std::hash<std::string_view>{}(line); }

    // The cell that holds the group of `line`, or the empty cell where it would go.
    std::size_t Probe(std::string_view line, std::size_t hash) const
    {
        std::size_t cell = hash & mask_;
        while (table_[cell] != 0) {
            std::size_t g = table_[cell] - 1;
            if (hashes_[g] == hash && lines_[firstLine_[g]] == line) {
                break;
            }
            cell = (cell + 1) & mask_;
        }
        return cell;
    }

    Index Find(Index slot)
    {
        while (next_[slot] != slot) {
            next_[slot] = next_[next_[slot]]; // path halving
            slot = next_[slot];
        }
        return slot;
    }

    std::span<const std::string_view> lines_;
    std::vector<std::uint32_t> table_; // group + 1, or 0 for an empty cell
    std::size_t mask_ = 0;
    std::vector<Index> firstLine_;
    std::vector<std::size_t> hashes_;
    std::vector<Index> begin_;
    std::vector<Index> slots_;
    std::vector<Index> next_;
};

template <class Index>
void Match(std::span<const std::string_view> baseLines, std::span<const std::string_view> currentLines,
           MatchFlags& baseFlags, MatchFlags& currentFlags)
{
    CurrentLineIndex<Index> index(currentLines);
    std::size_t low = 0;
    for (std::size_t j = 0; j < baseLines.size(); ++j) {
        std::ptrdiff_t k = index.Take(baseLines[j], low);
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

} // namespace

void MatchLines(std::span<const std::string_view> baseLines, std::span<const std::string_view> currentLines,
                MatchFlags& baseFlags, MatchFlags& currentFlags)
{
    baseFlags.assign(baseLines.size(), 0);
    currentFlags.assign(currentLines.size(), 0);
    // 32-bit indices halve the memory the index of a large file touches; the slots (a sentinel
    // per group) never exceed twice the line count.
    if (currentLines.size() < std::numeric_limits<std::uint32_t>::max() / 2) {
        Match<std::uint32_t>(baseLines, currentLines, baseFlags, currentFlags);
    } else {
        Match<std::uint64_t>(baseLines, currentLines, baseFlags, currentFlags);
    }
}

} // namespace quilvane
