#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

#include "platform/FileIo.h"
#include "project/DefectDetails.h"
#include "project/ProjectFile.h"
#include "tests/RunTool.h"
#include "tests/TempFolder.h"
#include "tests/project/SampleProjects.h"

using namespace quilvane;

namespace {

class CliProject : public ::testing::Test {
protected:
    ToolResult Cli(const std::vector<std::string>& args) { return RunTool(QUILVANE_CLI_PATH, args); }

    TempFolder dir_;
};

} // namespace

TEST_F(CliProject, ShowJsonThenPackGivesBackTheSameBytes)
{
    ProjectRecord rich = RichProject();
    // Bytes that only survive through the lossless mapping: an NEC duplicate and a stray byte.
    rich.defectLog.entries[1].comment = "\x87\x90\xA0";
    // Typed defects, a damaged header and a student's text that reads as a header.
    const std::string design = "\x90\xDD\x8C\x76"; // 設計
    rich.defectLog.entries.push_back({"x", ComposeDefectComment({20, design, 12, "a\r\nb"}), Moment(5)});
    rich.defectLog.entries.push_back({"x", ComposeDefectComment({100, std::nullopt, 0, ""}), Moment(6)});
    rich.defectLog.entries.push_back({"x", "[PSP \x8E\xED\x95\xCA=25]\r\nc", Moment(7)});
    rich.defectLog.entries.push_back(
        {"x", ComposeDefectComment({std::nullopt, std::nullopt, std::nullopt, "[PSP]\r\nmine"}), Moment(8)});
    rich.estimate.newCoef = 0.1 + 0.2;
    std::string file = dir_.Path("work.psp");
    ASSERT_TRUE(SaveProjectFile(file, rich).Ok());

    ToolResult shown = Cli({"show", "--json", file});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    ASSERT_TRUE(WriteFileAtomically(dir_.Path("p.json"), shown.out).Ok());
    ToolResult packed = Cli({"pack", dir_.Path("p.json"), dir_.Path("again.psp")});
    ASSERT_EQ(packed.exitCode, 0) << packed.err;
    EXPECT_EQ(ReadWholeFile(dir_.Path("again.psp")), ReadWholeFile(file));
}

TEST_F(CliProject, JsonHasTheDocumentedShape)
{
    std::string file = dir_.Path("work.psp");
    ASSERT_TRUE(SaveProjectFile(file, RichProject()).Ok());
    auto j = nlohmann::json::parse(Cli({"show", "--json", file}).out);
    EXPECT_EQ(j["projectName"], "Prob1");
    EXPECT_EQ(j["mode"], "コーディング");
    EXPECT_EQ(j["phases"][0]["name"], "計画");
    EXPECT_EQ(j["timeLog"]["columnWidths"].size(), 4u);
    EXPECT_EQ(j["timeLog"]["entries"][0]["end"], 1796587280);
    EXPECT_EQ(j["defectLog"]["entries"][0]["comment"], "line one\r\nline two");
    for (const char* key : {"type", "injected", "fixMinutes"}) {
        EXPECT_TRUE(j["defectLog"]["entries"][0][key].is_null()) << key;
    }
    EXPECT_EQ(j["defectLog"]["entries"][0].size(), 6u);
    EXPECT_EQ(j["estimate"]["baseLoc"], 101);
    EXPECT_EQ(j["result"]["actualMinutes"], 86);
    EXPECT_EQ(j["overview"]["userName"], "山田太郎");
    EXPECT_EQ(j["overview"]["windowRect"][3], 620);
    EXPECT_EQ(j.size(), 9u);
}

