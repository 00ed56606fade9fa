// The bytes of result.htm for registration folders built on the spot.
#include <gtest/gtest.h>

#include <climits>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <sys/inotify.h>
#include <unistd.h>
#include <vector>

#include "progress/Tessaline.h"
#include "tests/progress/TessalineTestFolder.h"

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

TEST_F(TessalinePage, ResultCountsInItsUsersFolderOrWhereThatUserHasNoneAtAll)
{
    const std::string suzuki = "\x97\xE9\x96\xD8"; // 鈴木
    const std::string sato = "\x8D\xB2\x93\xA1";   // 佐藤
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> results; // folder, line; read in this order
        std::string columns;
        std::string rows;
    };
    const Case cases[] = {
        {"a case-variant folder read later cannot take the own folder's cell",
         {{"Alice/P", "Alice P 100"}, {"aLICE/P", "Alice P 3"}},
         "<td>P</td>",
         "<tr><td>Alice</td>" + ExpectedCell("2003/7/5", "100", "Alice", "P") + "</tr>\r\n"},
        {"the one case-variant folder fills the cell and is linked",
         {{"aLICE/P", "Alice P 3"}},
         "<td>P</td>",
         "<tr><td>Alice</td>" + ExpectedCell("2003/7/5", "3", "aLICE", "P") + "</tr>\r\n"},
        {"two case variants and no own folder: neither fills it",
         {{"ALICE/P", "Alice P 3"}, {"aLICE/P", "Alice P 4"}},
         "",
         ""},
        {"another student's folder cannot fill a cell of a user who has one",
         {{"bob/P", "bob P 5"}, {"bob/Q", "carol Q 7"}, {"carol/R", "carol R 1"}},
         "<td>P</td><td>R</td>",
         "<tr><td>bob</td>" + ExpectedCell("2003/7/5", "5", "bob", "P") + "<td></td></tr>\r\n" +
             "<tr><td>carol</td><td></td>" + ExpectedCell("2003/7/5", "1", "carol", "R") + "</tr>\r\n"},
        {"a renamed student keeps the row, linked to where the file lies",
         {{Disk(suzuki) + "/P", sato + " P 50"}},
         "<td>P</td>",
         "<tr><td>" + sato + "</td>" + ExpectedCell("2003/7/5", "50", suzuki, "P") + "</tr>\r\n"},
        {"a copy filed under other folders keeps its names and links to the copy",
         {{"copies/alice-P", "alice P 70"}},
         "<td>P</td>",
         "<tr><td>alice</td>" + ExpectedCell("2003/7/5", "70", "copies", "alice-P") + "</tr>\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestFolder r;
        for (const auto& [dir, line] : c.results) {
            r.WriteResult(dir, line);
            r.WriteFile(dir + "/work.psp", "x");
        }
        EXPECT_EQ(GenerateProgressReport(r.Path(), UtcDate), ExitPageWritten);
        const std::string page = r.ReadFile("result.htm");
        EXPECT_EQ(page, Page(c.columns, c.rows));
        for (const std::string& path : ResolveLinksLikeABrowser(page, r.Path())) {
            EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
        }
    }
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

TEST_F(TessalinePage, KanjiNamesInUtf8FoldersKeepShiftJisTextAndLinksThatResolve)
{
    const std::string yamada = "\x8E\x52\x93\x63"; // 山田
    const std::string hyouji = "\x95\x5C\x8E\xA6"; // 表示: its first trail byte is '\'
    const std::string kadai = "\x89\xDB\x91\xE8";  // 課題
    folder.WriteResult(Disk(yamada + "\\" + kadai), yamada + " " + kadai + " 90");
    folder.WriteFile(Disk(yamada + "\\" + kadai + "\\work.psp"), "x");
    folder.WriteFile(Disk(yamada + "\\" + kadai + "\\" + kadai + ".sln"), "x");
    folder.WriteResult(Disk(hyouji + "\\" + kadai), hyouji + " " + kadai + " 40", Christmas2003);
    folder.WriteFile(Disk(hyouji + "\\" + kadai + "\\work.psp"), "x");
    folder.WriteFile(Disk(hyouji + "\\" + kadai + "\\" + kadai + ".csproj"), "x");
    const std::string page = Generate();
    EXPECT_EQ(page, Page("<td>" + kadai + "</td>", "<tr><td>" + yamada + "</td>" +
                                                       ExpectedCell("2003/7/5", "90", yamada, kadai,
                                                                    Link(yamada, kadai, kadai + ".sln")) +
                                                       "</tr>\r\n<tr><td>" + hyouji + "</td>" +
                                                       ExpectedCell("2003/12/25", "40", hyouji, kadai,
                                                                    Link(hyouji, kadai, kadai + ".csproj")) +
                                                       "</tr>\r\n"));
    const auto paths = ResolveLinksLikeABrowser(page, folder.Path());
    ASSERT_EQ(paths.size(), 4u);
    for (const std::string& path : paths) {
        EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
    }
}

TEST_F(TessalinePage, LinksEscapeWhatABrowserTakesForAnEscapeAFragmentOrAQuery)
{
    folder.WriteResult("c#/100%41?", "c# 100%41? 50");
    folder.WriteFile("c#/100%41?/work.psp", "x");
    folder.WriteFile("c#/100%41?/100%41?.sln", "x");
    const std::string page = Generate();
    EXPECT_EQ(page, Page("<td>100%41?</td>",
                         "<tr><td>c#</td>" +
                             ExpectedCell(
                                 "2003/7/5", "50", "c%23", "100%2541%3F",
                                 " &nbsp; <a href=\"c%23\\100%2541%3F\\100%2541%3F.sln\">100%41?.sln</a>") +
                             "</tr>\r\n"));
    const auto paths = ResolveLinksLikeABrowser(page, folder.Path());
    ASSERT_EQ(paths.size(), 2u);
    for (const std::string& path : paths) {
        EXPECT_TRUE(std::filesystem::is_regular_file(path)) << path;
    }
}

TEST_F(TessalinePage, PageIsTheSameForAnyNumberOfReadingThreads)
{
    // Folders whose results compete for cells: case variants, results naming other users, users
    // without folders, copies under other folder names, in every order.
    const char* users[] = {"alice", "Alice", "aLICE", "bob", "carol", "dave"};
    const char* projects[] = {"P1", "P2", "p1", "P3"};
    std::mt19937 random(20261208);
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        TestFolder r;
        const int files = 5 + static_cast<int>(random() % 40);
        for (int i = 0; i < files; ++i) {
            const std::string holder = users[random() % std::size(users)];
            const std::string user = users[random() % std::size(users)];
            const std::string project = projects[random() % std::size(projects)];
            const std::string dir =
                holder + "/" + project + (random() % 3 == 0 ? "-copy" + std::to_string(i) : "");
            r.WriteResult(dir, user + " " + project + " " + std::to_string(i), July5th2003 + i * 86400);
            r.WriteFile(dir + "/" + project + ".sln", "x");
        }
        std::string pages[2];
        for (int run = 0; run < 2; ++run) {
            ::setenv("TESSALINE_THREADS", run == 0 ? "1" : "8", 1);
            EXPECT_EQ(GenerateProgressReport(r.Path(), UtcDate), ExitPageWritten);
            pages[run] = r.ReadFile("result.htm");
        }
        ::unsetenv("TESSALINE_THREADS");
        EXPECT_EQ(pages[0], pages[1]);
    }
}

