#include "estimate/LineMatcher.h"

#include <algorithm>
#include <unordered_map>

namespace quilvane {
namespace {

// The current lines grouped by content. Each group holds its line indices in ascending order in
// one slot range of `slots`, followed by a sentinel slot. `next` is a union-find over the slots:
// following it from a slot leads to the first slot at or after it whose line is still unmatched
// (or to the group's sentinel), so taking a line out costs amortised near-constant time.
class CurrentLineIndex {
public:
    explicit CurrentLineIndex(std::span<const std::string_view> lines)
    {
        groups_.reserve(lines.size());
        std::vector<std::uint32_t> groupOf(lines.size());
        std::vector<std::uint32_t> sizes;
        for (std::size_t k = 0; k < lines.size(); ++k) {
            auto [it, inserted] = groups_.try_emplace(lines[k], static_cast<std::uint32_t>(sizes.size()));
            if (inserted) {
                sizes.push_back(0);
            }
            groupOf[k] = it->second;
            ++sizes[it->second];
        }
        begin_.resize(sizes.size() + 1);
        std::size_t offset = 0;
        for (std::size_t g = 0; g < sizes.size(); ++g) {
            begin_[g] = offset;
            offset += sizes[g] + 1; // one sentinel slot per group
        }
        begin_[sizes.size()] = offset;
        slots_.assign(offset, 0);
        next_.resize(offset);
        for (std::size_t s = 0; s < offset; ++s) {
            next_[s] = s;
        }
        std::vector<std::size_t> fill(begin_.begin(), begin_.end() - 1);
        for (std::size_t k = 0; k < lines.size(); ++k) {
            slots_[fill[groupOf[k]]++] = k;
        }
    }

    // The first unmatched line equal to `line` with an index at or after `low`, taken out of the
    // index; or -1 when there is none.
    std::ptrdiff_t Take(std::string_view line, std::size_t low)
    {
        auto it = groups_.find(line);
        if (it == groups_.end()) {
            return -1;
        }
        std::size_t first = begin_[it->second];
        std::size_t sentinel = begin_[it->second + 1] - 1;
        auto from = std::lower_bound(slots_.begin() + static_cast<std::ptrdiff_t>(first),
                                     slots_.begin() + static_cast<std::ptrdiff_t>(sentinel), low);
        std::size_t slot = Find(static_cast<std::size_t>(from - slots_.begin()));
        if (slot == sentinel) {
            return -1;
        }
        next_[slot] = slot + 1;
        return static_cast<std::ptrdiff_t>(slots_[slot]);
    }

private:
    std::size_t Find(std::size_t slot)
    {
        while (next_[slot] != slot) {
            next_[slot] = next_[next_[slot]]; // path halving
            slot = next_[slot];
        }
        return slot;
    }

    std::unordered_map<std::string_view, std::uint32_t> groups_;
    std::vector<std::size_t> begin_;
    std::vector<std::size_t> slots_;
    std::vector<std::size_t> next_;
};

} // namespace

void MatchLines(std::span<const std::string_view> baseLines, std::span<const std::string_view> currentLines,
                MatchFlags& baseFlags, MatchFlags& currentFlags)
{
    baseFlags.assign(baseLines.size(), 0);
    currentFlags.assign(currentLines.size(), 0);
    CurrentLineIndex index(currentLines);
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

} // namespace quilvane
