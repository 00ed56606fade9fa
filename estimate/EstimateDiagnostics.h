#pragma once
// What the estimate's numbers rest on, told to the student: how many finished projects the fit
// used, how well it fits, and why there is no interval or no coefficients yet. Nothing here
// changes an estimate; it only reads the history and the figures as they stand.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "estimate/ProbeFit.h"
#include "project/ProjectRecord.h"

namespace quilvane {

// Fewer points than this leave the interval undefined (its degrees of freedom are n - 4).
inline constexpr std::size_t PointsForInterval = 5;

struct EstimateDiagnostics {
    std::size_t points = 0;
    // The project left out of the history (CP932); empty when none was.
    std::string excluded;
    // 1 - RSS / total sum of squares with the coefficients as they stand; none without a fit
    // (all coefficients 0) or when every actual time is the same.
    std::optional<double> r2;
    // The residual standard deviation the interval uses; none below PointsForInterval points.
    std::optional<double> sigma;
    // Japanese sentences (UTF-8), in a fixed order; empty when there is nothing to say.
    std::vector<std::string> warnings;
};

// The diagnostics of `coefficients` over `history` for the planned `size`. `excluded` is the
// name the history was collected without.
EstimateDiagnostics DiagnoseEstimate(const std::vector<HistoryPoint>& history,
                                     const ProbeCoefficients& coefficients, const ProbeSize& size,
                                     const std::string& excluded);

// The diagnostics as lines for the dialog (UTF-8): points and the left-out project, r² and σ,
// then the warnings.
std::string DiagnosticsText(const EstimateDiagnostics& diagnostics);

// True when the ratios look as they do while no other project has recorded time: every phase
// but the last at 0 (the last then holds all 100).
bool RatiosLackHistory(const std::vector<PhaseRecord>& phases);

// The explanation of the phase table's ratio column; with `noHistory` it adds where the
// distribution will come from and that the planned total can be typed. UTF-8.
std::string PhaseRatioHint(bool noHistory);

} // namespace quilvane