// Every student can write into the registration folder. Whatever one plants there, only the
// well-formed result of carol may reach the page, and the page never reads outside the folder.
class TessalineHostileFolder : public TessalinePage {
protected:
    using Plant = bool (*)(const TestFolder& folder, const TestFolder& outside, std::vector<int>& keepOpen);

    void SetUp() override { WriteCarol(folder); }

    static void WriteCarol(const TestFolder& r)
    {
        r.WriteResult("carol/P", "carol P 10");
        r.WriteFile("carol/P/work.psp", "x");
        r.WriteFile("carol/P/P.sln", "x");
    }

    static std::string CarolsPage()
    {
        return Page("<td>P</td>",
                    "<tr><td>carol</td>" +
                        ExpectedCell("2003/7/5", "10", "carol", "P", Link("carol", "P", "P.sln")) +
                        "</tr>\r\n");
    }

    // Device nodes need a privilege that a test run may lack.
    static bool MayMakeDevices()
    {
        const TestFolder probe;
        return probe.MakeZeroDevice("device");
    }

    // Runs over a fresh folder holding carol's result and whatever `plant` puts beside it (or
    // `line` in dir/result.txt). The planted file `neverOpened`, when given, may not even be
    // opened: its type is to be known before.
    static void ExpectCarolsPageDespite(const std::string& what, Plant plant, const std::string& dir = "",
                                        const std::string& line = "", const char* neverOpened = nullptr)
    {
        SCOPED_TRACE(what);
        TestFolder r;
        TestFolder outside;
        WriteCarol(r);
        std::vector<int> keepOpen;
        if (plant == nullptr) {
            r.WriteResult(dir, line);
        } else if (!plant(r, outside, keepOpen)) {
            ADD_FAILURE() << "cannot plant " << what;
        }
        const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        ASSERT_GE(watch, 0);
        if (neverOpened != nullptr) {
            ASSERT_GE(::inotify_add_watch(watch, r.PathOf(neverOpened).c_str(), IN_OPEN), 0);
        }
        EXPECT_EQ(GenerateProgressReport(r.Path(), UtcDate), ExitPageWritten);
        EXPECT_EQ(r.ReadFile("result.htm"), CarolsPage());
        char event[sizeof(inotify_event) + NAME_MAX + 1];
        EXPECT_LT(::read(watch, event, sizeof event), 0) << "the planted file was opened";
        ::close(watch);
        for (const int fd : keepOpen) {
            ::close(fd);
        }
    }
};

