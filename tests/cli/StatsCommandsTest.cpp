#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "estimate/ProbeFit.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "project/DefectDetails.h"
#include "statistics/ProjectScan.h"
#include "tests/RunTool.h"
#include "tests/statistics/StatTestFolder.h"

using namespace quilvane;

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> Listing(const std::string& root)
{
    std::vector<std::string> paths;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root)) {
        paths.push_back(e.path().string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

class StatCli : public StatFolderTest {
protected:
    ToolResult Cli(const std::vector<std::string>& args, const std::string& cwd = "")
    {
        return RunTool(QUILVANE_CLI_PATH, args, cwd);
    }

    // The history of the tests below: six finished projects and a vanished one in the file.
    void MakeHistory()
    {
        StatStore file;
        file.records["Gone"] = {false, "Prob0", 1, 2, 3, 4, 5, 6, 7, 8, 9};
        ASSERT_TRUE(SaveStatInfo(file).Ok());
        const std::int32_t sizes[][4] = {{0, 0, 100, 150},  {50, 5, 80, 140},    {120, 20, 150, 230},
                                         {80, 10, 60, 110}, {200, 40, 220, 330}, {30, 3, 90, 120}};
        int i = 1;
        for (const auto& s : sizes) {
            ProjectRecord p = FinishedProject(s[0], s[1], s[2], s[3]);
            p.estimate.baseName = "Prob" + std::to_string(i - 1);
            p.defectLog.entries.resize(static_cast<std::size_t>(i));
            Project("Prob" + std::to_string(i), p);
            ++i;
        }
    }
};

} // namespace

TEST_F(StatCli, StatsPrintsTheMergedHistoryAsCsvWithoutWritingFiles)
{
    MakeHistory();
    Project("改善", FinishedProject(1, 0, 2, 3)); // folder names on disk are UTF-8
    auto before = Listing(dir_.Root());

    ToolResult r = Cli({"stats", "-C", dir_.Root()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 10u) << r.out;
    EXPECT_EQ(lines[0], ",名前,ベース,再(計),削(計),新(計),時(計),再(実),削(実),新(実),時(実),バグ(実)");
    EXPECT_EQ(lines[1], "*,Gone,Prob0,1,2,3,4,5,6,7,8,9");
    EXPECT_EQ(lines[2], ",Prob1,Prob0,0,0,0,0,0,0,100,150,1");
    EXPECT_EQ(lines[8], ",改善,,0,0,0,0,1,0,2,3,0");
    EXPECT_EQ(lines[9], "計,,,1,2,3,4,486,84,709,1091,30");
    EXPECT_EQ(r.out.find('\r'), std::string::npos);
    EXPECT_EQ(Listing(dir_.Root()), before);
}

TEST_F(StatCli, StatsDefaultsToTheWorkingDirectory)
{
    Project("P", FinishedProject(1, 2, 3, 4));
    ToolResult r = Cli({"stats"}, dir_.Root());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Lines(r.out).at(1), ",P,,0,0,0,0,1,2,3,4,0");
}

TEST_F(StatCli, StatsSkipsDamagedProjectsAndRejectsBadArguments)
{
    Project("Good", FinishedProject(1, 2, 3, 4));
    std::filesystem::create_directories(dir_.Path("Bad"));
    ASSERT_TRUE(WriteFileAtomically(dir_.Path("Bad/work.psp"), std::string("\x67\x00\x00\x00\x05", 5)).Ok());
    ToolResult r = Cli({"stats", "-C", dir_.Root()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Lines(r.out).size(), 3u);

    EXPECT_EQ(Cli({"stats", "-C"}).exitCode, 2);
    EXPECT_EQ(Cli({"stats", "extra"}).exitCode, 2);
    EXPECT_EQ(Cli({"stats", "-C", dir_.Path("missing")}).exitCode, 1);
}

TEST_F(StatCli, EstimateRefitsOverTheHistoryAndPredicts)
{
    MakeHistory();
    ToolResult r = Cli({"estimate", "-C", dir_.Root(), "--exclude", "Prob6", "100", "10", "120"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;

    // The same history as the tool sees it: the file's row plus five scanned projects.
    StatStore store;
    ASSERT_TRUE(LoadStatInfo(store).Ok());
    ScanProjects("Prob6", store);
    ASSERT_EQ(store.records.size(), 6u);
    auto history = HistoryFromStore(store);
    ProbeCoefficients c = FitCoefficients(history);
    char expected[200];
    std::snprintf(expected, sizeof expected, "%.4f %.4f %.4f %.4f", c.constant, c.reuseCoef, c.deleteCoef,
                  c.newCoef);
    EXPECT_EQ(lines[0], expected);
    ProbePrediction p = PredictionRange(history, 0.95, c, {100, 10, 120});
    EXPECT_EQ(lines[1], std::to_string(static_cast<int>(p.prediction + 0.5)));
    std::snprintf(expected, sizeof expected, "%.2f", p.range);
    EXPECT_EQ(lines[2], expected);
    EXPECT_GT(p.range, 0.0);

    // The same figures as one JSON object, with the fit explained; the order of the options
    // does not matter.
    r = Cli({"estimate", "--exclude", "Prob6", "100", "--json", "10", "-C", dir_.Root(), "120"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(Lines(r.out).size(), 1u) << r.out;
    auto j = nlohmann::ordered_json::parse(r.out);
    std::vector<std::string> keys;
    for (const auto& item : j.items()) {
        keys.push_back(item.key());
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"coefficients", "totalMinutes", "range", "points", "excluded",
                                              "r2", "sigma", "warnings"}));
    EXPECT_EQ(j["coefficients"], nlohmann::json({c.constant, c.reuseCoef, c.deleteCoef, c.newCoef}));
    EXPECT_EQ(j["totalMinutes"], static_cast<int>(p.prediction + 0.5));
    EXPECT_EQ(j["range"].get<double>(), std::stod(lines[2]));
    EXPECT_EQ(j["points"], 6);
    EXPECT_EQ(j["excluded"], "Prob6");
    ASSERT_TRUE(j["r2"].is_number());
    EXPECT_LE(j["r2"].get<double>(), 1.0);
    ASSERT_TRUE(j["sigma"].is_number());
    EXPECT_GT(j["sigma"].get<double>(), 0.0);
    // The planned 10 deleted lines lie inside the history (0 to 40); the file's row has 7 new lines.
    EXPECT_EQ(j["warnings"], nlohmann::json::array());
}

TEST_F(StatCli, EstimateWithoutHistoryPrintsZerosAndInfinity)
{
    ToolResult r = Cli({"estimate", "-C", dir_.Root(), "10", "0", "5"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "0.0000 0.0000 0.0000 0.0000\n0\n∞\n");

    r = Cli({"estimate", "--json", "-C", dir_.Root(), "10", "0", "5"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(
        r.out,
        "{\"coefficients\":[0.0,0.0,0.0,0.0],\"totalMinutes\":0,\"range\":null,\"points\":0,"
        "\"excluded\":null,\"r2\":null,\"sigma\":null,\"warnings\":[\"完了したプロジェクトの履歴が"
        "ないため、係数はすべて 0 です。合計時間は直接入力できます\",\"あと 5 件の完了したプロジェクトが"
        "必要です\"]}\n");
}

TEST_F(StatCli, EstimateWithFourPointsHasNoInterval)
{
    for (int i = 0; i < 4; ++i) {
        Project("P" + std::to_string(i), FinishedProject(i, i * i, 2 * i + 1, 10 * i + 5));
    }
    ToolResult r = Cli({"estimate", "-C", dir_.Root(), "1", "1", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Lines(r.out).at(2), "∞");

    // 100 new lines lie beyond the history's 1 to 7.
    r = Cli({"estimate", "-C", dir_.Root(), "--json", "1", "1", "100"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto j = nlohmann::json::parse(r.out);
    EXPECT_TRUE(j["range"].is_null());
    EXPECT_EQ(j["points"], 4);
    EXPECT_TRUE(j["sigma"].is_null());
    // New lines are twice the reused plus one: the sizes leave the fit without a solution.
    EXPECT_EQ(j["warnings"],
              nlohmann::json({"履歴のサイズの組み合わせでは回帰式が解けない (例: 削除 LOC がすべて 0) "
                              "ため、係数はすべて 0 です",
                              "あと 1 件の完了したプロジェクトが必要です",
                              "計画の新規 LOC (100) が履歴の範囲 (1〜7) の外にあります: 見積りは外挿です"}));
}

TEST_F(StatCli, EstimateRejectsBadArguments)
{
    EXPECT_EQ(Cli({"estimate", "-C", dir_.Root(), "1", "2"}).exitCode, 2);
    EXPECT_EQ(Cli({"estimate", "-C", dir_.Root(), "1", "2", "x"}).exitCode, 2);
    EXPECT_EQ(Cli({"estimate", "-C", dir_.Root(), "1", "2", "99999999999"}).exitCode, 2);
    EXPECT_EQ(Cli({"estimate", "-C", dir_.Root(), "--exclude"}).exitCode, 2);
    EXPECT_EQ(Cli({"estimate", "--json", "-C", dir_.Root(), "1", "2"}).exitCode, 2);
    EXPECT_EQ(Cli({"estimate", "-C", dir_.Path("missing"), "1", "2", "3"}).exitCode, 1);
    // A size is a count of lines: a negative one is refused with a word, not fitted.
    ToolResult negative = Cli({"estimate", "-C", dir_.Root(), "5", "-1", "-3"});
    EXPECT_EQ(negative.exitCode, 2);
    EXPECT_NE(negative.err.find("サイズ -1 は 0 以上の整数で指定して下さい\n"), std::string::npos)
        << negative.err;
    EXPECT_EQ(negative.out, "");
}

TEST_F(StatCli, DefectsCountsTypesAndPhasesOverTheScannedProjects)
{
    const std::string design = "\x90\xDD\x8C\x76";       // 設計
    const std::string code = "\x83\x52\x81\x5B\x83\x68"; // コード
    auto defect = [](const std::string& removed, std::optional<int> type, std::optional<std::string> injected,
                     std::optional<std::int32_t> minutes) {
        return DefectEntry{removed, ComposeDefectComment({type, std::move(injected), minutes, "c"}),
                           Moment(9)};
    };
    ProjectRecord one = FinishedProject(0, 0, 100, 150);
    one.defectLog.entries = {defect(code, 20, design, 4), defect(code, 20, code, 6),
                             defect("Test", 80, design, 30)};
    Project("Prob1", one);
    ProjectRecord two = FinishedProject(0, 0, 80, 100);
    two.defectLog.entries = {defect(code, 20, design, std::nullopt),
                             defect("Test", std::nullopt, std::nullopt, 3),
                             {"Test", "plain", Moment(9)}};
    Project("Prob2", two);
    ProjectRecord skipped = FinishedProject(0, 0, 80, 100);
    skipped.defectLog.entries = {defect(code, 90, design, 999)};
    Project("init", skipped); // the settings folder is no project

    ToolResult json = Cli({"defects", "-C", dir_.Root(), "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const auto j = nlohmann::json::parse(json.out);
    const auto expected = nlohmann::json::parse(R"({
        "byType": [{"type": 20, "count": 3, "fixMinutes": 10}, {"type": 80, "count": 1, "fixMinutes": 30},
                   {"type": null, "count": 2, "fixMinutes": 3}],
        "matrix": [{"injected": "コード", "removed": "コード", "count": 1},
                   {"injected": "設計", "removed": "Test", "count": 1},
                   {"injected": "設計", "removed": "コード", "count": 2},
                   {"injected": null, "removed": "Test", "count": 2}]})");
    EXPECT_EQ(j, expected) << json.out;

    ToolResult text = Cli({"defects"}, dir_.Root());
    ASSERT_EQ(text.exitCode, 0) << text.err;
    const std::vector<std::string> lines = Lines(text.out);
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[2], "20 構文\t3\t10\t5.0"); // two of the three have a fix time
    EXPECT_EQ(lines[4], "(不明)\t2\t3\t3.0");
    EXPECT_NE(text.out.find("設計\tコード\t2\n"), std::string::npos) << text.out;

    EXPECT_EQ(Cli({"defects", "--bogus"}, dir_.Root()).exitCode, 2);
    EXPECT_EQ(Cli({"defects", "-C"}, dir_.Root()).exitCode, 2);
    EXPECT_EQ(Cli({"defects", "-C", dir_.Root() + "/missing"}).exitCode, 1);
}

TEST_F(StatCli, QualityGivesTheMeasuresOfEachFinishedProjectAndToDate)
{
    auto phase = [](const char* name, std::int32_t actual) {
        return PhaseRecord{Utf8ToCp932(name), 0, actual, 0};
    };
    auto defect = [](const char* removed, const char* injected) {
        return DefectEntry{Utf8ToCp932(removed),
                           ComposeDefectComment({std::nullopt, Utf8ToCp932(injected), std::nullopt, "c"}),
                           Moment(9)};
    };
    StatStore file;
    file.records["Gone"] = {false, "Prob0", 1, 2, 3, 4, 5, 6, 7, 8, 9}; // no project file to measure
    ASSERT_TRUE(SaveStatInfo(file).Ok());
    ProjectRecord one;
    one.phases = {phase("設計", 20), phase("コード", 30), phase("コンパイル", 10)};
    one.defectLog.entries = {defect("コード", "設計")};
    one.result.actualNew = 60;
    one.estimate.totalMinutes = 30;
    one.estimate.rangeText = "40.00";
    Project("Prob1", one);
    ProjectRecord two;
    two.phases = {phase("設計", 100), phase("設計レビュー", 20), phase("コード", 200),
                  phase("コンパイル", 40), phase("テスト", 200)};
    two.defectLog.entries.assign(9, defect("テスト", "コード"));
    two.result.actualNew = 90;
    two.estimate.totalMinutes = 600;
    two.estimate.newLoc = 100;
    two.estimate.rangeText = "5.00";
    Project("Prob2", two);
    ProjectRecord unfinished;
    unfinished.phases = {phase("設計", 0)};
    unfinished.defectLog.entries = {defect("設計", "設計")};
    Project("改善", unfinished);

    ToolResult r = Cli({"quality", "-C", dir_.Root()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_GE(lines.size(), 4u) << r.out;
    EXPECT_EQ(lines[0],
              "プロジェクト\t歩留まり(%)\tA/FR\t欠陥/KLOC\tLOC/時間\t時間誤差(%)\t規模誤差(%)\t予測区間内");
    EXPECT_EQ(lines[1], "Prob1\t100.0\t0.00\t16.7\t60.0\t100.0\t—\tはい");
    EXPECT_EQ(lines[2], "Prob2\t0.0\t0.08\t100.0\t9.6\t-6.7\t-10.0\tいいえ");
    // Sums first: 1 of 10 defects found before compile, not the mean of 100 % and 0 %.
    EXPECT_EQ(lines[3], "累計(2)\t10.0\t0.08\t66.7\t14.5\t-1.6\t-10.0\t50%");
    EXPECT_NE(
        r.out.find("\nProb2 の工程\n工程\t時間(分)\t混入\t除去\t除去/時間\t混入/時間\tレビュー(LOC/時間)\n"
                   "設計\t100\t0\t0\t0.00\t0.00\t\n設計レビュー\t20\t0\t0\t0.00\t0.00\t270.0\n"),
        std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\n累計(2) の工程\n"), std::string::npos);

    r = Cli({"quality", "--json"}, dir_.Root());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto j = nlohmann::ordered_json::parse(r.out);
    ASSERT_EQ(j["projects"].size(), 2u);
    const auto& first = j["projects"][0];
    std::vector<std::string> keys;
    for (const auto& item : first.items()) {
        keys.push_back(item.key());
    }
    EXPECT_EQ(keys,
              (std::vector<std::string>{"project", "yield", "afr", "defectsPerKloc", "locPerHour",
                                        "timeErrorPercent", "sizeErrorPercent", "withinRange", "nullReasons",
                                        "defects", "unknownInjected", "minutes", "newLoc", "phases"}));
    EXPECT_EQ(first["project"], "Prob1");
    EXPECT_EQ(first["yield"], 100.0);
    EXPECT_TRUE(first["sizeErrorPercent"].is_null());
    EXPECT_EQ(first["nullReasons"], nlohmann::ordered_json({{"sizeErrorPercent", "noPlan"}}));
    EXPECT_EQ(first["withinRange"], true);
    EXPECT_EQ(first["phases"][0],
              nlohmann::ordered_json::parse(R"({"phase": "設計", "minutes": 20, "injected": 1, "removed": 0,
                  "fixMinutes": 0, "removalRate": 0.0, "injectionRate": 3.0})"));
    EXPECT_EQ(j["projects"][1]["withinRange"], false);
    EXPECT_EQ(j["projects"][1]["phases"][1]["reviewRate"], 270.0);
    const auto& toDate = j["toDate"];
    EXPECT_EQ(toDate["projects"], 2);
    EXPECT_EQ(toDate["yield"], 10.0);
    EXPECT_EQ(toDate["withinRange"], 50.0);
    EXPECT_EQ(toDate["defects"], 10);
    EXPECT_EQ(toDate["minutes"], 620);
    EXPECT_EQ(toDate["phases"].size(), 5u);

    // One named project, finished or not, beside the figures to date.
    r = Cli({"quality", "改善", "--json", "-C", dir_.Root()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto named = nlohmann::ordered_json::parse(r.out);
    ASSERT_EQ(named["projects"].size(), 1u);
    EXPECT_EQ(named["projects"][0]["project"], "改善");
    EXPECT_EQ(named["projects"][0]["nullReasons"], nlohmann::ordered_json({{"yield", "noCompilePhase"},
                                                                           {"afr", "noCompilePhase"},
                                                                           {"defectsPerKloc", "zeroDivisor"},
                                                                           {"locPerHour", "zeroDivisor"},
                                                                           {"timeErrorPercent", "noPlan"},
                                                                           {"sizeErrorPercent", "noPlan"},
                                                                           {"withinRange", "noPlan"}}));
    EXPECT_EQ(named["toDate"], j["toDate"]);

    r = Cli({"quality", "-C", dir_.Root(), "Gone"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("Gone"), std::string::npos) << r.err;
    EXPECT_EQ(Cli({"quality", "-C", dir_.Root(), ".."}).exitCode, 1);
    EXPECT_EQ(Cli({"quality", "-C", dir_.Root(), "Prob1", "Prob2"}).exitCode, 2);
    EXPECT_EQ(Cli({"quality", "-C", dir_.Root(), "--bogus"}).exitCode, 2);
    EXPECT_EQ(Cli({"quality", "-C"}).exitCode, 2);
    EXPECT_EQ(Cli({"quality", "-C", dir_.Path("missing")}).exitCode, 1);
}
