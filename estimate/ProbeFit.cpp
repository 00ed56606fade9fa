#include "estimate/ProbeFit.h"

#include <cmath>
#include <utility>

#include "estimate/StudentT.h"

namespace quilvane {

Status SolveLinearSystem(std::vector<std::vector<double>>& matrix, std::vector<double>& solution)
{
    auto& a = matrix;
    const std::size_t m = a.size();
    for (const auto& row : a) {
        if (row.size() != m + 1) {
            return Status::Failure("連立方程式の行の長さが揃っていません");
        }
    }
    for (std::size_t k = 0; k < m; ++k) {
        std::size_t best = k;
        for (std::size_t j = k + 1; j < m; ++j) {
            if (std::fabs(a[j][k]) > std::fabs(a[best][k])) {
                best = j;
            }
        }
        std::swap(a[k], a[best]);
        // Only an exact zero counts as singular; near-singular systems are solved as they come.
        if (a[k][k] == 0.0) {
            return Status::Failure("連立方程式の解が一つに定まりません");
        }
        const double pivot = a[k][k];
        for (std::size_t l = k; l <= m; ++l) {
            a[k][l] /= pivot;
        }
        for (std::size_t j = 0; j < m; ++j) {
            if (j == k) {
                continue;
            }
            const double f = a[j][k];
            for (std::size_t l = k + 1; l <= m; ++l) {
                a[j][l] -= a[k][l] * f;
            }
        }
    }
    solution.resize(m);
    for (std::size_t i = 0; i < m; ++i) {
        solution[i] = a[i][m];
    }
    return Status::Success();
}

double TruncateToFourDecimals(double value)
{
    // std::trunc rather than an integer cast, so a huge coefficient cannot overflow; adding 0.0
    // turns -0.0 into 0.0.
    return std::trunc(value * 10000.0) * 0.0001 + 0.0;
}

std::optional<std::vector<double>> SolveNormalEquations(const std::vector<HistoryPoint>& history)
{
    std::vector<std::vector<double>> a(4, std::vector<double>(5, 0.0));
    for (const HistoryPoint& p : history) {
        const double x[4] = {1.0, p.actualReuse, p.actualDelete, p.actualNew};
        for (int r = 0; r < 4; ++r) {
            for (int c = 0; c < 4; ++c) {
                a[r][c] += x[r] * x[c];
            }
            a[r][4] += x[r] * p.actualMinutes;
        }
    }
    std::vector<double> s;
    if (!SolveLinearSystem(a, s)) {
        return std::nullopt;
    }
    for (double v : s) {
        if (!std::isfinite(v)) {
            return std::nullopt;
        }
    }
    return s;
}

ProbeCoefficients FitCoefficients(const std::vector<HistoryPoint>& history)
{
    ProbeCoefficients result;
    auto solved = SolveNormalEquations(history);
    if (!solved) {
        return result;
    }
    const std::vector<double>& s = *solved;
    result.constant = TruncateToFourDecimals(s[0]);
    result.reuseCoef = TruncateToFourDecimals(s[1]);
    result.deleteCoef = TruncateToFourDecimals(s[2]);
    result.newCoef = TruncateToFourDecimals(s[3]);
    return result;
}

ProbePrediction PredictionRange(const std::vector<HistoryPoint>& history, double level,
                                const ProbeCoefficients& c, const ProbeSize& size)
{
    ProbePrediction out;
    out.prediction =
        c.constant + c.reuseCoef * size.reuseLoc + c.deleteCoef * size.deleteLoc + c.newCoef * size.newLoc;
    const std::size_t count = history.size();
    if (count <= 4) {
        return out;
    }
    const double n = static_cast<double>(count);
    double mean[3] = {0.0, 0.0, 0.0};
    for (const HistoryPoint& p : history) {
        mean[0] += p.actualReuse;
        mean[1] += p.actualDelete;
        mean[2] += p.actualNew;
    }
    for (double& m : mean) {
        m /= n;
    }
    double rss = 0.0;
    double spread[3] = {0.0, 0.0, 0.0};
    for (const HistoryPoint& p : history) {
        const double residual = p.actualMinutes - c.constant - c.reuseCoef * p.actualReuse -
                                c.deleteCoef * p.actualDelete - c.newCoef * p.actualNew;
        rss += residual * residual;
        spread[0] += (p.actualReuse - mean[0]) * (p.actualReuse - mean[0]);
        spread[1] += (p.actualDelete - mean[1]) * (p.actualDelete - mean[1]);
        spread[2] += (p.actualNew - mean[2]) * (p.actualNew - mean[2]);
    }
    const double planned[3] = {size.reuseLoc, size.deleteLoc, size.newLoc};
    double terms = 0.0;
    for (int k = 0; k < 3; ++k) {
        if (spread[k] != 0.0) {
            terms += (planned[k] - mean[k]) * (planned[k] - mean[k]) / spread[k];
        }
    }
    const double sigma = std::sqrt(rss / (n - 4.0));
    const double t = StudentTQuantile((1.0 + level) / 2.0, n - 4.0);
    out.range = t * std::sqrt(1.0 + 1.0 / n + terms) * sigma;
    return out;
}

std::vector<HistoryPoint> HistoryFromStore(const StatStore& store)
{
    std::vector<HistoryPoint> history;
    history.reserve(store.records.size());
    for (const auto& entry : store.records) {
        const StatRecord& r = entry.second;
        history.push_back({static_cast<double>(r.actReuse), static_cast<double>(r.actDelete),
                           static_cast<double>(r.actNew), static_cast<double>(r.actMinutes)});
    }
    return history;
}

ProbePrediction EstimateFromHistory(const std::vector<HistoryPoint>& history, bool refit,
                                    ProbeCoefficients& coefficients, const ProbeSize& size, double level)
{
    if (refit) {
        coefficients = ProbeCoefficients();
        coefficients = FitCoefficients(history);
    }
    return PredictionRange(history, level, coefficients, size);
}

} // namespace quilvane
