#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "platform/MbString.h"

using namespace quilvane;

namespace {
// "ア" (0x83 0x41), half-width "ｱ" (0xB1), full-width "Ａ" (0x82 0x60) and "ａ" (0x82 0x81).
const std::string KatakanaA = "\x83\x41";
const std::string HalfKatakanaA = "\xB1";
const std::string FullUpperA = "\x82\x60";
const std::string FullLowerA = "\x82\x81";
} // namespace

TEST(MbCompare, DoubleByteCharactersSortAfterSingleBytes)
{
    // Byte for byte 0x83 < 0xB1, but as a unit 0x8341 > 0xB1.
    EXPECT_GT(MbsCmp(KatakanaA, HalfKatakanaA), 0);
    EXPECT_LT(MbsCmp(HalfKatakanaA, KatakanaA), 0);
    EXPECT_EQ(MbsCmp(KatakanaA, KatakanaA), 0);
}

TEST(MbCompare, CaseCountsUnlessInsensitive)
{
    EXPECT_LT(MbsCmp("ABC", "abc"), 0);
    EXPECT_EQ(MbsICmp("ABC", "abc"), 0);
    EXPECT_EQ(MbsICmp(FullUpperA, FullLowerA), 0);
    EXPECT_NE(MbsCmp(FullUpperA, FullLowerA), 0);
    // Folding goes to lower case, so '_' (0x5F) sorts before letters, unlike an upper-case fold.
    EXPECT_LT(MbsICmp("_", "A"), 0);
}

TEST(MbCompare, PrefixIsSmaller)
{
    EXPECT_LT(MbsCmp("ab", "abc"), 0);
    EXPECT_GT(MbsICmp("ABC", "ab"), 0);
    EXPECT_EQ(MbsCmp("", ""), 0);
}

TEST(MbCompare, TrailByteIsNotReadAsAsciiLetter)
{
    // 0x83 0x61 is "a" as a trail byte: it must not fold like the ASCII 'a' (0x61).
    const std::string withTrailA = "\x83\x61";
    const std::string withTrailUpper = "\x83\x41";
    EXPECT_NE(MbsICmp(withTrailA, withTrailUpper), 0);
}

TEST(MbCompare, SortingWithFunctors)
{
    std::vector<std::string> names{"b", KatakanaA, "A", HalfKatakanaA, "a"};
    std::stable_sort(names.begin(), names.end(), MbsILess{});
    EXPECT_EQ(names, (std::vector<std::string>{"A", "a", "b", HalfKatakanaA, KatakanaA}));
    std::sort(names.begin(), names.end(), MbsLess{});
    EXPECT_EQ(names, (std::vector<std::string>{"A", "a", "b", HalfKatakanaA, KatakanaA}));
}

TEST(MbCompare, FoldedKeysOrderAndMatchAsTheCaseInsensitiveComparison)
{
    // Pairs where byte order and unit order disagree, or where folding decides.
    const std::vector<std::string> names{"",         "a",
                                         "A",        "_",
                                         "ab",       "ABC",
                                         "Prob1.cs", "prob1.CS",
                                         KatakanaA,  HalfKatakanaA,
                                         FullUpperA, FullLowerA,
                                         "\x83",     "\x83\x61",
                                         "\x83\x41", KatakanaA + "z",
                                         "z\xB1",    "Z" + KatakanaA};
    auto sign = [](int v) { return (v > 0) - (v < 0); };
    for (const auto& a : names) {
        for (const auto& b : names) {
            EXPECT_EQ(sign(MbsFoldedKey(a).compare(MbsFoldedKey(b))), sign(MbsICmp(a, b)))
                << testing::PrintToString(a) << " vs " << testing::PrintToString(b);
        }
    }
}

TEST(MbCompare, CaseInsensitivePrefix)
{
    EXPECT_TRUE(MbsIStartsWith("Prob10", "pROB1"));
    EXPECT_FALSE(MbsIStartsWith("Pr", "Prob"));
    EXPECT_TRUE(MbsIStartsWith(KatakanaA + "x", KatakanaA));
    // A lead byte alone does not match half of a character.
    EXPECT_FALSE(MbsIStartsWith(KatakanaA, "\x83"));
}

TEST(MbCompare, LoneLeadByteAtEnd)
{
    EXPECT_EQ(Cp932CharLength("a\x83", 1), 1u);
    EXPECT_EQ(Cp932CharLength(KatakanaA, 0), 2u);
    EXPECT_LT(MbsCmp("\x83", KatakanaA), 0);
}
