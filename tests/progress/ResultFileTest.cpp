// Parsing and reading of a project's result line.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "progress/DirectoryScan.h"
#include "progress/ProgressCollector.h"
#include "progress/ResultFile.h"
#include "tests/progress/TessalineTestFolder.h"

namespace tessaline {
namespace {

TEST(TessalineResultLine, ReadsThreeBlankSeparatedFields)
{
    const auto line = ParseResultLine(" \talice  P1\t 80% done");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->userName, "alice");
    EXPECT_EQ(line->projectName, "P1");
    EXPECT_EQ(line->percentage, 80);
}

TEST(TessalineResultLine, DoubleByteNamesSplitOnlyAtBlanks)
{
    // The trail byte 0x5C ('\') must not be taken for anything special.
    const auto line = ParseResultLine("\x95\x5C\x8E\xA6 Prob\x82\xA0 -3");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->userName, "\x95\x5C\x8E\xA6");
    EXPECT_EQ(line->projectName, "Prob\x82\xA0");
    EXPECT_EQ(line->percentage, -3);
}

TEST(TessalineResultLine, MissingOrNonNumericThirdFieldIsRefused)
{
    EXPECT_FALSE(ParseResultLine("alice P1"));
    EXPECT_FALSE(ParseResultLine("alice P1 "));
    EXPECT_FALSE(ParseResultLine("alice P1 %80"));
    EXPECT_FALSE(ParseResultLine("alice P1 -"));
    EXPECT_FALSE(ParseResultLine(""));
}

TEST(TessalineResultLine, NumberOutside32BitsIsRefused)
{
    EXPECT_EQ(ParseResultLine("a b 2147483647")->percentage, 2147483647);
    EXPECT_EQ(ParseResultLine("a b -2147483648")->percentage, -2147483647 - 1);
    EXPECT_FALSE(ParseResultLine("a b 2147483648"));
    EXPECT_FALSE(ParseResultLine("a b -2147483649"));
    EXPECT_FALSE(ParseResultLine("a b 99999999999999999999999"));
}

TEST(TessalineResultLine, FieldLongerThan255BytesIsRefused)
{
    EXPECT_TRUE(ParseResultLine(std::string(255, 'u') + " p 1"));
    EXPECT_FALSE(ParseResultLine(std::string(256, 'u') + " p 1"));
    EXPECT_FALSE(ParseResultLine("u " + std::string(256, 'p') + " 1"));
    EXPECT_EQ(ParseResultLine("u p " + std::string(250, '0') + "42")->percentage, 42);
    EXPECT_FALSE(ParseResultLine("u p " + std::string(256, '0')));
}

TEST(TessalineResultLine, OnlyNamesThatCouldBeOneFolderAreAccepted)
{
    // 表 (0x95 0x5C) has '\' as its trail byte; ｱ is a single-byte katakana.
    for (const char* name : {"alice", "P1", ".git", "a.b", "\x95\x5C\x8E\xA6", "\xB1", "a b"}) {
        EXPECT_TRUE(CouldBeFolderName(name)) << name;
    }
    for (const char* name :
         {"", ".", "..", "a/b", "a\\b", "C:", "a\x01", "a\x1F", "a\x7F", "a\x81", "\xFF"}) {
        EXPECT_FALSE(CouldBeFolderName(name)) << name;
    }
}

