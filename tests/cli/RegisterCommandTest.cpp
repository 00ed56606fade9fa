#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/PathNames.h"
#include "project/ProjectFile.h"
#include "registration/Registration.h"
#include "tests/RunTool.h"
#include "tests/TempFolder.h"

using namespace quilvane;
namespace fs = std::filesystem;

namespace {

// A program folder "prog" holding project 演習1 of 山田, who registers into prog/共有/登録.
// Public, so the prepared cases below can change the folder.
class CliRegister : public ::testing::Test {
public:
    void SetUp() override
    {
        project_.overview.userName = Utf8ToCp932("山田");
        // Relative to the program folder, with the separators the settings store.
        project_.overview.registrationFolder = Utf8ToCp932("共有\\登録");
        SaveProject();
        Write("prog/演習1/演習1.cs", "class P {}");
        Write("prog/演習1/result.txt", Utf8ToCp932("山田 演習1 80") + "\r\n");
        Generator("#!/bin/sh\npwd > ran.txt\n");
    }

    void SaveProject()
    {
        fs::create_directories(Path("prog/演習1"));
        ASSERT_TRUE(SaveProjectFile(Path("prog/演習1/work.psp"), project_).Ok());
    }

    std::string Path(const std::string& relative) const { return dir_.Path(relative); }

    void Write(const std::string& relative, const std::string& bytes) { dir_.Write(relative, bytes); }

    void Generator(const std::string& script)
    {
        Write(Generated(), script);
        chmod(Path(Generated()).c_str(), 0755);
    }

    static std::string Generated() { return std::string("prog/共有/登録/") + GeneratorName; }

    ToolResult Cli(const std::vector<std::string>& args, const std::string& cwd = "")
    {
        return RunTool(QUILVANE_CLI_PATH, args, cwd);
    }

    TempFolder dir_;
    ProjectRecord project_;
};

} // namespace

TEST_F(CliRegister, RegistersUnderTheDiskNamesAndPrintsTheTarget)
{
    const std::string target = Path("prog/共有/登録/山田/演習1");
    for (bool inWorkingDirectory : {false, true}) {
        ToolResult r = inWorkingDirectory ? Cli({"register", "演習1"}, Path("prog"))
                                          : Cli({"register", "-C", Path("prog"), "演習1"});
        SCOPED_TRACE(inWorkingDirectory ? "working directory" : "-C");
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, target + "\n");
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(ReadWholeFile(target + "/演習1.cs"), "class P {}");
        EXPECT_TRUE(fs::exists(target + "/work.psp"));
        EXPECT_EQ(ReadWholeFile(Path("prog/共有/登録/ran.txt")),
                  fs::canonical(Path("prog/共有/登録")).string() + "\n");
        fs::remove(Path("prog/共有/登録/ran.txt"));
    }
}

