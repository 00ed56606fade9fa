#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileIo.h"
#include "platform/FileTree.h"
#include "tests/TempFolder.h"

using namespace quilvane;
namespace fs = std::filesystem;

namespace {

class TreeFixture : public ::testing::Test {
protected:
    std::string Path(const std::string& relative) const { return dir_.Path(relative); }

    void Write(const std::string& relative, const std::string& bytes) { dir_.Write(relative, bytes); }

    std::string Read(const std::string& relative) const { return dir_.Read(relative); }

    bool Exists(const std::string& relative) const
    {
        std::error_code ec;
        return fs::exists(fs::symlink_status(Path(relative), ec));
    }

    // Every entry below `relative`, as paths relative to it, in name order.
    std::vector<std::string> Listing(const std::string& relative) const
    {
        std::vector<std::string> names;
        fs::path root = Path(relative);
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            names.push_back(fs::relative(entry.path(), root).string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    static mode_t Mode(const std::string& path)
    {
        struct stat st {};
        return lstat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
    }

    TempFolder dir_;
};

using CopyTreeTest = TreeFixture;
using RemoveTreeTest = TreeFixture;
using ReplaceInFileTest = TreeFixture;

using Names = std::vector<std::string>;

} // namespace

TEST_F(CopyTreeTest, PlainCopyLeavesOutBuildOutputAndUserOptions)
{
    Write("src/Prob1.cs", "a");
    Write("src/sub/Form.cs", "b");
    Write("src/bin/Debug/Prob1.exe", "x");
    Write("src/OBJ/Prob1.obj", "x");
    Write("src/sub/Bin", "a file named like the folder");
    Write("src/Prob1.suo", "x");
    Write("src/other.SUO", "x");
    Write("src/cache.suo/inner.txt", "x");
    Write("src/result.txt", "Taro Prob1 100");
    Write("src/work.psp", "psp");
    fs::create_directory(Path("dst"));

    EXPECT_TRUE(CopyProjectTree(Path("src"), Path("dst")).empty());

    EXPECT_EQ(Listing("dst"), (Names{"Prob1.cs", "result.txt", "sub", "sub/Form.cs", "work.psp"}));
    EXPECT_EQ(Read("dst/result.txt"), "Taro Prob1 100");
    EXPECT_EQ(Read("dst/sub/Form.cs"), "b");
}

TEST_F(CopyTreeTest, PlainCopyReplacesExistingFilesAndKeepsTheirBytes)
{
    Write("src/a.cs", "new\nline");
    Write("dst/a.cs", "old contents that are longer");
    EXPECT_TRUE(CopyProjectTree(Path("src"), Path("dst")).empty());
    EXPECT_EQ(Read("dst/a.cs"), "new\nline");
}

TEST_F(CopyTreeTest, TemplateModeRenamesAndEditsTheTemplatesFiles)
{
    Write("Prob0/Prob0.sln", "Project(\"Prob0\") = Prob0.csproj\nUSERNAME VERSION");
    Write("Prob0/prob0.vbproj", "<Name>Prob0</Name>");
    Write("Prob0/Other.csproj", "<A>Prob0</A><U>USERNAME</U><V>VERSION</V>");
    Write("Prob0/Main.cs", "class Prob0 {}\n// USERNAME");
    Write("Prob0/Prob0.Designer.cs", "Prob0");
    Write("Prob0/result.txt", "Taro Prob0 100");
    Write("Prob0/Result.Txt", "Taro Prob0 100");
    Write("Prob0/RESULT.TXT2", "kept");
    Write("Prob0/work.psp", "psp");
    fs::create_directory(Path("NewName"));

    auto failures = CopyProjectTree(Path("Prob0"), Path("NewName"),
                                    TreeTemplate{"1.03", Path("Prob0"), "NewName", "Taro"});

    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(Listing("NewName"), (Names{"Main.cs", "NewName.sln", "NewName.vbproj", "Other.csproj",
                                         "Prob0.Designer.cs", "RESULT.TXT2", "work.psp"}));
    EXPECT_EQ(Read("NewName/NewName.sln"), "Project(\"NewName\") = NewName.csproj\r\nTaro 1.03\r\n");
    EXPECT_EQ(Read("NewName/NewName.vbproj"), "<Name>NewName</Name>\r\n");
    EXPECT_EQ(Read("NewName/Other.csproj"), "<A>NewName</A><U>Taro</U><V>1.03</V>\r\n");
    // Sources are copied byte for byte, even when they mention the template.
    EXPECT_EQ(Read("NewName/Main.cs"), "class Prob0 {}\n// USERNAME");
    EXPECT_EQ(Read("NewName/Prob0.Designer.cs"), "Prob0");
}

TEST_F(CopyTreeTest, TemplateNameIsTheLastComponentOfAStoredPath)
{
    Write("base/Prob2.sln", "Prob2");
    fs::create_directory(Path("Prob3"));
    auto failures =
        CopyProjectTree(Path("base"), Path("Prob3"), TreeTemplate{"1.03", "..\\Prob2", "Prob3", "T"});
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(Read("Prob3/Prob3.sln"), "Prob3\r\n");
}

TEST_F(CopyTreeTest, DestinationInsideTheSourceIsNotCopiedIntoItself)
{
    Write("src/a.txt", "a");
    fs::create_directory(Path("src/copy"));
    EXPECT_TRUE(CopyProjectTree(Path("src"), Path("src/copy")).empty());
    EXPECT_EQ(Read("src/copy/a.txt"), "a");
    EXPECT_FALSE(Exists("src/copy/copy"));
}

TEST_F(CopyTreeTest, LinkedFilesAreCopiedAndLinkedFoldersAreReportedNotFollowed)
{
    Write("outside/data.txt", "data");
    Write("src/a.txt", "a");
    fs::create_directory_symlink("..", Path("src/loop"));
    fs::create_symlink(Path("outside/data.txt"), Path("src/data.txt"));
    fs::create_directory(Path("dst"));

    auto failures = CopyProjectTree(Path("src"), Path("dst"));

    EXPECT_EQ(failures, Names{"loop"});
    EXPECT_EQ(Listing("dst"), (Names{"a.txt", "data.txt"}));
    EXPECT_FALSE(fs::is_symlink(Path("dst/data.txt")));
    EXPECT_EQ(Read("dst/data.txt"), "data");

    // Such entries can never be copied, unlike a file that failed; a dangling link neither.
    fs::create_symlink(Path("outside/gone.txt"), Path("src/gone.txt"));
    fs::create_directory(Path("dst2"));
    auto issues = CopyProjectTreeChecked(Path("src"), Path("dst2"));
    ASSERT_EQ(issues.size(), 2u);
    EXPECT_EQ(issues[0].entry, "gone.txt");
    EXPECT_EQ(issues[0].problem, CopyProblem::NotCopyable);
    EXPECT_EQ(issues[1].entry, "loop");
    EXPECT_EQ(issues[1].problem, CopyProblem::NotCopyable);
}

TEST_F(CopyTreeTest, FileThatCannotBeWrittenIsReportedAndTheRestIsCopied)
{
    Write("src/a.txt", "a");
    Write("src/sub/b.txt", "b");
    Write("src/z.txt", "z");
    fs::create_directories(Path("dst/sub/b.txt")); // a folder where the file should go
    auto failures = CopyProjectTree(Path("src"), Path("dst"));
    EXPECT_EQ(failures, Names{"sub/b.txt"});
    EXPECT_EQ(Read("dst/a.txt"), "a");
    EXPECT_EQ(Read("dst/z.txt"), "z");
    auto issues = CopyProjectTreeChecked(Path("src"), Path("dst"));
    ASSERT_EQ(issues.size(), 1u);
    EXPECT_EQ(issues[0].problem, CopyProblem::Failed);
}

TEST_F(CopyTreeTest, MissingSourceIsReported)
{
    fs::create_directory(Path("dst"));
    EXPECT_EQ(CopyProjectTree(Path("nothing"), Path("dst")).size(), 1u);
    EXPECT_TRUE(Listing("dst").empty());
}

// Run as root, removal ignores modes and this passes trivially; as any other user it checks that
// read-only folders are opened up before their entries are removed.
TEST_F(RemoveTreeTest, RemovesNestedTreeWithReadOnlyFilesAndFolders)
{
    Write("t/a.txt", "a");
    Write("t/sub/b.txt", "b");
    Write("t/sub/deeper/c.txt", "c");
    chmod(Path("t/a.txt").c_str(), 0444);
    chmod(Path("t/sub/b.txt").c_str(), 0444);
    chmod(Path("t/sub/deeper").c_str(), 0500);
    chmod(Path("t/sub").c_str(), 0555);

    EXPECT_TRUE(RemoveTree(Path("t")).Ok());
    EXPECT_FALSE(Exists("t"));
}

TEST_F(RemoveTreeTest, LinksAreRemovedWithoutTouchingTheirTargets)
{
    Write("outside/keep.txt", "keep");
    chmod(Path("outside/keep.txt").c_str(), 0444);
    Write("t/a.txt", "a");
    fs::create_directory_symlink(Path("outside"), Path("t/dirlink"));
    fs::create_symlink(Path("outside/keep.txt"), Path("t/filelink"));
    fs::create_symlink(Path("nowhere"), Path("t/dangling"));

    EXPECT_TRUE(RemoveTree(Path("t")).Ok());
    EXPECT_FALSE(Exists("t"));
    EXPECT_EQ(Read("outside/keep.txt"), "keep");
    EXPECT_EQ(Mode(Path("outside/keep.txt")), 0444u);
}

TEST_F(RemoveTreeTest, TreeThatIsALinkLosesOnlyTheLink)
{
    Write("outside/keep.txt", "keep");
    fs::create_directory_symlink(Path("outside"), Path("t"));
    EXPECT_TRUE(RemoveTree(Path("t")).Ok());
    EXPECT_FALSE(Exists("t"));
    EXPECT_EQ(Read("outside/keep.txt"), "keep");
}

TEST_F(RemoveTreeTest, MissingFolderOrPlainFileGivesNonZero)
{
    EXPECT_FALSE(RemoveTree(Path("missing")).Ok());
    Write("file.txt", "x");
    EXPECT_FALSE(RemoveTree(Path("file.txt")).Ok());
    EXPECT_EQ(Read("file.txt"), "x");
}

TEST_F(RemoveTreeTest, ForceRemoveFileRemovesReadOnlyFiles)
{
    Write("r.txt", "x");
    chmod(Path("r.txt").c_str(), 0444);
    EXPECT_TRUE(ForceRemoveFile(Path("r.txt")).Ok());
    EXPECT_FALSE(Exists("r.txt"));
    EXPECT_FALSE(ForceRemoveFile(Path("r.txt")).Ok());
}

TEST_F(RemoveTreeTest, ForceRemoveFileLeavesFoldersAlone)
{
    fs::create_directory(Path("d"));
    EXPECT_FALSE(ForceRemoveFile(Path("d")).Ok());
    EXPECT_TRUE(fs::is_directory(Path("d")));
}

TEST_F(RemoveTreeTest, MakeDirectoryPathMakesMissingParents)
{
    EXPECT_TRUE(MakeDirectoryPath(Path("a/b/c")).Ok());
    EXPECT_TRUE(fs::is_directory(Path("a/b/c")));
    // Stored texts use '\'; a trailing separator names the same folder.
    EXPECT_TRUE(MakeDirectoryPath(Path("x\\y\\")).Ok());
    EXPECT_TRUE(fs::is_directory(Path("x/y")));
}

TEST_F(RemoveTreeTest, MakeDirectoryPathOnAnExistingFolderOrUnderAFileGivesNonZero)
{
    fs::create_directory(Path("here"));
    EXPECT_FALSE(MakeDirectoryPath(Path("here")).Ok());
    Write("file", "x");
    EXPECT_FALSE(MakeDirectoryPath(Path("file/sub")).Ok());
    EXPECT_EQ(Read("file"), "x");
}

TEST_F(ReplaceInFileTest, ReplacesEveryOccurrenceLeftToRightWithoutOverlap)
{
    Write("f.txt", "aaaaa Prob0Prob0\r\nProb0");
    ASSERT_TRUE(ReplaceInFile(Path("f.txt"), "aa", "b").Ok());
    EXPECT_EQ(Read("f.txt"), "bba Prob0Prob0\r\nProb0\r\n");
    ASSERT_TRUE(ReplaceInFile(Path("f.txt"), "Prob0", "Prob10").Ok());
    EXPECT_EQ(Read("f.txt"), "bba Prob10Prob10\r\nProb10\r\n");
}

TEST_F(ReplaceInFileTest, ReplacementHoldingTheSearchTextIsNotSearchedAgain)
{
    Write("f.txt", "aa");
    ASSERT_TRUE(ReplaceInFile(Path("f.txt"), "a", "aa").Ok());
    EXPECT_EQ(Read("f.txt"), "aaaa\r\n");
}

TEST_F(ReplaceInFileTest, LastLineGetsALineEndAndLfBecomesCrLf)
{
    Write("f.txt", "one\ntwo\n\nlast");
    ASSERT_TRUE(ReplaceInFile(Path("f.txt"), "x", "y").Ok());
    EXPECT_EQ(Read("f.txt"), "one\r\ntwo\r\n\r\nlast\r\n");
}

TEST_F(ReplaceInFileTest, EmptyFileStaysEmpty)
{
    Write("f.txt", "");
    ASSERT_TRUE(ReplaceInFile(Path("f.txt"), "x", "y").Ok());
    EXPECT_EQ(Read("f.txt"), "");
}

TEST_F(ReplaceInFileTest, EmptySearchTextChangesNoText)
{
    Write("f.txt", "abc");
    ASSERT_TRUE(ReplaceInFile(Path("f.txt"), "", "y").Ok());
    EXPECT_EQ(Read("f.txt"), "abc\r\n");
}

TEST_F(ReplaceInFileTest, WorksBesideTheTargetAndLeavesNoTemporaryFile)
{
    Write("dir/f.txt", "VERSION");
    std::string cwd = fs::current_path().string();
    ASSERT_TRUE(ReplaceInFile(Path("dir/f.txt"), "VERSION", "1.03").Ok());
    EXPECT_EQ(Read("dir/f.txt"), "1.03\r\n");
    EXPECT_EQ(Listing("dir"), Names{"f.txt"});
    EXPECT_FALSE(fs::exists(fs::path(cwd) / "RepStr.tmp"));
}

TEST_F(ReplaceInFileTest, MissingFileFailsAndCreatesNothing)
{
    fs::create_directory(Path("dir"));
    EXPECT_FALSE(ReplaceInFile(Path("dir/none.txt"), "a", "b").Ok());
    EXPECT_TRUE(Listing("dir").empty());
}
