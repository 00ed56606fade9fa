#include <gtest/gtest.h>

#include "platform/Cp932.h"

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
    EXPECT_EQ(Cp932ToUtf8("a\xA0" "b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(Utf8ToCp932("a😀b"), "a?b");
}

TEST(Cp932, LosslessRoundTripKeepsEveryByteString)
{
    // NEC and IBM duplicates (0x8790 and 0x81E0 are both U+2252), stray bytes, a lone lead byte,
    // and bytes that would decode to the private range used for raw bytes.
    const std::string samples[] = {
        "plain ascii", "\x87\x90\x81\xE0", "\xA0\xFD\xFE\xFF", "x\x83", "\xF0\x40\xF9\xFC",
        "\xED\x40\xFA\x5C", std::string("\0\x01", 2), "\x82\xA0\x82\xA2\x82\xA4",
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