TEST_F(CliRegister, RefusalsAndFailuresExitWithTheWorkbenchMessage)
{
    struct Case {
        std::string label;
        std::function<void(CliRegister&)> prepare;
        std::vector<std::string> args;
        int exitCode;
        std::string out;
        std::string err;
    };
    const std::string prog = Path("prog");
    const std::string target = Path("prog/共有/登録/山田/演習1");
    const Case cases[] = {
        {"no registration folder",
         [](CliRegister& t) {
             t.project_.overview.registrationFolder.clear();
             t.SaveProject();
         },
         {"register", "-C", prog, "演習1"},
         1,
         "",
         "quilvane-cli: データの登録先を設定して下さい\n"},
        {"no user name",
         [](CliRegister& t) {
             t.project_.overview.userName.clear();
             t.SaveProject();
         },
         {"register", "-C", prog, "演習1"},
         1,
         "",
         "quilvane-cli: 名前を設定して下さい\n"},
        {"no such project",
         nullptr,
         {"register", "-C", prog, "演習2"},
         1,
         "",
         "quilvane-cli: プロジェクト「演習2」はありません\n"},
        {"a path for a project",
         nullptr,
         {"register", "-C", prog, "../prog"},
         1,
         "",
         "quilvane-cli: プロジェクト名「../prog」はフォルダ名に使えないため登録できません\n"},
        {"a name without CP932 form",
         nullptr,
         {"register", "-C", prog, "\xF0\x9F\x98\x80"},
         1,
         "",
         "quilvane-cli: " + UnstorableNameMessage("\xF0\x9F\x98\x80") + "\n"},
        {"program folder missing",
         nullptr,
         {"register", "-C", Path("nowhere"), "演習1"},
         1,
         "",
         "quilvane-cli: " + Path("nowhere") + " はフォルダではありません\n"},
        {"generator failed",
         [](CliRegister& t) { t.Generator("#!/bin/sh\nexit 2\n"); },
         {"register", "-C", prog, "演習1"},
         1,
         target + "\n",
         "quilvane-cli: 進捗表を作るプログラムが終了コード 2 で終わったため、進捗表は更新されていません\n(" +
             Path("prog/共有/登録/result.htm") + " に書き込めません)\n"},
        {"no generator",
         [](CliRegister& t) { fs::remove(t.Path(Generated())); },
         {"register", "-C", prog, "演習1"},
         1,
         target + "\n",
         "quilvane-cli: 登録先に進捗表を作るプログラム " + Path(Generated()) +
             " がないため、進捗表は更新されていません\n"},
        {"no result line",
         [](CliRegister& t) { fs::remove(t.Path("prog/演習1/result.txt")); },
         {"register", "-C", prog, "演習1"},
         0,
         target + "\n",
         "quilvane-cli: プロジェクトに result.txt がないため、進捗表にこのプロジェクトは載りません\n"},
        {"result line of another user",
         [](CliRegister& t) { t.Write("prog/演習1/result.txt", Utf8ToCp932("田中 演習1 80")); },
         {"register", "-C", prog, "演習1"},
         0,
         target + "\n",
         "quilvane-cli: result.txt の氏名「田中」が、登録する氏名「山田」と違います\n"
         "このままでは、進捗表に思ったとおりには載りません\n"},
        {"data that cannot all be true",
         [](CliRegister& t) {
             // Two intervals of one phase over the same minute.
             ProjectRecord overlapping = t.project_;
             overlapping.timeLog.entries = {{"p", Moment(1000), Moment(1060)},
                                            {"p", Moment(1030), Moment(1090)}};
             EXPECT_TRUE(SaveProjectFile(t.Path("prog/演習1/work.psp"), overlapping).Ok());
         },
         {"register", "-C", prog, "演習1"},
         0,
         target + "\n",
         "quilvane-cli: 確認事項が 1 件あります (quilvane-cli check で確かめられます)\n"},
        {"a user folder that is a link",
         [](CliRegister& t) {
             t.Write("elsewhere/keep.txt", "keep");
             fs::create_directory_symlink(t.Path("elsewhere"), t.Path("prog/共有/登録/山田"));
         },
         {"register", "-C", prog, "演習1"},
         1,
         "",
         "quilvane-cli: " + Path("prog/共有/登録/山田") +
             " はフォルダではなくシンボリックリンクのため、登録しませんでした。先生に連絡して下さい\n"},
        {"usage", nullptr, {"register", "-C", prog}, 2, "", ""},
        {"a limit that is no number of seconds",
         nullptr,
         {"register", "--limit", "0", "-C", prog, "演習1"},
         2,
         "",
         ""},
    };
    for (const auto& c : cases) {
        SetUp();
        if (c.prepare) {
            c.prepare(*this);
        }
        ToolResult r = Cli(c.args);
        SCOPED_TRACE(c.label);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(r.out, c.out);
        if (c.exitCode == 2) {
            EXPECT_NE(r.err.find("使い方: quilvane-cli register"), std::string::npos) << r.err;
        } else {
            EXPECT_EQ(r.err, c.err);
        }
        EXPECT_EQ(fs::exists(target + "/work.psp"), !c.out.empty());
        fs::remove_all(Path("prog/共有/登録/山田"));
    }
    // Nothing was written through the planted link.
    EXPECT_EQ(std::distance(fs::directory_iterator(Path("elsewhere")), fs::directory_iterator()), 1);
}

