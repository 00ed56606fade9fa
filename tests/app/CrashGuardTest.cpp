// The running phase survives a logout, a kill and a crash. The signal tests start the workbench
// as a child process (this test program, running the disabled child test below) on the
// offscreen platform, wait until it has journalled ten minutes of a running phase, then stop it
// from outside.
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "app/CrashGuard.h"
#include "project/WorkJournal.h"
#include "tests/GuiFixture.h"

extern char** environ;

using namespace quilvane;
namespace fs = std::filesystem;

namespace {

constexpr const char* ChildFolderVariable = "QUILVANE_CHILD_PROGRAM_FOLDER";
constexpr std::int32_t ChildStart = 1796601600;
constexpr std::int32_t ChildWorked = 600;

class CrashSafety : public WorkbenchTest {
protected:
    void SetUp() override
    {
        WorkbenchTest::SetUp();
        path_ = MakeProject("Prob1", ThreePhases());
    }
    void TearDown() override
    {
        if (child_ > 0) {
            kill(child_, SIGKILL);
            waitpid(child_, nullptr, 0);
        }
        WorkbenchTest::TearDown();
    }

    // Starts the child workbench on this test's program folder.
    void SpawnChild()
    {
        char self[4096] = {};
        ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
        std::vector<std::string> env;
        for (char** e = environ; *e != nullptr; ++e) {
            env.emplace_back(*e);
        }
        env.push_back(std::string(ChildFolderVariable) + "=" + dir_.Root());
        env.emplace_back("QT_QPA_PLATFORM=offscreen");
        std::vector<char*> envp;
        for (auto& e : env) {
            envp.push_back(e.data());
        }
        envp.push_back(nullptr);
        std::string filter = "--gtest_filter=DISABLED_ChildWorkbench.RunsUntilStopped";
        std::string alsoDisabled = "--gtest_also_run_disabled_tests";
        char* argv[] = {self, filter.data(), alsoDisabled.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, output_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        int rc = posix_spawn(&child_, self, &actions, nullptr, argv, envp.data());
        posix_spawn_file_actions_destroy(&actions);
        ASSERT_EQ(rc, 0);
    }

    std::string ChildOutput() { return ReadWholeFile(output_).value_or(""); }

    // Waits until the child has journalled its ten minutes; false when it ended or took too long.
    bool WaitForJournal()
    {
        for (int i = 0; i < 1200; ++i) {
            auto record = ReadJournal(JournalPathFor(path_));
            if (record && record->moment == ChildStart + ChildWorked) {
                return true;
            }
            if (waitpid(child_, nullptr, WNOHANG) == child_) {
                child_ = 0;
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    // Waits for the child's end; its wait status, or nothing when it did not end in time.
    std::optional<int> WaitForExit()
    {
        for (int i = 0; i < 1200; ++i) {
            int status = 0;
            if (waitpid(child_, &status, WNOHANG) == child_) {
                child_ = 0;
                return status;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return std::nullopt;
    }

    std::string path_;
    std::string output_ = dir_.Path("child.txt");
    pid_t child_ = 0;
};

} // namespace

// The child's part; runs only when a parent test starts it.
TEST(DISABLED_ChildWorkbench, RunsUntilStopped)
{
    const char* folder = std::getenv(ChildFolderVariable);
    ASSERT_NE(folder, nullptr);
    SetProgramFolder(folder);
    ScriptedPrompt prompt;
    SetPrompt(&prompt);
    ManualTimeSource clock(ChildStart);
    {
        CQuilvaneApp app(clock);
        ASSERT_TRUE(app.InitInstance({QString::fromStdString(std::string(folder) + "/Prob1/work.psp")}));
        CrashGuard guard(app.Doc());
        ASSERT_TRUE(guard.Installed());
        app.Frame().View()->SelectMode(1);
        clock.Advance(ChildWorked);
        app.Frame().OnTimer();
        EXPECT_EQ(QApplication::exec(), 0);
    }
    SetPrompt(nullptr);
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(CrashSafety, TerminatedWorkbenchLogsTheRunningPhaseAndSaves)
{
    SpawnChild();
    ASSERT_TRUE(WaitForJournal()) << ChildOutput();
    ASSERT_EQ(kill(child_, SIGTERM), 0);
    auto status = WaitForExit();
    ASSERT_TRUE(status.has_value()) << "the workbench did not end on SIGTERM";
    ASSERT_TRUE(WIFEXITED(*status)) << ChildOutput();
    EXPECT_EQ(WEXITSTATUS(*status), 0) << ChildOutput();

    ProjectRecord saved;
    ASSERT_TRUE(LoadProjectFile(path_, saved).Ok());
    ASSERT_EQ(saved.timeLog.entries.size(), 1u);
    EXPECT_EQ(saved.timeLog.entries[0].phase, "A");
    EXPECT_EQ(saved.timeLog.entries[0].start.Seconds(), ChildStart);
    EXPECT_EQ(saved.timeLog.entries[0].Duration(), ChildWorked);
    EXPECT_FALSE(fs::exists(JournalPathFor(path_)));
    EXPECT_FALSE(fs::exists(AutosavePathFor(path_)));
    std::string last;
    ASSERT_TRUE(ReadLastProject(last).Ok());
    EXPECT_EQ(last, "Prob1");
}

TEST_F(CrashSafety, KilledWorkbenchIsRecoveredAtTheNextStart)
{
    SpawnChild();
    ASSERT_TRUE(WaitForJournal()) << ChildOutput();
    ASSERT_EQ(kill(child_, SIGKILL), 0);
    auto status = WaitForExit();
    ASSERT_TRUE(status.has_value());
    ASSERT_TRUE(WIFSIGNALED(*status));
    ProjectRecord before;
    ASSERT_TRUE(LoadProjectFile(path_, before).Ok());
    ASSERT_TRUE(before.timeLog.entries.empty());
    ASSERT_TRUE(fs::exists(AutosavePathFor(path_)));

    // No last project is remembered: the recovered one opens.
    prompt_.answers = {Prompt::Answer::Yes, Prompt::Answer::Yes};
    Start();
    ASSERT_EQ(prompt_.shown.size(), 2u);
    EXPECT_TRUE(prompt_.shown[0].startsWith("前回 Quilvane は Prob1 の工程「A」を計測中に終了しました。"))
        << prompt_.shown[0].toStdString();
    EXPECT_TRUE(prompt_.shown[0].endsWith("までを時間記録に加えますか?"));
    EXPECT_TRUE(prompt_.shown[1].startsWith("Prob1 には保存されていない変更が自動保存に残っています。"));
    EXPECT_EQ(Doc().PathName(), path_);
    ASSERT_EQ(Doc().Data().timeLog.entries.size(), 1u);
    EXPECT_EQ(Doc().Data().timeLog.entries[0].Duration(), ChildWorked);
    EXPECT_EQ(Cell(0, 2), "10");
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_FALSE(fs::exists(JournalPathFor(path_)));
    EXPECT_FALSE(fs::exists(AutosavePathFor(path_)));
}

TEST_F(CrashSafety, RecoveryDeclinedDiscardsTheJournalAndStartsAsUsual)
{
    MakeProject("Prob2", ThreePhases());
    ASSERT_TRUE(WriteLastProject("Prob2").Ok());
    ProjectRecord running = ThreePhases();
    running.mode = "B";
    running.memo = "lost";
    WorkJournal journal;
    ASSERT_TRUE(journal.Keep(path_, running, ChildStart, true, ChildStart + 300, true).Ok());
    prompt_.answers = {Prompt::Answer::No, Prompt::Answer::No};
    Start();
    EXPECT_EQ(prompt_.shown.size(), 2u);
    EXPECT_EQ(Doc().Data().projectName, "Prob2");
    ProjectRecord saved;
    ASSERT_TRUE(LoadProjectFile(path_, saved).Ok());
    EXPECT_TRUE(saved.timeLog.entries.empty());
    EXPECT_EQ(saved.memo, "");
    EXPECT_FALSE(fs::exists(JournalPathFor(path_)));
    EXPECT_FALSE(fs::exists(AutosavePathFor(path_)));
}
