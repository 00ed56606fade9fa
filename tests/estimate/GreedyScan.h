#pragma once
// The plain greedy line scan that the indexed matcher and the counter built on it must reproduce.
#include <string_view>
#include <vector>

#include "estimate/LineMatcher.h"

namespace quilvane {

// Each base line takes the first unmatched equal current line at or after `low`; `low` moves on
// only when the match is on it.
inline void GreedyMatch(const std::vector<std::string_view>& base,
                        const std::vector<std::string_view>& current, MatchFlags& baseFlags,
                        MatchFlags& currentFlags)
{
    baseFlags.assign(base.size(), 0);
    currentFlags.assign(current.size(), 0);
    std::size_t low = 0;
    for (std::size_t j = 0; j < base.size(); ++j) {
        for (std::size_t k = low; k < current.size(); ++k) {
            if (currentFlags[k] == 0 && base[j] == current[k]) {
                baseFlags[j] = 1;
                currentFlags[k] = 1;
                if (k == low) {
                    ++low;
                }
                break;
            }
        }
    }
}

} // namespace quilvane