TEST_F(CliProject, PackFillsMissingKeysWithNewProjectDefaults)
{
    ASSERT_TRUE(
        WriteFileAtomically(dir_.Path("p.json"), R"({"projectName": "P", "phases": [{"name": "計画"}]})")
            .Ok());
    ASSERT_EQ(Cli({"pack", dir_.Path("p.json"), dir_.Path("w.psp")}).exitCode, 0);
    ProjectRecord loaded;
    ASSERT_TRUE(LoadProjectFile(dir_.Path("w.psp"), loaded).Ok());
    ProjectRecord expected;
    expected.projectName = "P";
    expected.phases = {{"\x8C\x76\x89\xE6", 0, 0, 0}};
    EXPECT_EQ(loaded, expected);
}

TEST_F(CliProject, DefectDetailsShowWithoutTheHeaderAndPackWritesIt)
{
    ProjectRecord p;
    p.defectLog.entries = {
        {"x", ComposeDefectComment({70, "\x90\xDD\x8C\x76", 15, "off by one"}), Moment(5)}};
    ASSERT_TRUE(SaveProjectFile(dir_.Path("work.psp"), p).Ok());
    const std::string readable = Cli({"show", dir_.Path("work.psp")}).out;
    EXPECT_NE(readable.find("\t70 データ\t設計\t15\toff by one\n"), std::string::npos) << readable;
    EXPECT_EQ(readable.find("[PSP"), std::string::npos) << readable;
    auto j = nlohmann::json::parse(Cli({"show", "--json", dir_.Path("work.psp")}).out);
    const auto& entry = j["defectLog"]["entries"][0];
    EXPECT_EQ(entry["comment"], "off by one");
    EXPECT_EQ(entry["type"], 70);
    EXPECT_EQ(entry["injected"], "設計");
    EXPECT_EQ(entry["fixMinutes"], 15);

    ASSERT_TRUE(WriteFileAtomically(dir_.Path("d.json"),
                                    R"({"defectLog": {"entries": [{"phase": "テスト", "comment": "x",)"
                                    R"( "type": 20, "injected": "設計", "fixMinutes": null},)"
                                    R"( {"comment": "[PSP]\r\n", "type": null}]}})")
                    .Ok());
    ToolResult packed = Cli({"pack", dir_.Path("d.json"), dir_.Path("d.psp")});
    ASSERT_EQ(packed.exitCode, 0) << packed.err;
    ProjectRecord loaded;
    ASSERT_TRUE(LoadProjectFile(dir_.Path("d.psp"), loaded).Ok());
    ASSERT_EQ(loaded.defectLog.entries.size(), 2u);
    EXPECT_EQ(loaded.defectLog.entries[0].comment,
              "[PSP \x8E\xED\x95\xCA=20 \x8D\xAC\x93\xFC=\x90\xDD\x8C\x76]\r\nx");
    EXPECT_EQ(DetailsOf(loaded.defectLog.entries[1]).comment, "[PSP]\r\n");
    EXPECT_EQ(DetailsOf(loaded.defectLog.entries[1]).type, std::nullopt);

    const std::pair<const char*, const char*> refused[] = {
        {R"({"defectLog": {"entries": [{"type": 35}]}})", "defectLog.entries[0].type"},
        {R"({"defectLog": {"entries": [{"type": "20"}]}})", "defectLog.entries[0].type"},
        {R"({"defectLog": {"entries": [{}, {"fixMinutes": -1}]}})", "defectLog.entries[1].fixMinutes"},
        {R"({"defectLog": {"entries": [{"fixMinutes": 100000}]}})", "defectLog.entries[0].fixMinutes"},
        {R"({"defectLog": {"entries": [{"injected": "a\nb"}]}})", "defectLog.entries[0].injected"},
        {R"({"defectLog": {"entries": [{"injected": 3}]}})", "defectLog.entries[0].injected"},
        // Through the lossless mapping this is a lone lead byte, which would hide the closing bracket.
        {R"({"defectLog": {"entries": [{"injected": "x\uF783"}]}})", "defectLog.entries[0].injected"},
    };
    for (const auto& [json, field] : refused) {
        SCOPED_TRACE(json);
        ASSERT_TRUE(WriteFileAtomically(dir_.Path("r.json"), json).Ok());
        ToolResult r = Cli({"pack", dir_.Path("r.json"), dir_.Path("r.psp")});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_NE(r.err.find(std::string(field) + ":"), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir_.Path("r.psp")));
    }
}