// The generator a classmate could have put there is not run, and one that never ends holds
// neither the tool nor the script reading its output: the tool says so at its limit.
TEST_F(CliRegister, GeneratorIsRunOnlyWhenTrustedAndNeverForLonger)
{
    struct Case {
        const char* label;
        const char* script;
        mode_t mode;
        std::string err;
    };
    const std::string generator = Path(Generated());
    const Case cases[] = {
        {"writable by others", "#!/bin/sh\ntouch ran.txt\n", 0777,
         "進捗表を作るプログラム " + generator +
             " を他のユーザーも書き換えられるため、起動しませんでした。進捗表は更新されていません。先生に連絡"
             "して下さい"},
        {"writable by the group", "#!/bin/sh\ntouch ran.txt\n", 0775, "を他のユーザーも書き換えられるため"},
        {"never ends", "#!/bin/sh\necho $$ > pid.txt\nexec sleep 600\n", 0755, "時間内に終わりませんでした"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Generator(c.script);
        chmod(generator.c_str(), c.mode);
        // Read through a pipe, as a script's $(...) does: the tool ends, and so does the output.
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 2);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        std::vector<std::string> args{QUILVANE_CLI_PATH, "register", "--limit", "1", "-C",
                                      Path("prog"),      "演習1"};
        std::vector<char*> argv = ArgumentVector(args);
        pid_t pid = 0;
        ASSERT_EQ(posix_spawn(&pid, QUILVANE_CLI_PATH, &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        std::string output;
        char buffer[512];
        for (ssize_t got; (got = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
            output.append(buffer, static_cast<std::size_t>(got));
        }
        close(pipeEnds[0]);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        if (auto sleeper = ReadWholeFile(Path("prog/共有/登録/pid.txt"))) {
            kill(std::stoi(*sleeper), SIGKILL);
            fs::remove(Path("prog/共有/登録/pid.txt"));
        }
        EXPECT_EQ(WEXITSTATUS(status), 1) << output;
        EXPECT_NE(output.find(c.err), std::string::npos) << output;
        EXPECT_FALSE(fs::exists(Path("prog/共有/登録/ran.txt")));
        EXPECT_TRUE(fs::exists(Path("prog/共有/登録/山田/演習1/work.psp"))); // the copy stays done
    }
}

// Registrations of one user take turns: every one that reports success leaves a whole copy, and
// none removes another's copy in the making.
TEST_F(CliRegister, ConcurrentRegistrationsEachLeaveAWholeCopy)
{
    constexpr int Files = 2000;
    constexpr int Registrations = 5;
    for (int i = 0; i < Files; ++i) {
        Write("prog/演習1/src" + std::to_string(i % 20) + "/f" + std::to_string(i) + ".cs",
              std::to_string(i));
    }
    const std::size_t projectEntries = static_cast<std::size_t>(std::distance(
        fs::recursive_directory_iterator(Path("prog/演習1")), fs::recursive_directory_iterator()));
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        std::vector<pid_t> running;
        for (int i = 0; i < Registrations; ++i) {
            std::vector<std::string> args{QUILVANE_CLI_PATH, "register", "-C", Path("prog"), "演習1"};
            std::vector<char*> argv = ArgumentVector(args);
            posix_spawn_file_actions_t actions;
            posix_spawn_file_actions_init(&actions);
            posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
            pid_t pid = 0;
            ASSERT_EQ(posix_spawn(&pid, QUILVANE_CLI_PATH, &actions, nullptr, argv.data(), environ), 0);
            posix_spawn_file_actions_destroy(&actions);
            running.push_back(pid);
        }
        for (pid_t pid : running) {
            int status = 0;
            ASSERT_EQ(waitpid(pid, &status, 0), pid);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        const std::string target = Path("prog/共有/登録/山田/演習1");
        EXPECT_EQ(static_cast<std::size_t>(std::distance(fs::recursive_directory_iterator(target),
                                                         fs::recursive_directory_iterator())),
                  projectEntries);
        std::vector<std::string> userFolder;
        for (const auto& entry : fs::directory_iterator(Path("prog/共有/登録/山田"))) {
            userFolder.push_back(entry.path().filename().string());
        }
        EXPECT_EQ(userFolder, std::vector<std::string>{"演習1"});
    }
}
