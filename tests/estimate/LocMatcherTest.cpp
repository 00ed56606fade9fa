#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "estimate/LineMatcher.h"
#include "estimate/LocScanners.h"
#include "tests/estimate/GreedyScan.h"

using namespace quilvane;

namespace {

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

std::vector<std::string_view> Views(const LineTable& table)
{
    std::vector<std::string_view> views;
    for (std::size_t i = 0; i < table.size(); ++i) {
        views.push_back(table[i]);
    }
    return views;
}

// The lines joined into one C# file, so that the matcher also runs over an image's line table.
std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines) {
        text += line + "\n";
    }
    return text;
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
        // The same files through the line tables of their images.
        CsImage baseImage(Joined(base));
        CsImage currentImage(Joined(current));
        GreedyMatch(Views(baseImage.LineKeys()), Views(currentImage.LineKeys()), expectedBase,
                    expectedCurrent);
        MatchLines(baseImage.LineKeys(), currentImage.LineKeys(), baseFlags, currentFlags);
        ASSERT_EQ(baseFlags, expectedBase) << "table round " << round;
        ASSERT_EQ(currentFlags, expectedCurrent) << "table round " << round;
    }
}

TEST_F(LocMatchLines, AgreesWithGreedyRuleOnManyShortLines)
{
    // Every line of up to two bytes, many of them repeated, and a few longer ones: far more
    // lines than the index has cells for lines, but never more groups than it has room for.
    std::vector<std::string> contents{""};
    for (int a = 0; a < 256; ++a) {
        contents.emplace_back(1, static_cast<char>(a));
        for (int b = 0; b < 256; ++b) {
            contents.push_back({static_cast<char>(a), static_cast<char>(b)});
        }
    }
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> kind(0, 99);
    auto make = [&](std::size_t repeats) {
        std::vector<std::string> lines = contents;
        for (std::size_t i = 0; i < repeats; ++i) {
            int k = kind(rng);
            if (k == 0) {
                lines.push_back("long" + std::to_string(i % 70));
            } else {
                lines.push_back(k < 50 ? "}" : contents[(i * 7) % 300]);
            }
        }
        std::shuffle(lines.begin(), lines.end(), rng);
        return lines;
    };
    auto base = make(90000);
    auto current = make(80000);
    MatchFlags expectedBase;
    MatchFlags expectedCurrent;
    // The greedy rule through ordered position sets: the plain scan is quadratic at this size.
    auto expect = [&](const std::vector<std::string_view>& baseLines,
                      const std::vector<std::string_view>& currentLines) {
        std::map<std::string_view, std::set<std::size_t>> free;
        for (std::size_t k = 0; k < currentLines.size(); ++k) {
            free[currentLines[k]].insert(k);
        }
        expectedBase.assign(baseLines.size(), 0);
        expectedCurrent.assign(currentLines.size(), 0);
        std::size_t low = 0;
        for (std::size_t j = 0; j < baseLines.size(); ++j) {
            auto group = free.find(baseLines[j]);
            if (group == free.end()) {
                continue;
            }
            auto k = group->second.lower_bound(low);
            if (k == group->second.end()) {
                continue;
            }
            expectedBase[j] = 1;
            expectedCurrent[*k] = 1;
            low += *k == low ? 1 : 0;
            group->second.erase(k);
        }
    };
    expect(Views(base), Views(current));
    Match(Views(base), Views(current));
    EXPECT_EQ(baseFlags, expectedBase);
    EXPECT_EQ(currentFlags, expectedCurrent);
    // The same through the line tables of images of the joined lines.
    CsImage baseImage(Joined(base));
    CsImage currentImage(Joined(current));
    expect(Views(baseImage.LineKeys()), Views(currentImage.LineKeys()));
    MatchLines(baseImage.LineKeys(), currentImage.LineKeys(), baseFlags, currentFlags);
    EXPECT_EQ(baseFlags, expectedBase);
    EXPECT_EQ(currentFlags, expectedCurrent);
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
