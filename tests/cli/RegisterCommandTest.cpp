#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

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
         "quilvane-cli: ディレクトリを移動できません\n"},
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
        {"usage", nullptr, {"register", "-C", prog}, 2, "", ""},
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
}