TEST_F(TessalineHostileFolder, PlantedResultLinesNeverReachThePage)
{
    struct PlantedLine {
        const char* what;
        const char* dir;
        const char* line;
    };
    const PlantedLine lines[] = {
        {"a javascript: user naming its own folder", "javascript:document.title='X'/Prob3",
         "javascript:document.title='X' Prob3 77"},
        {"a javascript: user in another student's folder", "dave/Prob3",
         "javascript:document.title='X';// Prob3 77"},
        {"a UNC user naming its own folder", "\\\\host\\share/P", "\\\\host\\share P 77"},
        {"an https project", "dave/P", "dave https://example.com/x 77"},
        {"a parent-step project", "dave/P", "dave ../../etc 77"},
        {"a .. project", "dave/P", "dave .. 77"},
        {"a . project", "dave/P", "dave . 77"},
        {"a drive project", "dave/P", "dave C:x 77"},
        {"a backslash project", "dave/P", "dave a\\b 77"},
        {"a control character", "dave/P", "dave P\x1B 77"},
        {"a project that is not Shift_JIS", "dave/P", "dave P\x81 77"},
        {"another student's cell, read last", "dave/P", "carol P 0"},
        {"a user folder named in Shift_JIS bytes", "\x8E\x52\x93\x63/P", "\x8E\x52\x93\x63 P 77"},
        {"a project folder with no Shift_JIS name", "dave/\xF0\x9F\x98\x80", "dave P 77"},
    };
    for (const PlantedLine& planted : lines) {
        ExpectCarolsPageDespite(planted.what, nullptr, planted.dir, planted.line);
    }
}

TEST_F(TessalineHostileFolder, LinksAndSpecialFilesNeverReachThePage)
{
    struct PlantedThing {
        const char* what;
        Plant plant;
        const char* neverOpened;
        bool needsDevices;
    };
    const PlantedThing things[] = {
        {"a result file linked outside",
         [](const TestFolder& r, const TestFolder& o, std::vector<int>&) {
             o.WriteFile("secret.txt", "dave P 77\r\n");
             r.MakeSymlink("dave/P/result.txt", o.PathOf("secret.txt"));
             return true;
         },
         nullptr, false},
        {"a project folder linked outside",
         [](const TestFolder& r, const TestFolder& o, std::vector<int>&) {
             o.WriteResult("P", "dave P 77");
             r.MakeDirectory("dave");
             r.MakeSymlink("dave/P", o.PathOf("P"));
             return true;
         },
         nullptr, false},
        {"a user folder linked outside",
         [](const TestFolder& r, const TestFolder& o, std::vector<int>&) {
             o.WriteResult("dave/P", "dave P 77");
             r.MakeSymlink("dave", o.PathOf("dave"));
             return true;
         },
         nullptr, false},
        {"a FIFO holding a line",
         [](const TestFolder& r, const TestFolder&, std::vector<int>& keepOpen) {
             // Kept open for writing, so that a reader would get the line instead of an end of file.
             r.MakeFifo("dave/P/result.txt");
             const int fd = ::open(r.PathOf("dave/P/result.txt").c_str(), O_RDWR | O_NONBLOCK);
             keepOpen.push_back(fd);
             return fd >= 0 && ::write(fd, "dave P 77\n", 10) == 10;
         },
         "dave/P/result.txt", false},
        {"a device node",
         [](const TestFolder& r, const TestFolder&, std::vector<int>&) {
             return r.MakeZeroDevice("dave/P/result.txt");
         },
         "dave/P/result.txt", true},
    };
    const bool mayMakeDevices = MayMakeDevices();
    for (const PlantedThing& planted : things) {
        if (planted.needsDevices && !mayMakeDevices) {
            std::cout << "[ SKIPPED  ] " << planted.what << ": this process may not make device nodes\n";
            continue;
        }
        ExpectCarolsPageDespite(planted.what, planted.plant, "", "", planted.neverOpened);
    }
}

