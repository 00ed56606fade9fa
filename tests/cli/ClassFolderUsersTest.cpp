// A registration folder shared by real Unix users, set up as the README tells the teacher: R
// owned by the teacher, the class's group, set-group-ID and sticky, the generator the teacher's.
// Each student registers under umask 077; the page and every registered file stay the class's.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "project/ProjectFile.h"
#include "tests/RunTool.h"
#include "tests/TempFolder.h"

using namespace quilvane;
namespace fs = std::filesystem;

namespace {

// Runs a system tool with an argument vector; its exit code.
int RunQuietly(const std::vector<std::string>& args)
{
    std::vector<std::string> all = args;
    std::vector<char*> argv = ArgumentVector(all);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int status = 0;
    const bool started = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    return started && waitpid(pid, &status, 0) == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

struct Account {
    std::string name;
    uid_t uid = 0;
    gid_t gid = 0;
};

// Runs `program` as `account` with its groups and umask 077; the exit code.
int RunAs(const Account& account, const std::vector<std::string>& args)
{
    const pid_t child = fork();
    if (child == 0) {
        umask(077);
        if (initgroups(account.name.c_str(), account.gid) != 0 || setgid(account.gid) != 0 ||
            setuid(account.uid) != 0) {
            _exit(125);
        }
        std::vector<std::string> all = args;
        std::vector<char*> argv = ArgumentVector(all);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Whether `account` can read the file (as itself, not as the test's root).
bool CanRead(const Account& account, const std::string& path)
{
    const pid_t child = fork();
    if (child == 0) {
        if (initgroups(account.name.c_str(), account.gid) != 0 || setgid(account.gid) != 0 ||
            setuid(account.uid) != 0) {
            _exit(125);
        }
        _exit(ReadWholeFile(path) ? 0 : 1);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class ClassFolderUsers : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (geteuid() != 0 || !fs::exists("/usr/sbin/useradd") || !fs::exists("/usr/sbin/groupadd")) {
            GTEST_SKIP() << "needs root and the shadow tools to make users";
        }
        const std::string suffix = std::to_string(getpid() % 100000);
        group_ = "qvclass" + suffix;
        if (RunQuietly({"/usr/sbin/groupadd", group_}) != 0) {
            GTEST_SKIP() << "cannot make a group";
        }
        for (const char* role : {"qvteach", "qvstua", "qvstub"}) {
            const std::string name = role + suffix;
            if (RunQuietly(
                    {"/usr/sbin/useradd", "-M", "-U", "-G", group_, "-s", "/usr/sbin/nologin", name}) != 0) {
                GTEST_SKIP() << "cannot make user " << name;
            }
            made_.push_back(name);
            const passwd* entry = getpwnam(name.c_str());
            ASSERT_NE(entry, nullptr);
            accounts_.push_back({name, entry->pw_uid, entry->pw_gid});
        }
        const group* entry = getgrnam(group_.c_str());
        ASSERT_NE(entry, nullptr);
        classGid_ = entry->gr_gid;
    }

    void TearDown() override
    {
        for (const std::string& name : made_) {
            (void)RunQuietly({"/usr/sbin/userdel", name});
        }
        if (!group_.empty()) {
            (void)RunQuietly({"/usr/sbin/groupdel", group_});
        }
    }

    std::string group_;
    gid_t classGid_ = 0;
    std::vector<std::string> made_;
    std::vector<Account> accounts_;
    TempFolder dir_;
};

TEST_F(ClassFolderUsers, EveryRegistrationLeavesAPageAndFilesTheClassCanRead)
{
    const Account& teacher = accounts_[0];
    ASSERT_EQ(chmod(dir_.Root().c_str(), 0755), 0);
    // The teacher's setup: R owned by the teacher and the class's group, mode 3775, the
    // generator the teacher's and writable by nobody else.
    const std::string r = dir_.Path("R");
    fs::create_directory(r);
    ASSERT_EQ(chown(r.c_str(), teacher.uid, classGid_), 0);
    ASSERT_EQ(chmod(r.c_str(), 03775), 0);
    fs::copy_file(TESSALINE_PATH, r + "/Tessaline");
    ASSERT_EQ(chown((r + "/Tessaline").c_str(), teacher.uid, classGid_), 0);
    ASSERT_EQ(chmod((r + "/Tessaline").c_str(), 0755), 0);

    std::vector<std::string> registered;
    for (std::size_t s = 1; s < accounts_.size(); ++s) {
        const Account& student = accounts_[s];
        SCOPED_TRACE(student.name);
        const std::string prog = dir_.Path(student.name);
        ProjectRecord project;
        project.overview.userName = student.name;
        project.overview.registrationFolder = r;
        fs::create_directories(prog + "/演習1/src");
        ASSERT_TRUE(SaveProjectFile(prog + "/演習1/work.psp", project).Ok());
        dir_.Write(student.name + "/演習1/result.txt", student.name + " " + Utf8ToCp932("演習1") + " 80\r\n");
        dir_.Write(student.name + "/演習1/src/Main.cs", "class Main {}");
        ASSERT_EQ(RunQuietly({"/bin/chown", "-R", student.name + ":" + student.name, prog}), 0);
        ASSERT_EQ(chmod(prog.c_str(), 0700), 0);

        ASSERT_EQ(RunAs(student, {QUILVANE_CLI_PATH, "register", "-C", prog, "演習1"}), 0);
        registered.push_back(student.name);

        const std::string page = ReadWholeFile(r + "/result.htm").value_or("");
        for (const std::string& name : registered) {
            EXPECT_NE(page.find("<tr><td>" + name + "</td>"), std::string::npos) << name;
        }
        struct stat pageStatus {};
        ASSERT_EQ(stat((r + "/result.htm").c_str(), &pageStatus), 0);
        EXPECT_NE(pageStatus.st_mode & S_IRGRP, 0u);
        EXPECT_TRUE(CanRead(teacher, r + "/result.htm"));
        for (const auto& entry : fs::recursive_directory_iterator(r + "/" + student.name)) {
            struct stat status {};
            ASSERT_EQ(lstat(entry.path().c_str(), &status), 0);
            EXPECT_EQ(status.st_gid, classGid_) << entry.path();
            const mode_t needed = S_ISDIR(status.st_mode) ? (S_IRGRP | S_IXGRP | S_ISGID) : S_IRGRP;
            EXPECT_EQ(status.st_mode & needed, needed) << entry.path();
            if (S_ISREG(status.st_mode)) {
                EXPECT_TRUE(CanRead(teacher, entry.path())) << entry.path();
                EXPECT_TRUE(CanRead(accounts_[accounts_.size() - s], entry.path())) << entry.path();
            }
        }
    }
    // A folder that another student made ahead under someone's name is not theirs to fill.
    const Account& late = accounts_[1];
    ASSERT_EQ(RunAs(accounts_[2], {"/bin/mkdir", r + "/claimed"}), 0);
    ProjectRecord claimed;
    claimed.overview.userName = "claimed";
    claimed.overview.registrationFolder = r;
    ASSERT_TRUE(SaveProjectFile(dir_.Path(late.name + "/演習1/work.psp"), claimed).Ok());
    EXPECT_EQ(RunAs(late, {QUILVANE_CLI_PATH, "register", "-C", dir_.Path(late.name), "演習1"}), 1);
    EXPECT_FALSE(fs::exists(r + "/claimed/演習1"));
}

} // namespace
