#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "overview/OverviewLogic.h"
#include "platform/FileIo.h"
#include "registration/Registration.h"
#include "tests/TempFolder.h"

using namespace quilvane;

TEST(OverviewPhasesText, ParsesLinesAsTyped)
{
    EXPECT_EQ(ParsePhasesText("A\r\nB\r\n"), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(ParsePhasesText("A\r\n\r\nB"), (std::vector<std::string>{"A", "", "B"}));
    EXPECT_EQ(ParsePhasesText(""), (std::vector<std::string>{""}));
    EXPECT_EQ(ParsePhasesText(" A "), (std::vector<std::string>{" A "}));
    EXPECT_EQ(PhasesToText({{"A", 1, 2, 3}, {"B", 0, 0, 0}}), "A\r\nB\r\n");
}

TEST(OverviewPhasesText, OnlyTheFirst1023BytesCount)
{
    // 100 lines of 10 bytes plus LF = 1100 bytes: the 94th line ends at byte 1034, so 93 whole
    // lines survive and the cut 94th is dropped.
    std::string text;
    for (int i = 0; i < 100; ++i) {
        text += "phase-" + std::to_string(1000 + i) + "\r\n";
    }
    auto names = ParsePhasesText(text);
    ASSERT_EQ(names.size(), 93u);
    EXPECT_EQ(names.back(), "phase-1092");
    // A line ending exactly at byte 1023 is kept.
    std::string exact = std::string(1022, 'x') + "\n" + "tail\n";
    EXPECT_EQ(ParsePhasesText(exact), (std::vector<std::string>{std::string(1022, 'x')}));
}

TEST(OverviewPhaseTable, MovedPhasesKeepTheirFiguresAndNewOnesStartAtZero)
{
    std::vector<PhaseRecord> current{{"A", 10, 11, 12}, {"B", 20, 21, 22}, {"A", 99, 99, 99}};
    auto table = RebuildPhaseTable(current, {"B", "A", "C", ""});
    EXPECT_EQ(table, (std::vector<PhaseRecord>{
                         {"B", 20, 21, 22}, {"A", 10, 11, 12}, {"C", 0, 0, 0}, {"", 0, 0, 0}}));
}

TEST(OverviewUserName, PlaceholderIsRefusedButLowerCaseAccepted)
{
    EXPECT_FALSE(IsUsableUserName("YOUR NAME"));
    EXPECT_FALSE(IsUsableUserName(""));
    EXPECT_TRUE(IsUsableUserName("your name"));
}

TEST(OverviewUserName, WhiteSpaceOfAnyKindIsFound)
{
    struct Case {
        const char* name;
        bool blank;
    };
    const Case cases[] = {
        {"\x8E\x52\x93\x63", false},                 // 山田
        {"\x8E\x52\x93\x63 \x91\xBE\x98\x59", true}, // 山田 太郎
        {"\x8E\x52\x93\x63\x81\x40", true},          // ideographic space
        {"Taro\t", true},
        {"Taro\r\n", true},
        {" ", true},
        {"\x83\x5C", false}, // ソ: no byte of it is a blank
        {"\x81\x41", false}, // 、 shares its lead byte with the ideographic space
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HasWhiteSpace(c.name), c.blank) << c.name;
    }
}

TEST(OverviewAddress, ProgramFolderAndProjectWithSlashes)
{
    EXPECT_EQ(ProblemPageAddress("C:\\PSP", "kadai1"), "file://C:/PSP/prob/htm/kadai1.htm");
    EXPECT_EQ(ProblemPageAddress("/opt/psp", "kadai1"), "file:///opt/psp/prob/htm/kadai1.htm");
    // The stored name is the page's name on disk, below a folder that holds Japanese itself.
    EXPECT_EQ(ProblemPageAddress("/home/s/演習", "\x89\xDB\x91\xE8\x31"),
              "file:///home/s/演習/prob/htm/課題1.htm");
    EXPECT_EQ(ProblemPagePath("/opt/psp", "\x83\x5C"), "/opt/psp/prob/htm/ソ.htm");
    EXPECT_EQ(ProblemPageAddress("/opt/psp", "x\x83"), std::nullopt);
}

TEST(FolderNames, OnlyPlainNamesMayBecomeFolders)
{
    EXPECT_TRUE(IsSafeFolderName("Prob1"));
    EXPECT_TRUE(IsSafeFolderName("\x83\x5C")); // "ソ": its second byte is 0x5C
    EXPECT_FALSE(IsSafeFolderName(""));
    EXPECT_FALSE(IsSafeFolderName("."));
    EXPECT_FALSE(IsSafeFolderName(".."));
    EXPECT_FALSE(IsSafeFolderName("a/b"));
    EXPECT_FALSE(IsSafeFolderName("..\\x"));
}

