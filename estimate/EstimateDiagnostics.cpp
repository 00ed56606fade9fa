#include "estimate/EstimateDiagnostics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/Cp932.h"

namespace quilvane {
namespace {

const char* const FirstProjectPhaseNote =
    "工程ごとの計画時間の配分は、完了したプロジェクトの時間記録から求められます"
    " (記録がない間は、すべて最後の工程に割り当てられます)。";

// The normal equations are singular exactly when FitCoefficients gives up; asking the solver
// tells a singular history apart from a fit that happens to be all zeros.
bool HistoryIsSingular(const std::vector<HistoryPoint>& history)
{
    return !SolveNormalEquations(history).has_value();
}

std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Count(double value)
{
    return Format("%.0f", value);
}

// A warning when `planned` lies outside the smallest and largest value of one size column.
void WarnOutsideRange(const std::vector<HistoryPoint>& history, double HistoryPoint::*column, double planned,
                      const char* caption, std::vector<std::string>& warnings)
{
    auto [low, high] = std::minmax_element(
        history.begin(), history.end(),
        [column](const HistoryPoint& a, const HistoryPoint& b) { return a.*column < b.*column; });
    const double lowest = (*low).*column;
    const double highest = (*high).*column;
    if (planned >= lowest && planned <= highest) {
        return;
    }
    warnings.push_back(std::string("計画の") + caption + " LOC (" + Count(planned) + ") が履歴の範囲 (" +
                       Count(lowest) + "〜" + Count(highest) + ") の外にあります: 見積りは外挿です");
}

} // namespace

EstimateDiagnostics DiagnoseEstimate(const std::vector<HistoryPoint>& history,
                                     const ProbeCoefficients& coefficients, const ProbeSize& size,
                                     const std::string& excluded)
{
    EstimateDiagnostics out;
    out.points = history.size();
    out.excluded = excluded;
    const ProbeCoefficients& c = coefficients;
    const bool noFit = c == ProbeCoefficients();

    if (!history.empty()) {
        const double n = static_cast<double>(history.size());
        double meanY = 0.0;
        for (const HistoryPoint& p : history) {
            meanY += p.actualMinutes;
        }
        meanY /= n;
        double rss = 0.0;
        double total = 0.0;
        for (const HistoryPoint& p : history) {
            const double residual = p.actualMinutes - c.constant - c.reuseCoef * p.actualReuse -
                                    c.deleteCoef * p.actualDelete - c.newCoef * p.actualNew;
            rss += residual * residual;
            total += (p.actualMinutes - meanY) * (p.actualMinutes - meanY);
        }
        if (!noFit && total > 0.0) {
            out.r2 = 1.0 - rss / total;
        }
        // The same σ as the interval's: its degrees of freedom are n - 4.
        if (history.size() >= PointsForInterval) {
            out.sigma = std::sqrt(rss / (n - 4.0));
        }
    }

    if (history.empty()) {
        out.warnings.push_back("完了したプロジェクトの履歴がないため、係数はすべて 0 です。"
                               "合計時間は直接入力できます");
    } else if (history.size() < 4 && HistoryIsSingular(history)) {
        out.warnings.push_back(
            "係数を求めるには 4 件以上の完了したプロジェクトが必要なため、係数はすべて 0 です");
    } else if (HistoryIsSingular(history)) {
        out.warnings.push_back("履歴のサイズの組み合わせでは回帰式が解けない (例: 削除 LOC がすべて 0) "
                               "ため、係数はすべて 0 です");
    } else if (noFit && FitCoefficients(history) != ProbeCoefficients()) {
        out.warnings.push_back("係数がすべて 0 です: 係数更新 で履歴から求められます");
    } else if (noFit) {
        // Unfinished projects take part with their zeros; a history of only those fits to 0.
        out.warnings.push_back(
            "履歴から求めた係数がすべて 0 です (実績が 0 の未完了のプロジェクトも履歴に含まれます)");
    }
    if (history.size() < PointsForInterval) {
        // The interval is what is missing; the line stands right under it.
        out.warnings.push_back("あと " + std::to_string(PointsForInterval - history.size()) +
                               " 件の完了したプロジェクトが必要です");
    }
    if (!history.empty()) {
        WarnOutsideRange(history, &HistoryPoint::actualReuse, size.reuseLoc, "再利用", out.warnings);
        WarnOutsideRange(history, &HistoryPoint::actualDelete, size.deleteLoc, "削除", out.warnings);
        WarnOutsideRange(history, &HistoryPoint::actualNew, size.newLoc, "新規", out.warnings);
    }
    return out;
}

std::string DiagnosticsText(const EstimateDiagnostics& d)
{
    std::string text = "履歴: " + std::to_string(d.points) + " 件";
    if (!d.excluded.empty()) {
        text += " (" + Cp932ToUtf8(d.excluded) + " を除く)";
    }
    text += "   r² = " + (d.r2 ? Format("%.3f", *d.r2) : std::string("-"));
    text += "   σ = " + (d.sigma ? Format("%.2f", *d.sigma) + " 分" : std::string("-"));
    for (const std::string& w : d.warnings) {
        text += "\n" + w;
    }
    if (d.points == 0) {
        text += "\n" + std::string(FirstProjectPhaseNote);
    }
    return text;
}

bool RatiosLackHistory(const std::vector<PhaseRecord>& phases)
{
    return !phases.empty() &&
           std::all_of(phases.begin(), phases.end() - 1, [](const PhaseRecord& p) { return p.ratio == 0; });
}

std::string PhaseRatioHint(bool noHistory)
{
    std::string hint = "割合: 他のすべてのプロジェクトの時間記録で、その工程が占める割合 (%) です。"
                       "このプロジェクト自身の時間は含みません。";
    if (noHistory) {
        hint += "\n他のプロジェクトの記録がまだありません。" + std::string(FirstProjectPhaseNote) +
                "計画の合計時間は見積りで直接入力できます。";
    }
    return hint;
}

} // namespace quilvane