TEST_F(CliProject, BadInputGivesOneLineAndExitCodes)
{
    ASSERT_TRUE(WriteFileAtomically(dir_.Path("bad.psp"), std::string("\x67\x00\x00\x00\x09", 5)).Ok());
    ToolResult bad = Cli({"show", dir_.Path("bad.psp")});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find("bad.psp"), std::string::npos);
    EXPECT_EQ(std::count(bad.err.begin(), bad.err.end(), '\n'), 1);

    EXPECT_EQ(Cli({"show", dir_.Path("missing.psp")}).exitCode, 1);
    EXPECT_EQ(Cli({}).exitCode, 2);
    EXPECT_EQ(Cli({"show"}).exitCode, 2);
    EXPECT_EQ(Cli({"frobnicate"}).exitCode, 2);
    EXPECT_EQ(Cli({"pack", "only-one"}).exitCode, 2);

    ASSERT_TRUE(WriteFileAtomically(dir_.Path("t.json"), R"({"timeLog": {"width": "wide"}})").Ok());
    ToolResult wrongType = Cli({"pack", dir_.Path("t.json"), dir_.Path("t.psp")});
    EXPECT_EQ(wrongType.exitCode, 1);
    EXPECT_NE(wrongType.err.find("timeLog.width"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("t.psp")));
    ASSERT_TRUE(WriteFileAtomically(dir_.Path("n.json"), "{not json").Ok());
    EXPECT_EQ(Cli({"pack", dir_.Path("n.json"), dir_.Path("t.psp")}).exitCode, 1);

    // Numbers outside their field's range and NaN texts that are no NaN are refused by name.
    const std::pair<const char*, const char*> outOfRange[] = {
        {R"({"timeLog": {"width": 18446744073709551615}})", "timeLog.width"},
        {R"({"phases": [{"plan": 2147483648}]})", "phases[0].plan"},
        {R"({"result": {"actualNew": -2147483649}})", "result.actualNew"},
        {R"({"defectLog": {"columnWidths": [1, 2, 4294967296]}})", "defectLog.columnWidths[2]"},
        {R"({"estimate": {"constant": "NaN:0000000000000001"}})", "estimate.constant"},
        {R"({"estimate": {"newCoef": "NaN:-7ff800000000001"}})", "estimate.newCoef"},
        {R"({"estimate": {"newCoef": "NaN: 7ff800000000001"}})", "estimate.newCoef"},
        {R"({"estimate": {"deleteCoef": "NaN:0x7ff80000000001"}})", "estimate.deleteCoef"},
        {R"({"estimate": {"deleteCoef": "NaN:7ff80000000000001"}})", "estimate.deleteCoef"},
        // A misspelt key is named, at any level, rather than left to the default.
        {R"({"projectNam": "x"})", "projectNam"},
        {R"({"phases": [{"name": "a", "pln": 3}]})", "phases[0].pln"},
        {R"({"timeLog": {"entries": [{"phase": "a", "stat": 1}]}})", "timeLog.entries[0].stat"},
        {R"({"defectLog": {"entries": [{}, {"coment": "x"}]}})", "defectLog.entries[1].coment"},
        {R"({"defectLog": {"withs": [1, 2, 3]}})", "defectLog.withs"},
        {R"({"estimate": {"totalMinute": 5}})", "estimate.totalMinute"},
        {R"({"result": {"actualMinutes": 5, "bugCount": 1}})", "result.bugCount"},
        {R"({"overview": {"user": "x"}})", "overview.user"},
    };
    for (const auto& [json, field] : outOfRange) {
        SCOPED_TRACE(json);
        ASSERT_TRUE(WriteFileAtomically(dir_.Path("r.json"), json).Ok());
        ToolResult refused = Cli({"pack", dir_.Path("r.json"), dir_.Path("r.psp")});
        EXPECT_EQ(refused.exitCode, 1);
        EXPECT_NE(refused.err.find(std::string(field) + ":"), std::string::npos) << refused.err;
        EXPECT_FALSE(std::filesystem::exists(dir_.Path("r.psp")));
    }
    // A number beyond a double's range is not read as infinity.
    ASSERT_TRUE(WriteFileAtomically(dir_.Path("r.json"), R"({"estimate": {"reuseCoef": 1e400}})").Ok());
    EXPECT_EQ(Cli({"pack", dir_.Path("r.json"), dir_.Path("r.psp")}).exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("r.psp")));
    // The edges of each range still pack.
    ASSERT_TRUE(WriteFileAtomically(dir_.Path("e.json"),
                                    R"({"phases": [{"plan": 2147483647, "actual": -2147483648}],)"
                                    R"( "estimate": {"constant": "NaN:7ff8000000000001", "newCoef": 1e308}})")
                    .Ok());
    ToolResult edges = Cli({"pack", dir_.Path("e.json"), dir_.Path("e.psp")});
    ASSERT_EQ(edges.exitCode, 0) << edges.err;
    ProjectRecord packed;
    ASSERT_TRUE(LoadProjectFile(dir_.Path("e.psp"), packed).Ok());
    EXPECT_EQ(packed.phases.at(0).plan, 2147483647);
    EXPECT_EQ(packed.phases.at(0).actual, -2147483647 - 1);
    EXPECT_TRUE(std::isnan(packed.estimate.constant));

    // A folder, a FIFO or a device in place of a file: one line and exit 1, never a hang or abort.
    std::filesystem::create_directory(dir_.Path("folder"));
    ASSERT_EQ(mkfifo(dir_.Path("fifo").c_str(), 0600), 0);
    for (const std::string& notAFile : {dir_.Path("folder"), dir_.Path("fifo"), std::string("/dev/zero")}) {
        SCOPED_TRACE(notAFile);
        for (const char* command : {"show", "pack"}) {
            ToolResult r = command == std::string("show") ? Cli({"show", notAFile})
                                                          : Cli({"pack", notAFile, dir_.Path("x.psp")});
            EXPECT_EQ(r.exitCode, 1) << command;
            EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        }
    }
    // Nor is a folder or a device written over; {} itself is the new project's defaults.
    ASSERT_TRUE(WriteFileAtomically(dir_.Path("ok.json"), "{}").Ok());
    EXPECT_EQ(Cli({"pack", dir_.Path("ok.json"), dir_.Path("ok.psp")}).exitCode, 0);
    EXPECT_EQ(ReadWholeFile(dir_.Path("ok.psp")), SerializeToBytes(ProjectRecord{}));
    EXPECT_EQ(Cli({"pack", dir_.Path("ok.json"), dir_.Path("folder")}).exitCode, 1);
    EXPECT_EQ(Cli({"pack", dir_.Path("ok.json"), "/dev/full"}).exitCode, 1);
    EXPECT_TRUE(std::filesystem::is_directory(dir_.Path("folder")));
}

