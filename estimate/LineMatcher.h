#pragma once
// Pairs equal lines of a base file and a current file for the LOC counter.
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace quilvane {

// One flag per line entry: 1 when the line found a partner on the other side, 0 otherwise.
using MatchFlags = std::vector<std::uint8_t>;

// The greedy pairing of the counter: each base line in order takes the first unmatched equal
// current line at or after `low`, and `low` moves on by one only when the match falls exactly on
// it. Equal lines are found through an index of the current lines by content, so a pair of large
// files costs O(n log n) instead of the quadratic forward scan. The flags are resized to the line
// counts and overwritten.
void MatchLines(std::span<const std::string_view> baseLines, std::span<const std::string_view> currentLines,
                MatchFlags& baseFlags, MatchFlags& currentFlags);

} // namespace quilvane