TEST(TessalineResultLine, UserFieldRanksByTheFolderItLiesInAndTheFoldersThere)
{
    // Ａ (0x82 0x60) and ａ (0x82 0x81) are one letter in two cases, as for the original file system.
    using R = ResultRank;
    const struct {
        const char* user;
        const char* folder;
        std::vector<std::string> folders;
        ResultRank rank;
    } cases[] = {
        {"alice", "alice", {"alice", "Alice"}, R::OwnFolder},
        {"Alice", "aLICE", {"aLICE", "bob"}, R::OnlyCaseVariantFolder},
        {"\x82\x60", "\x82\x81", {"\x82\x81"}, R::OnlyCaseVariantFolder},
        // The user's own folder exists: no other folder may fill the cell, in any case.
        {"Alice", "aLICE", {"Alice", "aLICE"}, R::Refused},
        {"alice", "bob", {"alice", "bob"}, R::Refused},
        // Two folders match ignoring case and neither exactly: neither may claim the cell.
        {"alice", "aLICE", {"ALICE", "aLICE"}, R::Refused},
        // A renamed student, or a copy filed under another folder: nobody else's folder is taken.
        {"alice", "alice2", {"alice2"}, R::UserWithoutFolder},
        {"\x8E\x52", "\x8E\x53", {"\x8E\x53"}, R::UserWithoutFolder},
        {"a:b", "a:b", {"a:b"}, R::Refused},
        {"\\\\h\\s", "x", {"x"}, R::Refused},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RankResult({c.user, "P", 1}, c.folder, UserFolderNames(c.folders)), c.rank)
            << c.user << " in " << c.folder;
    }
    EXPECT_EQ(RankResult({"alice", "..", 1}, "alice", UserFolderNames({"alice"})), ResultRank::Refused);
}

class TessalineFirstLine : public ::testing::Test {
protected:
    std::optional<std::string> Read(const std::string& bytes)
    {
        folder.WriteFile("f", bytes);
        const int fd = ::open(folder.PathOf("f").c_str(), O_RDONLY);
        auto line = ReadFirstLine(fd);
        ::close(fd);
        return line;
    }

    test::TestFolder folder;
};

TEST_F(TessalineFirstLine, EndsAtLfOrCrLfButKeepsALoneCr)
{
    EXPECT_EQ(Read("a b 1\r\nc d 2\r\n"), "a b 1");
    EXPECT_EQ(Read("a b 1\nc"), "a b 1");
    EXPECT_EQ(Read("a\rb 1"), "a\rb 1");
    EXPECT_EQ(Read("no line end"), "no line end");
    EXPECT_EQ(Read(""), "");
}

TEST_F(TessalineFirstLine, IsCutAfter255BytesCountingCrLfAsOne)
{
    EXPECT_EQ(Read(std::string(300, 'x')), std::string(255, 'x'));
    EXPECT_EQ(Read(std::string(254, 'x') + "\r\n"), std::string(254, 'x'));
    EXPECT_EQ(Read(std::string(254, 'x') + "\ry"), std::string(254, 'x') + "\r");
}

TEST_F(TessalineFirstLine, StopsAtANulByte)
{
    EXPECT_EQ(Read(std::string("a b\0 1\n", 7)), "a b");
}

TEST_F(TessalineFirstLine, UnreadableDescriptorGivesNothing)
{
    EXPECT_FALSE(ReadFirstLine(-1));
    folder.MakeDirectory("d");
    const int fd = ::open(folder.PathOf("d").c_str(), O_RDONLY);
    EXPECT_FALSE(ReadFirstLine(fd));
    ::close(fd);
}

TEST_F(TessalineFirstLine, ResultFileCarriesTheModificationTime)
{
    folder.WriteFile("P/result.txt", "u P 5\r\n", test::Christmas2003);
    const auto result = ReadResultFile(folder.PathOf("P"));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->stamp, test::Christmas2003);
    EXPECT_EQ(result->line.percentage, 5);
}

TEST_F(TessalineFirstLine, ExactFileNameWinsOverOtherSpellings)
{
    folder.WriteFile("P/RESULT.TXT", "u P 1\r\n");
    folder.WriteFile("P/result.txt", "u P 2\r\n");
    folder.MakeDirectory("Q/result.txt");
    EXPECT_EQ(ReadResultFile(folder.PathOf("P"))->line.percentage, 2);
    EXPECT_FALSE(ReadResultFile(folder.PathOf("Q")));
    EXPECT_FALSE(ReadResultFile(folder.PathOf("missing")));
}

} // namespace
} // namespace tessaline
