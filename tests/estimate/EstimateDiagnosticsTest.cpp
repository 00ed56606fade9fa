#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "estimate/EstimateDiagnostics.h"
#include "estimate/StudentT.h"
#include "platform/Cp932.h"

using namespace quilvane;

namespace {

// `count` projects of new LOC 10 .. and time 10 + 0.5 reuse + 2 deleted + 3 new, with a
// deterministic wobble so that the fit is not exact.
std::vector<HistoryPoint> Linear(int count)
{
    std::vector<HistoryPoint> h;
    for (int i = 0; i < count; ++i) {
        const double x1 = (i * 7) % 40;
        const double x2 = (i * i) % 11;
        const double x3 = 10 + i * 5 + (i * i * i) % 13;
        const double wobble = (i % 3 == 0 ? 4.0 : (i % 3 == 1 ? -3.0 : -1.0));
        h.push_back({x1, x2, x3, 10 + 0.5 * x1 + 2 * x2 + 3 * x3 + wobble});
    }
    return h;
}

const std::string NoHistory =
    "完了したプロジェクトの履歴がないため、係数はすべて 0 です。合計時間は直接入力できます";
const std::string Singular =
    "履歴のサイズの組み合わせでは回帰式が解けない (例: 削除 LOC がすべて 0) ため、係数はすべて 0 です";

struct DiagnosticsCase {
    const char* name;
    std::vector<HistoryPoint> history;
    ProbeSize size;
    bool refit;
    std::size_t points;
    bool hasR2;
    bool hasSigma;
    std::vector<std::string> warnings;
};

TEST(EstimateDiagnostics, ExplainsPointsFitAndMissingPieces)
{
    std::vector<HistoryPoint> singular = Linear(6);
    for (HistoryPoint& p : singular) {
        p.actualDelete = 0;
    }
    std::vector<HistoryPoint> unfinished = Linear(6);
    for (HistoryPoint& p : unfinished) {
        p.actualMinutes = 0;
    }
    const DiagnosticsCase cases[] = {
        {"refit over projects without time",
         unfinished,
         {7, 3, 15},
         true,
         6,
         false,
         true,
         {"履歴から求めた係数がすべて 0 です (実績が 0 の未完了のプロジェクトも履歴に含まれます)"}},
        {"empty",
         {},
         {0, 0, 20},
         true,
         0,
         false,
         false,
         {NoHistory, "あと 5 件の完了したプロジェクトが必要です"}},
        {"four points fit exactly but give no interval",
         Linear(4),
         {7, 3, 15},
         true,
         4,
         true,
         false,
         {"あと 1 件の完了したプロジェクトが必要です"}},
        {"five points", Linear(5), {7, 3, 15}, true, 5, true, true, {}},
        {"thirty points", Linear(30), {50 / 2, 5, 100}, true, 30, true, true, {}},
        {"stored zeros over a good history ask for a refit",
         Linear(6),
         {7, 3, 15},
         false,
         6,
         false,
         true,
         {"係数がすべて 0 です: 係数更新 で履歴から求められます"}},
        {"singular", singular, {7, 0, 15}, true, 6, false, true, {Singular}},
        {"too few for the fit",
         Linear(2),
         {0, 0, 12},
         true,
         2,
         false,
         false,
         {"係数を求めるには 4 件以上の完了したプロジェクトが必要なため、係数はすべて 0 です",
          "あと 3 件の完了したプロジェクトが必要です"}},
        {"planned sizes outside the history",
         Linear(6),
         {-1, 5, 500},
         true,
         6,
         true,
         true,
         {"計画の再利用 LOC (-1) が履歴の範囲 (0〜35) の外にあります: 見積りは外挿です",
          "計画の新規 LOC (500) が履歴の範囲 (10〜43) の外にあります: 見積りは外挿です"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ProbeCoefficients coefficients = c.refit ? FitCoefficients(c.history) : ProbeCoefficients();
        EstimateDiagnostics d = DiagnoseEstimate(c.history, coefficients, c.size, "");
        EXPECT_EQ(d.points, c.points);
        EXPECT_EQ(d.r2.has_value(), c.hasR2);
        EXPECT_EQ(d.sigma.has_value(), c.hasSigma);
        EXPECT_EQ(d.warnings, c.warnings);
        EXPECT_TRUE(d.excluded.empty());
    }
}

TEST(EstimateDiagnostics, FitQualityMatchesTheIntervalAndTheData)
{
    const std::vector<HistoryPoint> h = Linear(30);
    const ProbeCoefficients c = FitCoefficients(h);
    double mean[3] = {0, 0, 0};
    for (const auto& p : h) {
        mean[0] += p.actualReuse / 30;
        mean[1] += p.actualDelete / 30;
        mean[2] += p.actualNew / 30;
    }
    // At the history's means the interval is t * sqrt(1 + 1/n) * σ.
    const ProbeSize atMeans{mean[0], mean[1], mean[2]};
    EstimateDiagnostics d = DiagnoseEstimate(h, c, atMeans, "\x83\x76\x83\x8d\x82\x50"); // プロ１
    ASSERT_TRUE(d.sigma && d.r2);
    const double range = PredictionRange(h, 0.95, c, atMeans).range;
    EXPECT_NEAR(range, StudentTQuantile(0.975, 26) * std::sqrt(1 + 1.0 / 30) * *d.sigma, 1e-9);
    EXPECT_GT(*d.r2, 0.99);
    EXPECT_LT(*d.r2, 1.0);
    // Four points and four unknowns: the fit goes through every point (up to the cut decimals).
    EstimateDiagnostics exact = DiagnoseEstimate(Linear(4), FitCoefficients(Linear(4)), {7, 3, 15}, "");
    ASSERT_TRUE(exact.r2);
    EXPECT_NEAR(*exact.r2, 1.0, 1e-6);
    // Every actual time the same: r² has no meaning.
    std::vector<HistoryPoint> flat = Linear(6);
    for (auto& p : flat) {
        p.actualMinutes = 30;
    }
    EXPECT_FALSE(DiagnoseEstimate(flat, FitCoefficients(flat), {}, "").r2);

    const std::string text = DiagnosticsText(d);
    EXPECT_EQ(text.substr(0, text.find("   r²")),
              "履歴: 30 件 (" + Cp932ToUtf8("\x83\x76\x83\x8d\x82\x50") + " を除く)");
    EXPECT_NE(text.find("σ = "), std::string::npos);
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_EQ(DiagnosticsText(DiagnoseEstimate({}, {}, {}, "")),
              "履歴: 0 件   r² = -   σ = -\n" + NoHistory +
                  "\nあと 5 件の完了したプロジェクトが必要です\n"
                  "工程ごとの計画時間の配分は、完了したプロジェクトの時間記録から求められます"
                  " (記録がない間は、すべて最後の工程に割り当てられます)。");
}

TEST(EstimateDiagnostics, PhaseRatiosWithoutHistoryAreRecognisedAndExplained)
{
    EXPECT_FALSE(RatiosLackHistory({}));
    EXPECT_TRUE(RatiosLackHistory({{"A", 0, 0, 0}, {"B", 0, 0, 100}}));
    EXPECT_FALSE(RatiosLackHistory({{"A", 0, 0, 40}, {"B", 0, 0, 60}}));
    EXPECT_EQ(PhaseRatioHint(false).find("最後の工程"), std::string::npos);
    EXPECT_NE(PhaseRatioHint(false).find("このプロジェクト自身の時間は含みません"), std::string::npos);
    EXPECT_NE(PhaseRatioHint(true).find("直接入力できます"), std::string::npos);
}

} // namespace