namespace {

class ProblemPages : public ::testing::Test {
protected:
    void Page(const std::string& name, const std::string& text)
    {
        std::filesystem::create_directories(dir_.Path("prob/htm"));
        ASSERT_TRUE(WriteFileAtomically(dir_.Path("prob/htm/" + name), text).Ok());
    }
    void Folder(const std::string& name) { std::filesystem::create_directories(dir_.Path(name)); }

    TempFolder dir_;
};

} // namespace

TEST_F(ProblemPages, OnlyPagesWhoseBaseExistsAreOfferedAndTheNextIsProposed)
{
    Page("a.htm", "<html><base>x</base>\r\n");
    Page("b.htm", "<p>\r\n<base>a</base></p>\r\n");
    Page("c.htm", "<base>b</base>");
    Page("psp.HTM", "<base>x</base>");
    Page("notes.txt", "<base>x</base>");
    Folder("x");
    Folder("a");
    // A FIFO or a folder under a page's name is passed over without blocking the list.
    ASSERT_EQ(mkfifo(dir_.Path("prob/htm/d.htm").c_str(), 0600), 0);
    Folder("prob/htm/e.htm");
    auto pages = ListProblemPages(dir_.Root());
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].exercise, "a");
    EXPECT_EQ(pages[1].base, "a");

    auto choices = BuildNewProjectChoices(pages, "a");
    EXPECT_EQ(choices.exercises, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(choices.bases, (std::vector<std::string>{"a", "x"}));
    ASSERT_TRUE(choices.proposed.has_value());
    EXPECT_EQ(*choices.proposed, 1u);

    EXPECT_FALSE(BuildNewProjectChoices(pages, "b").proposed.has_value());
    EXPECT_EQ(BuildNewProjectChoices(pages, "zzz").proposed, 0u);
    EXPECT_EQ(BuildNewProjectChoices(pages, "").proposed, 0u);
}

TEST_F(ProblemPages, JapaneseNamesOnDiskBecomeStoredNames)
{
    // Page and folder names on disk are UTF-8; the base inside the page is CP932 text.
    Page("課題2.htm", "<base>\x89\xDB\x91\xE8\x31</base>\r\n"); // 課題1
    Page("課題3.htm", "<base>\x89\xDB\x91\xE8\x32</base>\r\n"); // 課題2, no folder
    Page("絵😀.htm", "<base>x</base>");                          // no CP932 form
    Folder("課題1");
    Folder("x");
    auto pages = ListProblemPages(dir_.Root());
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0].exercise, "\x89\xDB\x91\xE8\x32");
    EXPECT_EQ(pages[0].base, "\x89\xDB\x91\xE8\x31");
    auto path = ProblemPagePath(dir_.Root(), pages[0].exercise);
    ASSERT_TRUE(path.has_value());
    EXPECT_EQ(ReadBaseTag(*path), "\x89\xDB\x91\xE8\x31");
}

TEST_F(ProblemPages, BaseTagMustFallIntoOneChunkOfOneLine)
{
    Page("split.htm", "<base>a\r\n</base>");
    EXPECT_EQ(ReadBaseTag(dir_.Path("prob/htm/split.htm")), "");
    // The tag starts at byte 120 of a long line: "</base>" lies beyond the 127-byte chunk.
    Page("long.htm", std::string(120, ' ') + "<base>a</base>");
    EXPECT_EQ(ReadBaseTag(dir_.Path("prob/htm/long.htm")), "");
    Page("fits.htm", std::string(100, ' ') + "<base> a b</base>");
    EXPECT_EQ(ReadBaseTag(dir_.Path("prob/htm/fits.htm")), " a b");
    Page("upper.htm", "<BASE>a</BASE>");
    EXPECT_EQ(ReadBaseTag(dir_.Path("prob/htm/upper.htm")), "");
    EXPECT_EQ(ReadBaseTag(dir_.Path("prob/htm/missing.htm")), "");
}

TEST(NewProjectChoicesTest, BasesThatArePrefixesAreListedOnce)
{
    std::vector<ProblemPage> pages{{"e1", "projA"}, {"e2", "proj"}, {"e3", "projA"}, {"e4", "other"}};
    auto choices = BuildNewProjectChoices(pages, "");
    EXPECT_EQ(choices.bases, (std::vector<std::string>{"other", "projA"}));
    EXPECT_EQ(FindPrefix(choices.bases, "PROJ"), 1u);
    EXPECT_FALSE(FindPrefix(choices.bases, "none").has_value());
}
