#pragma once
// The PROBE regression: total minutes = constant + reuseCoef * reused + deleteCoef * deleted +
// newCoef * new, fitted by least squares over the student's finished projects, with the half
// width of the prediction interval from the Student t distribution.
#include <optional>
#include <string>
#include <vector>

#include "platform/Status.h"
#include "statistics/StatStore.h"

namespace quilvane {

// One finished project: the sizes and time it measured, named as in its result.
struct HistoryPoint {
    double actualReuse = 0.0;
    double actualDelete = 0.0;
    double actualNew = 0.0;
    double actualMinutes = 0.0;
};

struct ProbeCoefficients {
    double constant = 0.0;
    double reuseCoef = 0.0;
    double deleteCoef = 0.0;
    double newCoef = 0.0;

    bool operator==(const ProbeCoefficients&) const = default;
};

// The planned sizes a prediction is made for, named as in the estimate.
struct ProbeSize {
    double reuseLoc = 0.0;
    double deleteLoc = 0.0;
    double newLoc = 0.0;
};

// A prediction and the interval's half width; the range is negative when there is no interval
// (four points or fewer).
struct ProbePrediction {
    double prediction = 0.0;
    double range = -1.0;
};

// Gauss-Jordan elimination with partial pivoting (the earlier row wins a tie) on an m x (m + 1)
// augmented matrix, in place. On success `solution` = the last column; fails when a pivot is
// exactly 0.0 or a row is not m + 1 long, `solution` then untouched.
Status SolveLinearSystem(std::vector<std::vector<double>>& matrix, std::vector<double>& solution);

// The least-squares solution (constant, reuse, delete, new) of the history's normal equations;
// nothing when they are singular or the solution is not finite.
[[nodiscard]] std::optional<std::vector<double>>
SolveNormalEquations(const std::vector<HistoryPoint>& history);

// Cuts toward zero to four decimals: 1.23459 -> 1.2345, -0.00007 -> 0 (never -0).
double TruncateToFourDecimals(double value);

// Least squares through the normal equations, each coefficient cut to four decimals. All four
// are 0 when the equations are singular (always so with fewer than four distinct points) or the
// solution is not finite.
ProbeCoefficients FitCoefficients(const std::vector<HistoryPoint>& history);

// The prediction for `size` with `coefficients` as they stand, and, with more than four points,
// the half width of the `level` prediction interval (level 0.95 uses the 0.975 quantile).
ProbePrediction PredictionRange(const std::vector<HistoryPoint>& history, double level,
                                const ProbeCoefficients& coefficients, const ProbeSize& size);

// One point per record in key order, none skipped: unfinished projects take part with their
// figures as they stand. The store comes from the statistics (LoadHistory in
// statistics/ProjectScan.h), which walks the project folders; the fit itself never touches disk.
std::vector<HistoryPoint> HistoryFromStore(const StatStore& store);

// With `refit`, the coefficients are first reset and then fitted over `history`; the prediction
// and range use the coefficients as they then stand.
ProbePrediction EstimateFromHistory(const std::vector<HistoryPoint>& history, bool refit,
                                    ProbeCoefficients& coefficients, const ProbeSize& size, double level);

} // namespace quilvane
