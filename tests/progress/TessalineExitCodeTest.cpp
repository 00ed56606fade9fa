// The Tessaline program as the workbench starts it: no arguments, the registration folder as the
// working directory, the exit code as its only report.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "tests/progress/TessalineTestFolder.h"

namespace tessaline::test {
namespace {

struct RunResult {
    int exitCode = -1;
    std::string output; // everything written to stdout and stderr
};

constexpr uid_t Nobody = 65534;
constexpr int CannotDropPrivileges = 125;

struct RunOptions {
    std::string timeZone = "UTC0";
    rlim_t fileSizeLimit = RLIM_INFINITY;
    bool unprivileged = false; // as "nobody" when started by root, so permissions hold
    mode_t umask = 022;
};

RunResult RunTessaline(const std::string& folder, const RunOptions& options = {})
{
    const std::string tz = "TZ=" + options.timeZone;
    char* const environment[] = {const_cast<char*>(tz.c_str()), nullptr};
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        return {};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        ::dup2(pipeEnds[1], STDERR_FILENO);
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        if (::chdir(folder.c_str()) != 0) {
            ::_exit(126);
        }
        if (options.fileSizeLimit != RLIM_INFINITY) {
            // Writes beyond the limit then fail with EFBIG instead of killing the program.
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{options.fileSizeLimit, options.fileSizeLimit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::umask(options.umask);
        if (options.unprivileged && ::geteuid() == 0 && (::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)) {
            ::_exit(CannotDropPrivileges);
        }
        ::execle(TESSALINE_PATH, "Tessaline", static_cast<char*>(nullptr), environment);
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    RunResult result;
    char buffer[512];
    for (ssize_t got; (got = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        result.output.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipeEnds[0]);
    int status = 0;
    if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    }
    return result;
}

// Starts the program without waiting for it, its output thrown away; the child's id, or -1.
pid_t StartTessaline(const std::string& folder)
{
    static char tz[] = "TZ=UTC0";
    char* const environment[] = {tz, nullptr};
    const pid_t child = ::fork();
    if (child == 0) {
        const int devNull = ::open("/dev/null", O_WRONLY);
        ::dup2(devNull, STDOUT_FILENO);
        ::dup2(devNull, STDERR_FILENO);
        if (::chdir(folder.c_str()) != 0) {
            ::_exit(126);
        }
        ::execle(TESSALINE_PATH, "Tessaline", static_cast<char*>(nullptr), environment);
        ::_exit(127);
    }
    return child;
}

class TessalineProgram : public ::testing::Test {
protected:
    TestFolder folder;
};

TEST_F(TessalineProgram, WritesThePageSilentlyAndExitsWithZero)
{
    folder.WriteResult("alice/P", "alice P 80");
    const RunResult run = RunTessaline(folder.Path());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(folder.ReadFile("result.htm"), ExpectedHeader() + "<td>P</td></tr>\r\n<tr><td>alice</td>" +
                                                 ExpectedCell("2003/7/5", "80", "alice", "P") + "</tr>\r\n" +
                                                 ExpectedFooter());
}

TEST_F(TessalineProgram, DatesAreLocalCalendarDates)
{
    // 2003-07-04 20:00 UTC is already July 5th in Japan.
    folder.WriteResult("alice/P", "alice P 80", 1057348800);
    ASSERT_EQ(RunTessaline(folder.Path(), {.timeZone = "UTC0"}).exitCode, 0);
    EXPECT_NE(folder.ReadFile("result.htm").find("<td>2003/7/4<br>"), std::string::npos);
    ASSERT_EQ(RunTessaline(folder.Path(), {.timeZone = "JST-9"}).exitCode, 0);
    EXPECT_NE(folder.ReadFile("result.htm").find("<td>2003/7/5<br>"), std::string::npos);
}

TEST_F(TessalineProgram, FolderThatCannotBeEnumeratedGivesOne)
{
    // A folder that may be entered and written but not listed.
    folder.WriteResult("R/alice/P", "alice P 80");
    ASSERT_EQ(::chmod(folder.Path().c_str(), 0711), 0);
    ASSERT_EQ(::chmod(folder.PathOf("R").c_str(), 0333), 0);
    const RunResult run = RunTessaline(folder.PathOf("R"), {.unprivileged = true});
    ::chmod(folder.PathOf("R").c_str(), 0755);
    if (run.exitCode == CannotDropPrivileges) {
        GTEST_SKIP() << "cannot run as an unprivileged user";
    }
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "");
    EXPECT_FALSE(folder.Exists("R/result.htm"));
}

TEST_F(TessalineProgram, WhatCannotBeReadIsNamedAndThePageWrittenWithoutIt)
{
    folder.WriteResult("alice/P", "alice P 80");
    folder.WriteResult("bob/P", "bob P 70");
    folder.WriteResult("carol/P", "carol P 60");
    folder.WriteResult("dave/P", "dave P 50");
    ASSERT_EQ(::chmod(folder.Path().c_str(), 0777), 0);
    ASSERT_EQ(::chmod(folder.PathOf("bob").c_str(), 0), 0);
    ASSERT_EQ(::chmod(folder.PathOf("carol/P/result.txt").c_str(), 0), 0);
    ASSERT_EQ(::chmod(folder.PathOf("dave/P").c_str(), 0), 0);
    const RunResult run = RunTessaline(folder.Path(), {.unprivileged = true});
    if (run.exitCode == CannotDropPrivileges) {
        GTEST_SKIP() << "cannot run as an unprivileged user";
    }
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("Tessaline: bob を読めない"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("Tessaline: carol/P/result.txt を読めない"), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("Tessaline: dave/P を読めない"), std::string::npos) << run.output;
    EXPECT_EQ(folder.ReadFile("result.htm"), ExpectedHeader() + "<td>P</td></tr>\r\n<tr><td>alice</td>" +
                                                 ExpectedCell("2003/7/5", "80", "alice", "P") + "</tr>\r\n" +
                                                 ExpectedFooter());
}

TEST_F(TessalineProgram, PageModeFollowsTheFolderWhateverTheUmask)
{
    const struct {
        mode_t folder;
        mode_t page;
    } cases[] = {{0700, 0640}, {0755, 0644}, {02775, 0664}, {03770, 0660}};
    for (const auto& c : cases) {
        ASSERT_EQ(::chmod(folder.Path().c_str(), c.folder), 0);
        ASSERT_EQ(RunTessaline(folder.Path(), {.umask = 077}).exitCode, 0);
        struct stat page {};
        ASSERT_EQ(::stat(folder.PathOf("result.htm").c_str(), &page), 0);
        EXPECT_EQ(page.st_mode & 07777, c.page) << std::oct << c.folder;
    }
}

TEST_F(TessalineProgram, PageThatASharedStickyFolderKeepsIsRewrittenInPlace)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs two users: run as root";
    }
    // The page belongs to the teacher; the class may write it but, in a sticky folder, not
    // replace it.
    constexpr uid_t Teacher = 65533;
    folder.WriteResult("alice/P", "alice P 80");
    folder.WriteFile("result.htm", std::string(100000, 'x'));
    ASSERT_EQ(::chown(folder.PathOf("result.htm").c_str(), Teacher, Nobody), 0);
    ASSERT_EQ(::chmod(folder.PathOf("result.htm").c_str(), 0664), 0);
    ASSERT_EQ(::chown(folder.Path().c_str(), Teacher, Nobody), 0);
    ASSERT_EQ(::chmod(folder.Path().c_str(), 03775), 0);
    struct stat before {};
    ASSERT_EQ(::stat(folder.PathOf("result.htm").c_str(), &before), 0);
    const RunResult run = RunTessaline(folder.Path(), {.unprivileged = true});
    ASSERT_NE(run.exitCode, CannotDropPrivileges);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(folder.ReadFile("result.htm"), ExpectedHeader() + "<td>P</td></tr>\r\n<tr><td>alice</td>" +
                                                 ExpectedCell("2003/7/5", "80", "alice", "P") + "</tr>\r\n" +
                                                 ExpectedFooter());
    struct stat after {};
    ASSERT_EQ(::stat(folder.PathOf("result.htm").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_uid, Teacher);
    EXPECT_EQ(folder.CountEntries(), 2); // no temporary file is left behind
}

TEST_F(TessalineProgram, PageThatCannotBeWrittenGivesTwo)
{
    folder.WriteResult("alice/P", "alice P 80");
    folder.WriteFile("result.htm/keep", "in the way");
    const RunResult run = RunTessaline(folder.Path());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(folder.ReadFile("result.htm/keep"), "in the way");
    EXPECT_EQ(folder.CountEntries(), 2); // no temporary file is left behind
}

TEST_F(TessalineProgram, FailedWriteLeavesThePreviousPageIntact)
{
    folder.WriteResult("alice/P", "alice P 80");
    folder.WriteFile("result.htm", "previous page");
    const RunResult run = RunTessaline(folder.Path(), {.fileSizeLimit = 100});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(folder.ReadFile("result.htm"), "previous page");
    EXPECT_EQ(folder.CountEntries(), 2);
}

TEST_F(TessalineProgram, FiftyRunsAtOnceAlwaysLeaveACompletePage)
{
    // Two registrations in quick succession start two generators writing the same page; a
    // browser opening it meanwhile must find the previous page or the new one, whole.
    constexpr int Users = 40;
    constexpr int Runs = 50;
    for (int user = 0; user < Users; ++user) {
        char name[16];
        std::snprintf(name, sizeof name, "student%02d", user);
        for (const char* project : {"P1", "P2", "P3", "P4", "P5"}) {
            folder.WriteResult(std::string(name) + "/" + project,
                               std::string(name) + " " + project + " " + std::to_string(user));
        }
    }
    ASSERT_EQ(RunTessaline(folder.Path()).exitCode, 0);
    const std::string expected = folder.ReadFile("result.htm");
    ASSERT_GT(expected.size(), 10000u);

    std::vector<pid_t> running;
    for (int run = 0; run < Runs; ++run) {
        const pid_t child = StartTessaline(folder.Path());
        ASSERT_GT(child, 0);
        running.push_back(child);
    }
    int reads = 0;
    int incomplete = 0;
    int failedRuns = 0;
    while (!running.empty()) {
        ++reads;
        if (folder.ReadFile("result.htm") != expected) {
            ++incomplete;
        }
        for (auto it = running.begin(); it != running.end();) {
            int status = 0;
            if (::waitpid(*it, &status, WNOHANG) == *it) {
                failedRuns += WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
                it = running.erase(it);
            } else {
                ++it;
            }
        }
    }
    EXPECT_EQ(incomplete, 0) << "of " << reads << " reads";
    EXPECT_EQ(failedRuns, 0);
    EXPECT_EQ(folder.ReadFile("result.htm"), expected);
    EXPECT_EQ(folder.CountEntries(), Users + 1); // no temporary file is left behind
}

} // namespace
} // namespace tessaline::test
