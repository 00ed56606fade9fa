#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/RunTool.h"
#include "tests/TempFolder.h"

using namespace quilvane;

namespace {

// quilvane-cli loc run in a temporary folder that holds the projects Prob1 and Prob2.
class LocCli : public ::testing::Test {
protected:
    void Write(const std::string& relative, const std::string& text) { dir_.Write(relative, text); }

    ToolResult Loc(const std::vector<std::string>& args)
    {
        std::vector<std::string> all{"loc"};
        all.insert(all.end(), args.begin(), args.end());
        return RunTool(QUILVANE_CLI_PATH, all, dir_.Root());
    }

    void WriteProjects()
    {
        Write("Prob1/Prob1.cs", "int a;\nint b;\n");
        Write("Prob1/Old.vb", "Dim x\n");
        Write("Prob2/Prob2.cs", "int a;\nint c;\nint d;\n");
    }

    // As an ordinary user: root reads a folder whatever its mode says.
    ToolResult LocAsUser(const std::vector<std::string>& args)
    {
        TempFolder capture;
        const std::string outPath = capture.Path("out");
        const std::string errPath = capture.Path("err");
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        std::vector<std::string> all{QUILVANE_CLI_PATH, "loc"};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv = ArgumentVector(all);
        ToolResult result;
        pid_t child = fork();
        if (child == 0) {
            if (dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(dir_.Root().c_str()) != 0 ||
                (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))) {
                _exit(126);
            }
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(out);
        close(err);
        int status = 0;
        waitpid(child, &status, 0);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = ReadWholeFile(outPath).value_or("");
        result.err = ReadWholeFile(errPath).value_or("");
        return result;
    }

    TempFolder dir_;
};

} // namespace

TEST_F(LocCli, PrintsReusedDeletedAddedOnOneLine)
{
    WriteProjects();
    ToolResult r = Loc({"Prob1", "Prob2"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    // Prob1.cs pairs with Prob2.cs by the project-name rule; Old.vb is gone.
    EXPECT_EQ(r.out, "1 2 2\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(LocCli, JsonOutput)
{
    WriteProjects();
    ToolResult r = Loc({"--json", "Prob1", "Prob2"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "{\"reused\":1,\"deleted\":2,\"added\":2}\n");
}

TEST_F(LocCli, EmptyBaseGivesProjectSize)
{
    WriteProjects();
    ToolResult r = Loc({"", "Prob2"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "0 0 3\n");
}

TEST_F(LocCli, PathsBelowOtherFoldersUseTheirLastComponent)
{
    Write("old/Prob1/Prob1.cs", "int a;\n");
    Write("new/Prob2/Prob2.cs", "int a;\n");
    ToolResult r = Loc({"old/Prob1", dir_.Path("new/Prob2")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "1 0 0\n");
}

TEST_F(LocCli, MissingFolderFailsWithOneLineMessage)
{
    WriteProjects();
    ToolResult r = Loc({"Prob9", "Prob2"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Prob9"), std::string::npos);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
}

TEST_F(LocCli, FileTooLargeToCountFailsWithOneLineMessage)
{
    WriteProjects();
    // A sparse VB file of 4 GiB with a partner: too large for a line table, refused before it
    // is read.
    Write("Prob1/Huge.vb", "Dim a\n");
    Write("Prob2/Huge.vb", "");
    ASSERT_EQ(truncate(dir_.Path("Prob2/Huge.vb").c_str(), off_t{1} << 32), 0);
    timespec times[2] = {{1000000, 0}, {1000000, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, dir_.Path("Prob1/Huge.vb").c_str(), times, 0), 0);
    ToolResult r = Loc({"Prob1", "Prob2"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Prob2/Huge.vb: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("メモリが足りない"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);
}

TEST_F(LocCli, UnreadableSourcesAreNamedAndCountedAsAbsent)
{
    WriteProjects();
    // A source that opens but cannot be read, and a folder that cannot be listed.
    std::filesystem::create_symlink("/proc/self/mem", dir_.Path("Prob2/Mem.cs"));
    Write("Prob2/Locked/Hidden.cs", "int z;\n");
    ASSERT_EQ(chmod(dir_.Path("Prob2/Locked").c_str(), 0), 0);
    ASSERT_EQ(chmod(dir_.Root().c_str(), 0755), 0);
    ToolResult r = LocAsUser({"Prob1", "Prob2"});
    ASSERT_EQ(chmod(dir_.Path("Prob2/Locked").c_str(), 0700), 0);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "1 2 2\n");
    EXPECT_EQ(r.err, "quilvane-cli: 警告: Prob2/Locked を読めません (ないものとして数えました)\n"
                     "quilvane-cli: 警告: Prob2/Mem.cs を読めません (ないものとして数えました)\n");
}

TEST_F(LocCli, WrongUsageExitsWithTwo)
{
    EXPECT_EQ(Loc({}).exitCode, 2);
    EXPECT_EQ(Loc({"Prob1"}).exitCode, 2);
    EXPECT_EQ(Loc({"Prob1", "Prob2", "Prob3"}).exitCode, 2);
    EXPECT_EQ(Loc({"--xml", "Prob1", "Prob2"}).exitCode, 2);
}
