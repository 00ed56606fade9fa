#include <gtest/gtest.h>

#include "platform/Cp932.h"
#include "platform/PathNames.h"
#include "platform/ProgramFolder.h"

using namespace quilvane;

TEST(Cp932, ConvertsBothWays)
{
    const std::string neutral = "\x83\x6A\x83\x85\x81\x5B\x83\x67\x83\x89\x83\x8B";
    EXPECT_EQ(Cp932ToUtf8(neutral), "ニュートラル");
    EXPECT_EQ(Utf8ToCp932("ニュートラル"), neutral);
    // 0x5C as a trail byte ("ソ" is 0x83 0x5C) stays part of its character.
    EXPECT_EQ(Cp932ToUtf8("\x83\x5C"), "ソ");
}

TEST(Cp932, UnconvertibleInputIsReplacedNotDropped)
{
    EXPECT_EQ(Cp932ToUtf8("a\xA0"
                          "b"),
              "a\xEF\xBF\xBD"
              "b");
    EXPECT_EQ(Utf8ToCp932("a😀b"), "a?b");
}

TEST(Cp932, LosslessRoundTripKeepsEveryByteString)
{
    // NEC and IBM duplicates (0x8790 and 0x81E0 are both U+2252), stray bytes, a lone lead byte,
    // and bytes that would decode to the private range used for raw bytes.
    const std::string samples[] = {
        "plain ascii",      "\x87\x90\x81\xE0", "\xA0\xFD\xFE\xFF",       "x\x83",
        "\xF0\x40\xF9\xFC", "\xED\x40\xFA\x5C", std::string("\0\x01", 2), "\x82\xA0\x82\xA2\x82\xA4",
    };
    for (const auto& s : samples) {
        std::string utf8 = Cp932ToUtf8Lossless(s);
        auto back = Utf8ToCp932Lossless(utf8);
        ASSERT_TRUE(back.has_value()) << s;
        EXPECT_EQ(*back, s);
    }
    EXPECT_EQ(Cp932ToUtf8Lossless("\x82\xA0"), "あ");
    EXPECT_FALSE(Utf8ToCp932Lossless("\xC3").has_value());
}

TEST(Cp932, Utf16Text)
{
    EXPECT_EQ(Utf16LeToCp932(std::string("A\0\x42\x30", 4)), std::string("A\x82\xA0"));
    EXPECT_FALSE(Utf16LeToCp932("abc").has_value());
}

TEST(PathNames, StoredNamesBecomeSystemPathsAndBack)
{
    struct Case {
        std::string stored;
        std::optional<std::string> disk; // nullopt: refused
    };
    const Case cases[] = {
        {"Prob1", "Prob1"},
        {"\x8E\x52\x93\x63", "山田"},
        // A trail byte 0x5C ("表" is 0x95 0x5C) is no separator; a lone '\' is.
        {"R\\\x95\x5C\\p", "R/表/p"},
        {"/home/\x8B\xA4\x97\x4C/\x93\x6F\x98\x5E", "/home/共有/登録"},
        // Bytes that are no CP932 character must not become some other folder.
        {"a\xA0"
         "b",
         std::nullopt},
        {"x\x83", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(StoredToDiskPath(c.stored), c.disk) << c.stored;
        if (c.disk) {
            EXPECT_EQ(DiskToStoredName(*c.disk), ToSlashes(c.stored)) << *c.disk;
        }
    }
    // Names on disk that CP932 cannot hold, or that are no UTF-8 at all, are refused.
    EXPECT_FALSE(DiskToStoredName("a😀b").has_value());
    EXPECT_FALSE(DiskToStoredName("caf\xC3").has_value());
    EXPECT_NE(UnstorableNameMessage("a😀b").find("a😀b"), std::string::npos);
}