TEST_F(CliProject, ReadableShowNamesThePhases)
{
    std::string file = dir_.Path("work.psp");
    ASSERT_TRUE(SaveProjectFile(file, RichProject()).Ok());
    ToolResult shown = Cli({"show", file});
    ASSERT_EQ(shown.exitCode, 0);
    EXPECT_NE(shown.out.find("計画"), std::string::npos);
    EXPECT_NE(shown.out.find("山田太郎"), std::string::npos);
}

TEST_F(CliProject, PackWritesTheCanonicalFormAndShowWarnsOfTrailingBytes)
{
    const std::string canonical = SerializeToBytes(RichProject());
    // The project name "Prob1" is the first string, right after the version.
    const std::string rest = canonical.substr(4 + 1 + 5);
    // "Prob1" as UTF-16: the marker 0xFF 0xFFFE, then the usual length prefix.
    const std::string utf16Name("\xFF\xFE\xFF\x05P\0r\0o\0b\0\x31\0", 14);
    struct Case {
        const char* what;
        std::string bytes;
        bool trailing;
    };
    const Case cases[] = {
        {"canonical", canonical, false},
        {"older version", std::string("\x66\x00\x00\x00\x05Prob1", 10) + rest, false},
        {"UTF-16 string", std::string("\x67\x00\x00\x00", 4) + utf16Name + rest, false},
        {"long length prefix", std::string("\x67\x00\x00\x00\xFF\x05\x00Prob1", 12) + rest, false},
        {"bytes after the record", canonical + std::string("\x00\x01", 2), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string file = dir_.Path("work.psp");
        ASSERT_TRUE(WriteFileAtomically(file, c.bytes).Ok());
        ToolResult shown = Cli({"show", "--json", file});
        ASSERT_EQ(shown.exitCode, 0) << shown.err;
        EXPECT_EQ(shown.err.find("2 バイトの余分なデータ") != std::string::npos, c.trailing) << shown.err;
        EXPECT_EQ(shown.err.empty(), !c.trailing);
        EXPECT_EQ(Cli({"show", file}).err, shown.err);
        ASSERT_TRUE(WriteFileAtomically(dir_.Path("p.json"), shown.out).Ok());
        ASSERT_EQ(Cli({"pack", dir_.Path("p.json"), dir_.Path("again.psp")}).exitCode, 0);
        // Only the canonical file comes back byte for byte.
        EXPECT_EQ(ReadWholeFile(dir_.Path("again.psp")), canonical);
    }
}

namespace {

// 山田, 課題1 and 課題2 as stored (CP932) text.
const std::string Yamada = "\x8E\x52\x93\x63";
const std::string Kadai1 = "\x89\xDB\x91\xE8\x31";
const std::string Kadai2 = "\x89\xDB\x91\xE8\x32";

// A program folder whose own path holds Japanese, with settings, template and exercise material.
class CliNew : public ::testing::Test {
protected:
    void SetUp() override
    {
        Write("init/psp.txt", "100\r\n" + Yamada + "\r\n\r\n2\r\nA\r\nB\r\n");
        ProjectRecord templ;
        templ.estimate.totalMinutes = 60;
        ASSERT_TRUE(SaveProjectFile(root_ + "/init/work.psp", templ).Ok());
        Write("prob/htm/課題2.htm", "<base>" + Kadai1 + "</base>\r\n");
        Write("課題1/課題1.sln", "Project " + Kadai1 + " by USERNAME, VERSION\r\n");
        Write("prob/課題2/問題.txt", "input");
        Write("prob/bat/課題2.bat", "echo made > batch-ran.txt\n");
    }
    void Write(const std::string& relative, const std::string& text)
    {
        std::filesystem::create_directories(std::filesystem::path(root_ + "/" + relative).parent_path());
        ASSERT_TRUE(WriteFileAtomically(root_ + "/" + relative, text).Ok());
    }
    std::string Read(const std::string& relative)
    {
        return ReadWholeFile(root_ + "/" + relative).value_or("<missing>");
    }
    ToolResult Cli(const std::vector<std::string>& args, const std::string& cwd = "")
    {
        return RunTool(QUILVANE_CLI_PATH, args, cwd);
    }

    TempFolder dir_;
    std::string root_ = dir_.Path("演習 フォルダ");
};

} // namespace

TEST_F(CliNew, MakesTheProjectAsTheWorkbenchDoesUnderUtf8Names)
{
    ToolResult r = Cli({"new", "-C", root_, "課題2", "課題1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, root_ + "/課題2/work.psp\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(Read("課題2/課題2.sln"), "Project " + Kadai2 + " by " + Yamada + ", 1.03\r\n");
    EXPECT_EQ(Read("課題2/問題.txt"), "input");
    EXPECT_EQ(Read("batch-ran.txt"), "made\n");
    ProjectRecord made;
    ASSERT_TRUE(LoadProjectFile(root_ + "/課題2/work.psp", made).Ok());
    EXPECT_EQ(made.projectName, Kadai2);
    EXPECT_EQ(made.estimate.baseName, Kadai1);
    EXPECT_EQ(made.overview.userName, Yamada);
    ASSERT_EQ(made.phases.size(), 2u);
    EXPECT_EQ(made.phases[0].plan + made.phases[1].plan, 60);
    EXPECT_EQ(made.memo.substr(0, 26), "Quilvane \x83\x6F\x81\x5B\x83\x57\x83\x87\x83\x93 1.03\r\n");
    EXPECT_NE(made.memo.find(" \x8D\xEC\x90\xAC\r\n"), std::string::npos);

    // The statistics scan finds it under its stored name.
    ToolResult stats = Cli({"stats"}, root_);
    ASSERT_EQ(stats.exitCode, 0) << stats.err;
    EXPECT_NE(stats.out.find("\n,課題2,課題1,"), std::string::npos) << stats.out;
}

TEST_F(CliNew, RefusalsExitOneWithTheWorkbenchMessage)
{
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    ASSERT_EQ(Cli({"new", "課題2"}, root_).exitCode, 0);
    const Case cases[] = {
        {{"new", "課題2", "課題1"}, "既にプロジェクトが存在しています\n"},
        {{"new", "../outside"}, "プロジェクト名 ../outside はフォルダ名に使えません\n"},
        {{"new", "絵😀"}, "「絵😀」にはシフトJISで表せない文字が含まれているため使えません\n"},
        {{"new", "課題3", "絵😀"}, "「絵😀」にはシフトJISで表せない文字が含まれているため使えません\n"},
    };
    for (const auto& c : cases) {
        ToolResult r = Cli(c.args, root_);
        EXPECT_EQ(r.exitCode, 1) << c.args[1];
        EXPECT_EQ(r.err, c.message) << c.args[1];
        EXPECT_EQ(r.out, "") << c.args[1];
    }
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("outside")));
    EXPECT_FALSE(std::filesystem::exists(root_ + "/課題3"));

    Write("init/psp.txt", "100\r\nYOUR NAME\r\n\r\n0\r\n");
    ToolResult unnamed = Cli({"new", "-C", root_, "課題3"});
    EXPECT_EQ(unnamed.exitCode, 1);
    EXPECT_EQ(unnamed.err, "名前を設定して下さい\n");
    std::filesystem::remove(root_ + "/init/work.psp");
    ToolResult bare = Cli({"new", "-C", root_, "課題3"});
    EXPECT_EQ(bare.exitCode, 1);
    EXPECT_EQ(bare.err, "テンプレートドキュメント init/work.psp がありません\n");
    EXPECT_FALSE(std::filesystem::exists(root_ + "/課題3"));

    EXPECT_EQ(Cli({"new"}, root_).exitCode, 2);
    EXPECT_EQ(Cli({"new", "a", "b", "c"}, root_).exitCode, 2);
    EXPECT_EQ(Cli({"new", "-C"}, root_).exitCode, 2);
    EXPECT_EQ(Cli({"new", "-C", dir_.Path("missing"), "a"}).exitCode, 1);
}

TEST_F(CliNew, MissingBaseOrUnreadableSettingsCreateNothing)
{
    const std::string settings = root_ + "/init/psp.txt";
    struct Case {
        const char* what;
        std::function<void()> prepare;
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {"missing base", [] {}, {"new", "課題3", "課題9"}, "ベースのプロジェクト 課題9 がありません\n"},
        {"base outside", [] {}, {"new", "課題3", ".."}, "ベースのプロジェクト .. がありません\n"},
        {"absurd phase count",
         [&] { Write("init/psp.txt", "100\r\n" + Yamada + "\r\n\r\n2147483647\r\nA\r\n"); },
         {"new", "課題3"},
         settings + " を読めません: 工程の数 2147483647 がファイルの大きさ (28 バイト) を超えています\n"},
        {"settings as FIFO",
         [&] {
             std::filesystem::remove(settings);
             ASSERT_EQ(mkfifo(settings.c_str(), 0600), 0);
         },
         {"new", "課題3"},
         settings + " は通常のファイルではありません\n"},
        {"settings as /dev/zero",
         [&] {
             std::filesystem::remove(settings);
             std::filesystem::create_symlink("/dev/zero", settings);
         },
         {"new", "課題3"},
         settings + " は通常のファイルではありません\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.prepare();
        ToolResult r = Cli(c.args, root_);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, c.message);
        EXPECT_EQ(r.out, "");
        EXPECT_FALSE(std::filesystem::exists(root_ + "/課題3"));
    }
    // A settings file that is simply not there still means "no settings", as in the workbench.
    std::filesystem::remove(settings);
    ToolResult bare = Cli({"new", "課題3"}, root_);
    EXPECT_EQ(bare.exitCode, 0) << bare.err;
}

TEST_F(CliNew, WithoutBaseTakesTheBaseTheDialogProposes)
{
    ToolResult r = Cli({"new", "-C", root_, "課題2"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Read("課題2/課題2.sln"), "Project " + Kadai2 + " by " + Yamada + ", 1.03\r\n");
    ProjectRecord made;
    ASSERT_TRUE(LoadProjectFile(root_ + "/課題2/work.psp", made).Ok());
    EXPECT_EQ(made.estimate.baseName, Kadai1);
}

// Findings are an exit code of their own, apart from failures and wrong usage.
TEST_F(CliProject, CheckTellsFindingsFailuresAndUsageApart)
{
    ProjectRecord clean;
    clean.phases = {{"\x8C\x76\x89\xE6", 10, 1, 0}}; // 計画
    clean.timeLog.entries = {{"\x8C\x76\x89\xE6", Moment(1000), Moment(1060)}};
    ProjectRecord overlapping = clean;
    overlapping.timeLog.entries.push_back({"\x8C\x76\x89\xE6", Moment(1030), Moment(1090)});
    overlapping.phases[0].actual = 2;
    std::filesystem::create_directories(dir_.Path("prog/Clean"));
    std::filesystem::create_directories(dir_.Path("prog/Overlap"));
    ASSERT_TRUE(SaveProjectFile(dir_.Path("prog/Clean/work.psp"), clean).Ok());
    ASSERT_TRUE(SaveProjectFile(dir_.Path("prog/Overlap/work.psp"), overlapping).Ok());
    const std::string prog = dir_.Path("prog");
    const struct {
        std::vector<std::string> args;
        int exitCode;
        const char* inOutput;
    } cases[] = {
        {{"check", "-C", prog, "Clean"}, 0, "確認事項: 0 件"},
        {{"check", "-C", prog, "--json", "Clean"}, 0, "\"findings\": []"},
        {{"check", "-C", prog, "Overlap"},
         3,
         "overlapping-entries: 時間記録 2 行目 が 1 行目 と重なっています"},
        {{"check", "-C", prog, "NoSuch"}, 1, ""},
        {{"check", "-C", prog}, 2, ""},
        {{"check", "-C", prog, "Clean", "Overlap"}, 2, ""},
    };
    for (const auto& c : cases) {
        ToolResult r = Cli(c.args);
        SCOPED_TRACE(c.args.back());
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err;
        EXPECT_NE(r.out.find(c.inOutput), std::string::npos) << r.out;
    }
    auto j = nlohmann::json::parse(Cli({"check", "-C", prog, "--json", "Overlap"}).out);
    ASSERT_EQ(j["findings"].size(), 1u);
    EXPECT_EQ(j["findings"][0]["code"], "overlapping-entries");
    EXPECT_EQ(j["findings"][0]["entry"], (nlohmann::json{{"log", "time"}, {"row", 2}}));
    EXPECT_FALSE(j["findings"][0]["hint"].get<std::string>().empty());
}
