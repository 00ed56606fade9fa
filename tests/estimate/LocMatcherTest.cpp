#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "estimate/LineMatcher.h"

using namespace quilvane;

namespace {

// The plain greedy scan the indexed matcher must reproduce: each base line takes the first
// unmatched equal current line at or after `low`; `low` moves on only when the match is on it.
void GreedyMatch(const std::vector<std::string_view>& base, const std::vector<std::string_view>& current,
                 MatchFlags& baseFlags, MatchFlags& currentFlags)
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

class LocMatchLines : public ::testing::Test {
protected:
    void Match(std::vector<std::string_view> base, std::vector<std::string_view> current)
    {
        MatchLines(base, current, baseFlags, currentFlags);
    }

    MatchFlags baseFlags;
    MatchFlags currentFlags;
};

std::vector<std::string> RandomLines(std::mt19937& rng, std::size_t count, int alphabet)
{
    std::uniform_int_distribution<int> pick(0, alphabet - 1);
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < count; ++i) {
        lines.push_back("line" + std::to_string(pick(rng)));
    }
    return lines;
}

std::vector<std::string_view> Views(const std::vector<std::string>& lines)
{
    return {lines.begin(), lines.end()};
}

} // namespace

TEST_F(LocMatchLines, DuplicateBaseLineTakesOnlyOnePartner)
{
    Match({"x;", "x;"}, {"x;"});
    EXPECT_EQ(baseFlags, (MatchFlags{1, 0}));
    EXPECT_EQ(currentFlags, (MatchFlags{1}));
}

TEST_F(LocMatchLines, ChangedLineStaysUnmatched)
{
    Match({"int a;", "int b;"}, {"int a;", "int c;"});
    EXPECT_EQ(baseFlags, (MatchFlags{1, 0}));
    EXPECT_EQ(currentFlags, (MatchFlags{1, 0}));
}

TEST_F(LocMatchLines, LowOnlyAdvancesWhenMatchFallsOnIt)
{
    // "b" matches current 1 while low stays 0; "a" then still finds current 0.
    Match({"b", "a", "c"}, {"a", "b", "c"});
    EXPECT_EQ(baseFlags, (MatchFlags{1, 1, 1}));
    EXPECT_EQ(currentFlags, (MatchFlags{1, 1, 1}));
}

TEST_F(LocMatchLines, RepeatedBaseLineTakesNextFreeEqualLine)
{
    // After "a" (current 0) and "b" (current 1) low is 2; the second "a" passes over "c" to the
    // last line, and the second "b" finds nothing left.
    Match({"a", "b", "a", "b"}, {"a", "b", "c", "a"});
    EXPECT_EQ(baseFlags, (MatchFlags{1, 1, 1, 0}));
    EXPECT_EQ(currentFlags, (MatchFlags{1, 1, 0, 1}));
}

TEST_F(LocMatchLines, EqualityIsExactBytes)
{
    Match({"  x;", "x; ", "X;"}, {"x;", "x;", "x;"});
    EXPECT_EQ(baseFlags, (MatchFlags{0, 0, 0}));
}

TEST_F(LocMatchLines, EmptySides)
{
    Match({}, {"a"});
    EXPECT_EQ(currentFlags, (MatchFlags{0}));
    Match({"a"}, {});
    EXPECT_EQ(baseFlags, (MatchFlags{0}));
}

TEST_F(LocMatchLines, AgreesWithGreedyScanOnRandomFiles)
{
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<std::size_t> length(0, 60);
    for (int round = 0; round < 3000; ++round) {
        int alphabet = 1 + round % 6;
        auto base = RandomLines(rng, length(rng), alphabet);
        auto current = RandomLines(rng, length(rng), alphabet);
        MatchFlags expectedBase;
        MatchFlags expectedCurrent;
        GreedyMatch(Views(base), Views(current), expectedBase, expectedCurrent);
        Match(Views(base), Views(current));
        ASSERT_EQ(baseFlags, expectedBase) << "round " << round;
        ASSERT_EQ(currentFlags, expectedCurrent) << "round " << round;
    }
}

TEST_F(LocMatchLines, AgreesWithGreedyScanOnEditedFiles)
{
    // Realistic edits: a current file made from the base by changing, deleting, inserting and
    // moving lines, with many repeated lines such as braces.
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        auto base = RandomLines(rng, 400, 40);
        std::vector<std::string> current;
        std::uniform_int_distribution<int> edit(0, 19);
        for (const auto& line : base) {
            int e = edit(rng);
            if (e == 0) {
                continue;
            }
            current.push_back(e == 1 ? "changed" + line : line);
            if (e == 2) {
                current.push_back("inserted");
            }
        }
        std::rotate(current.begin(), current.begin() + static_cast<std::ptrdiff_t>(current.size() / 3),
                    current.begin() + static_cast<std::ptrdiff_t>(current.size() / 2));
        MatchFlags expectedBase;
        MatchFlags expectedCurrent;
        GreedyMatch(Views(base), Views(current), expectedBase, expectedCurrent);
        Match(Views(base), Views(current));
        ASSERT_EQ(baseFlags, expectedBase) << "round " << round;
        ASSERT_EQ(currentFlags, expectedCurrent) << "round " << round;
    }
}
