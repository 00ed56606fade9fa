// The bytes of result.htm for registration folders built on the spot.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "Tessaline.h"
#include "TessalineTestFolder.h"

namespace tessaline::test {
namespace {

class TessalinePage : public ::testing::Test {
protected:
    std::string Generate(CalendarDateFn toDate = UtcDate)
    {
        EXPECT_EQ(GenerateProgressReport(folder.Path(), toDate), ExitPageWritten);
        return folder.ReadFile("result.htm");
    }

    static std::string Page(const std::string& projectColumns, const std::string& rows)
    {
        return ExpectedHeader() + projectColumns + "</tr>\r\n" + rows + ExpectedFooter();
    }

    static std::string Link(const std::string& user, const std::string& project, const std::string& file)
    {
        return " &nbsp; <a href=\"" + user + "\\" + project + "\\" + file + "\">" + file + "</a>";
    }

    TestFolder folder;
};

TEST_F(TessalinePage, NoResultAnywhereGivesTheCornerCellOnly)
{
    folder.WriteFile("Tessaline.exe", "not a folder");
    folder.MakeDirectory("alice/P1");
    folder.WriteFile("alice/P1/work.psp", "x");
    folder.MakeDirectory("bob");
    EXPECT_EQ(Generate(), Page("", ""));
}

TEST_F(TessalinePage, SecondUserGetsAnEmptyCellUnderTheProjectItLacks)
{
    folder.WriteResult("bob/B", "bob B 40", Christmas2003);
    folder.WriteResult("alice/B", "alice B 100", Christmas2003);
    folder.WriteResult("alice/A", "alice A 80");
    EXPECT_EQ(Generate(), Page("<td>A</td><td>B</td>",
                               "<tr><td>alice</td>" + ExpectedCell("2003/7/5", "80", "alice", "A") +
                                   ExpectedCell("2003/12/25", "100", "alice", "B") + "</tr>\r\n" +
                                   "<tr><td>bob</td><td></td>" +
                                   ExpectedCell("2003/12/25", "40", "bob", "B") + "</tr>\r\n"));
}

TEST_F(TessalinePage, UsersDifferingInCaseGetTwoRowsUpperCaseFirst)
{
    folder.WriteResult("bob/P", "bob P 1");
    folder.WriteResult("Bob/P", "Bob P 2");
    EXPECT_EQ(Generate(), Page("<td>P</td>", "<tr><td>Bob</td>" + ExpectedCell("2003/7/5", "2", "Bob", "P") +
                                                 "</tr>\r\n<tr><td>bob</td>" +
                                                 ExpectedCell("2003/7/5", "1", "bob", "P") + "</tr>\r\n"));
}

TEST_F(TessalinePage, NamesOrderAsUnsignedBytes)
{
    // "亜" (0x88 0x9F) sorts after every ASCII name; a prefix sorts before its extensions.
    const std::string kanji = "\x88\x9F";
    folder.WriteResult(Disk(kanji) + "/p", kanji + " ab 1");
    folder.WriteResult("ab/p", "ab a 2");
    folder.WriteResult("a/p", "a " + kanji + " 3");
    const std::string page = Generate();
    EXPECT_NE(page.find("<tr><td></td><td>a</td><td>ab</td><td>" + kanji + "</td></tr>\r\n"),
              std::string::npos);
    const auto a = page.find("<tr><td>a</td>");
    const auto ab = page.find("<tr><td>ab</td>");
    const auto k = page.find("<tr><td>" + kanji + "</td>");
    ASSERT_NE(k, std::string::npos);
    EXPECT_LT(a, ab);
    EXPECT_LT(ab, k);
}

TEST_F(TessalinePage, SameUserAndProjectTwiceGiveOneCellFromTheFileReadLast)
{
    folder.WriteResult("alice/P", "alice P 10");
    folder.WriteResult("alice/P-copy", "alice P 20", Christmas2003);
    // Read last, but lying in another student's folder: it may not change alice's cell.
    folder.WriteResult("zz/elsewhere", "alice P 30");
    folder.WriteResult("alice/Q", "alice Q 5");
    EXPECT_EQ(Generate(), Page("<td>P</td><td>Q</td>",
                               "<tr><td>alice</td>" + ExpectedCell("2003/12/25", "20", "alice", "P") +
                                   ExpectedCell("2003/7/5", "5", "alice", "Q") + "</tr>\r\n"));
}

TEST_F(TessalinePage, LineWithTwoFieldsIsIgnoredEvenForARegisteredProject)
{
    folder.WriteResult("alice/P", "alice P");
    folder.WriteFile("alice/P/work.psp", "x");
    folder.WriteResult("alice/Q", "alice Q many");
    EXPECT_EQ(Generate(), Page("", ""));
}

TEST_F(TessalinePage, ProjectFilesAreLinkedAfterThePspLinkInNameOrder)
{
    folder.WriteResult("alice/P", "alice P 75");
    folder.WriteFile("alice/P/work.psp", "x");
    folder.WriteFile("alice/P/P.sln", "x");
    folder.WriteFile("alice/P/P.csproj", "x");
    folder.WriteFile("alice/P/Program.cs", "x");
    folder.WriteFile("alice/P/P", "no dot, no link");
    EXPECT_EQ(Generate(), Page("<td>P</td>", "<tr><td>alice</td>" +
                                                 ExpectedCell("2003/7/5", "75", "alice", "P",
                                                              Link("alice", "P", "P.csproj") +
                                                                  Link("alice", "P", "P.sln")) +
                                                 "</tr>\r\n"));
}

TEST_F(TessalinePage, LinkedFilesAreFoundIgnoringCaseAndLinkedUnderTheFoldersOwnNames)
{
    // The result lies in another project folder of its user; the links follow the names written
    // in it, ignoring case, and spell the folders as they are, so a browser finds them.
    folder.WriteResult("Alice/upload", "alice PROJ 60");
    folder.WriteFile("Alice/proj/work.psp", "x");
    folder.WriteFile("Alice/proj/Proj.sln", "x");
    folder.WriteFile("Alice/proj/proj.CSPROJ", "x");
    const std::string page = Generate();
    EXPECT_EQ(page, Page("<td>PROJ</td>", "<tr><td>alice</td>" +
                                              ExpectedCell("2003/7/5", "60", "Alice", "proj",
                                                           Link("Alice", "proj", "Proj.sln") +
                                                               Link("Alice", "proj", "proj.CSPROJ")) +
                                              "</tr>\r\n"));
    for (const std::string& path : ResolveLinksLikeABrowser(page, folder.Path())) {
        EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
    }
}

TEST_F(TessalinePage, ResultFileNameIsMatchedIgnoringCase)
{
    folder.WriteFile("alice/P/RESULT.TXT", "alice P 55\r\n");
    EXPECT_EQ(Generate(), Page("<td>P</td>", "<tr><td>alice</td>" +
                                                 ExpectedCell("2003/7/5", "55", "alice", "P") + "</tr>\r\n"));
}

TEST_F(TessalinePage, NamesBeginningWithADotAreNeverLookedAt)
{
    folder.WriteResult(".hidden/P", "hidden P 1");
    folder.WriteResult("alice/.P", "alice dot 2");
    folder.WriteResult("alice/P", "alice P 3");
    EXPECT_EQ(Generate(), Page("<td>P</td>", "<tr><td>alice</td>" +
                                                 ExpectedCell("2003/7/5", "3", "alice", "P") + "</tr>\r\n"));
}

TEST_F(TessalinePage, MarkupInNamesIsEscaped)
{
    folder.WriteResult("a&b/<P>", "a&b <P>\"x 9");
    folder.WriteFile("a&b/<P>\"x/<P>\"x.sln", "x");
    const std::string user = "a&amp;b";
    const std::string project = "&lt;P&gt;&quot;x";
    EXPECT_EQ(Generate(),
              Page("<td>" + project + "</td>", "<tr><td>" + user + "</td>" +
                                                   ExpectedCell("2003/7/5", "9", user, project,
                                                                Link(user, project, "&lt;P&gt;&quot;x.sln")) +
                                                   "</tr>\r\n"));
}

TEST_F(TessalinePage, OverlongFieldMakesTheFileCountAsAbsent)
{
    folder.WriteResult("alice/P", std::string(300, 'u') + " P 50");
    folder.WriteResult("alice/Q", "alice Q " + std::string(300, '7'));
    EXPECT_EQ(Generate(), Page("", ""));
}

TEST_F(TessalinePage, OnlyTheFirst255BytesOfTheFirstLineAreRead)
{
    // The number straddles byte 255, so only its first digits are read; the second line is ignored.
    const std::string user(249, 'u');
    folder.WriteFile(user + "/P/result.txt", user + " P 1234 trailing\r\nother Q 1\r\n");
    EXPECT_EQ(Generate(), Page("<td>P</td>", "<tr><td>" + user + "</td>" +
                                                 ExpectedCell("2003/7/5", "123", user, "P") + "</tr>\r\n"));
}

TEST_F(TessalinePage, UnconvertibleStampStillGivesACell)
{
    folder.WriteResult("alice/P", "alice P 10");
    const CalendarDateFn failing = [](std::time_t, std::tm&) { return false; };
    EXPECT_EQ(
        Generate(failing),
        Page("<td>P</td>", "<tr><td>alice</td>" + ExpectedCell("?/?/?", "10", "alice", "P") + "</tr>\r\n"));
}

TEST_F(TessalinePage, RunReplacesAnEarlierPageWithoutLeavingFilesBehind)
{
    folder.WriteFile("result.htm", "old page");
    folder.WriteResult("alice/P", "alice P 10");
    const std::string page = Generate();
    EXPECT_EQ(page.rfind(ExpectedHeader(), 0), 0u);
    EXPECT_EQ(folder.CountEntries(), 2); // alice and result.htm
}

TEST_F(TessalinePage, MissingFolderGivesExitCodeOneAndNoPage)
{
    EXPECT_EQ(GenerateProgressReport(folder.PathOf("missing"), UtcDate), ExitFolderUnreadable);
    EXPECT_FALSE(folder.Exists("missing/result.htm"));
}

} // namespace
} // namespace tessaline::test
