#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "platform/FileIo.h"
#include "platform/ProgramFolder.h"
#include "tests/TempFolder.h"

using namespace quilvane;

TEST(TextLines, EveryLineEndFormEndsALine)
{
    EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(SplitLines("").empty());
    EXPECT_EQ(JoinLinesCrLf({"100", ""}), "100\r\n\r\n");
}

TEST(AtomicWrite, ReplacesTheFileWhole)
{
    TempFolder dir;
    std::string path = dir.Path("f.txt");
    ASSERT_TRUE(WriteFileAtomically(path, "first").Ok());
    ASSERT_TRUE(WriteFileAtomically(path, "second").Ok());
    EXPECT_EQ(ReadWholeFile(path), "second");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), {}), 1);
}

TEST(AtomicWrite, FailureIsReportedAndKeepsTheOldFile)
{
    TempFolder dir;
    std::string path = dir.Path("f.txt");
    ASSERT_TRUE(WriteFileAtomically(path, "keep").Ok());
    if (geteuid() != 0) {
        // Without write permission on the folder, no temporary file can be made.
        chmod(dir.Root().c_str(), 0500);
        EXPECT_FALSE(WriteFileAtomically(path, "lost").Ok());
        chmod(dir.Root().c_str(), 0700);
    }
    // A target that is a folder cannot be replaced by a file.
    std::filesystem::create_directory(dir.Path("sub"));
    Status st = WriteFileAtomically(dir.Path("sub"), "x");
    EXPECT_FALSE(st.Ok());
    EXPECT_FALSE(st.Message().empty());
    EXPECT_EQ(ReadWholeFile(path), "keep");
    EXPECT_FALSE(WriteFileAtomically(dir.Path("missing/f.txt"), "x").Ok());
}

TEST(ProgramPaths, RelativePathsResolveAgainstTheProgramFolder)
{
    std::string saved = ProgramFolder();
    SetProgramFolder("/opt/q/");
    EXPECT_EQ(ProgramPath("init\\psp.txt"), "/opt/q/init/psp.txt");
    EXPECT_EQ(ProgramPath("/abs/x"), "/abs/x");
    // 0x5C as the trail byte of "ソ" is not a separator.
    EXPECT_EQ(ToSlashes("\x83\x5C\\a"), "\x83\x5C/a");
    // Stored names reach the disk in its own encoding, below a folder that may hold any name.
    SetProgramFolder("/home/s/演習");
    EXPECT_EQ(ProgramPathFor("\x8E\x52\x93\x63\\work.psp"), "/home/s/演習/山田/work.psp");
    EXPECT_EQ(ProgramPathFor("\x83\x5C\\a"), "/home/s/演習/ソ/a");
    EXPECT_EQ(ProgramPathFor(""), "/home/s/演習");
    EXPECT_EQ(ProgramPathFor("x\x83"), std::nullopt);
    SetProgramFolder(saved);
}