TEST_F(TessalineHostileFolder, OnlyRegularFilesInsideTheFolderAreLinked)
{
    TestFolder outside;
    outside.WriteFile("secret.sln", "x");
    outside.WriteFile("Q/Q.sln", "x");
    folder.MakeSymlink("carol/P/P.link", outside.PathOf("secret.sln"));
    folder.MakeFifo("carol/P/P.fifo");
    folder.MakeDirectory("carol/P/P.dir");
    if (MayMakeDevices()) {
        ASSERT_TRUE(folder.MakeZeroDevice("carol/P/P.dev"));
    } else {
        std::cout << "[ SKIPPED  ] a device node: this process may not make device nodes\n";
    }
    // A copy's result names Q, whose folder is a link to elsewhere: the cell links into the
    // folder the result lies in, and no file of the linked folder is listed.
    folder.WriteResult("carol/Q-copy", "carol Q 5");
    folder.MakeSymlink("carol/Q", outside.PathOf("Q"));
    EXPECT_EQ(Generate(), Page("<td>P</td><td>Q</td>",
                               "<tr><td>carol</td>" +
                                   ExpectedCell("2003/7/5", "10", "carol", "P", Link("carol", "P", "P.sln")) +
                                   ExpectedCell("2003/7/5", "5", "carol", "Q-copy") + "</tr>\r\n"));
}

TEST_F(TessalineHostileFolder, EveryLinkStaysInsideTheFolderItNames)
{
    // File names a classmate can give on a file system where '\\' is an ordinary character, and
    // a browser takes it for '/' and drops tabs and line ends.
    const char* planted[] = {"P.\\..\\..\\..\\..\\etc\\passwd",
                             "P.\\..\\..\\dave\\P\\P.sln",
                             "P.%5C..%5C..%5Cetc",
                             "P.\t\\..\\x",
                             "P.\n..\\..\\y",
                             "P.\xE8\xA1\xA8\\..\\z"}; // 表 ends in the byte '\\' in Shift_JIS
    for (const char* name : planted) {
        folder.WriteFile(std::string("carol/P/") + name, "x");
    }
    folder.WriteResult("dave/P", "dave P 1");
    folder.WriteFile("dave/P/P.sln", "secret");
    const std::string page = Generate();
    const auto paths = ResolveLinksLikeABrowser(page, folder.Path());
    ASSERT_EQ(paths.size(), 2u + std::size(planted) + 2u); // work.psp and P.sln for carol and dave
    const std::filesystem::path root = std::filesystem::path(folder.Path()).lexically_normal();
    for (const std::string& path : paths) {
        ASSERT_FALSE(path.empty());
        const auto normal = std::filesystem::path(path).lexically_normal();
        const auto inside = normal.lexically_relative(root);
        // user / project / file: nothing climbs out of the project folder the link names.
        EXPECT_EQ(std::distance(inside.begin(), inside.end()), 3) << path;
        EXPECT_NE(inside.begin()->string(), "..") << path;
    }
    EXPECT_NE(page.find("<a href=\"carol\\P\\P.%5C..%5C..%5C..%5C..%5Cetc%5Cpasswd\">"), std::string::npos);
}

TEST_F(TessalineHostileFolder, PageReplacesALinkInsteadOfWritingThroughIt)
{
    TestFolder outside;
    outside.WriteFile("teachers-file", "keep me");
    folder.MakeSymlink("result.htm", outside.PathOf("teachers-file"));
    EXPECT_EQ(Generate(), CarolsPage());
    EXPECT_EQ(outside.ReadFile("teachers-file"), "keep me");
    EXPECT_FALSE(std::filesystem::is_symlink(folder.PathOf("result.htm")));
}

TEST_F(TessalinePage, MissingFolderGivesExitCodeOneAndNoPage)
{
    EXPECT_EQ(GenerateProgressReport(folder.PathOf("missing"), UtcDate), ExitFolderUnreadable);
    EXPECT_FALSE(folder.Exists("missing/result.htm"));
}

} // namespace
} // namespace tessaline::test
