#include <gtest/gtest.h>

#include "platform/Archive.h"

using namespace quilvane;

namespace {

std::string Prefix(const std::string& text)
{
    ArchiveWriter w;
    w.WriteString(text);
    return w.Bytes().substr(0, w.Bytes().size() - text.size());
}

} // namespace

TEST(Archive, StringPrefixForms)
{
    EXPECT_EQ(Prefix(""), std::string(1, '\0'));
    EXPECT_EQ(Prefix(std::string(254, 'x')), "\xFE");
    EXPECT_EQ(Prefix(std::string(255, 'x')), std::string("\xFF\xFF\x00", 3));
    EXPECT_EQ(Prefix(std::string(65533, 'x')), "\xFF\xFD\xFF");
    EXPECT_EQ(Prefix(std::string(65534, 'x')), std::string("\xFF\xFF\xFF\xFE\xFF\x00\x00", 7));
}

TEST(Archive, ReadsBackWhatWasWritten)
{
    ArchiveWriter w;
    w.WriteI32(-7);
    w.WriteF64(0.1);
    for (std::size_t n : {0, 1, 254, 255, 65533, 65534, 70000}) {
        w.WriteString(std::string(n, 'a'));
    }
    ArchiveReader r(w.Bytes());
    std::int32_t i = 0;
    double d = 0;
    ASSERT_TRUE(r.ReadI32(i));
    ASSERT_TRUE(r.ReadF64(d));
    EXPECT_EQ(i, -7);
    EXPECT_EQ(d, 0.1);
    for (std::size_t n : {0, 1, 254, 255, 65533, 65534, 70000}) {
        std::string s;
        ASSERT_TRUE(r.ReadString(s));
        EXPECT_EQ(s.size(), n);
    }
    EXPECT_EQ(r.Remaining(), 0u);
}

TEST(Archive, ReadsUtf16Strings)
{
    // 0xFF 0xFFFE announces UTF-16; a one-byte count of 2 characters follows: "Aあ".
    const std::string rBytes("\xFF\xFE\xFF\x02"
                             "A\0\x42\x30",
                             8);
    ArchiveReader r(rBytes);
    std::string s;
    ASSERT_TRUE(r.ReadString(s));
    EXPECT_EQ(s, "A\x82\xA0");
    // The long form after the marker: 0xFF, 16-bit count 1.
    const std::string r2Bytes("\xFF\xFE\xFF\xFF\x01\x00"
                              "B\0",
                              8);
    ArchiveReader r2(r2Bytes);
    ASSERT_TRUE(r2.ReadString(s));
    EXPECT_EQ(s, "B");
}

TEST(Archive, RejectsLengthsAndCountsBeyondTheEnd)
{
    std::string s = "unchanged";
    const std::string tooLongBytes("\x05"
                                   "abc",
                                   4);
    ArchiveReader tooLong(tooLongBytes);
    EXPECT_FALSE(tooLong.ReadString(s));
    EXPECT_EQ(s, "unchanged");
    EXPECT_NE(tooLong.Error().find("残り"), std::string::npos);

    // A 32-bit length of 4 GiB must fail before anything is allocated.
    const std::string hugeBytes("\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 7);
    ArchiveReader huge(hugeBytes);
    EXPECT_FALSE(huge.ReadString(s));

    const std::string doubleMarkerBytes("\xFF\xFE\xFF\xFF\xFE\xFF\x00", 7);

    ArchiveReader doubleMarker(doubleMarkerBytes);
    EXPECT_FALSE(doubleMarker.ReadString(s));

    std::int32_t count = 42;
    const std::string negativeBytes("\xFF\xFF\xFF\xFF", 4);
    ArchiveReader negative(negativeBytes);
    EXPECT_FALSE(negative.ReadCount(count, 1));
    EXPECT_EQ(count, 42);
    const std::string tooManyBytes("\x03\x00\x00\x00"
                                   "abcdefgh",
                                   12);
    ArchiveReader tooMany(tooManyBytes);
    EXPECT_FALSE(tooMany.ReadCount(count, 3));
    const std::string fitsBytes("\x03\x00\x00\x00"
                                "abcdefghi",
                                13);
    ArchiveReader fits(fitsBytes);
    EXPECT_TRUE(fits.ReadCount(count, 3));
    EXPECT_EQ(count, 3);

    std::int32_t i = 5;
    const std::string shortIntBytes("\x01\x02", 2);
    ArchiveReader shortInt(shortIntBytes);
    EXPECT_FALSE(shortInt.ReadI32(i));
    EXPECT_EQ(i, 5);
}
