#include "statistics/PhaseRatios.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "statistics/ProjectScan.h"

namespace quilvane {
namespace {

// The integer part of x + 0.5, saturated to 32 bits: damaged logs can hold negative durations
// that cancel out, and a sum that is not what it seems must not overflow the conversion.
std::int32_t RoundHalfUp(double x)
{
    double r = std::trunc(x + 0.5);
    if (std::isnan(r)) {
        return 0;
    }
    r = std::clamp(r, double{std::numeric_limits<std::int32_t>::min()},
                   double{std::numeric_limits<std::int32_t>::max()});
    return static_cast<std::int32_t>(r);
}

std::int32_t ClampToInt32(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

} // namespace

void ApplyPhaseRatios(std::vector<PhaseRecord>& phases, const PhaseSeconds& seconds,
                      std::optional<std::int32_t> totalMinutes)
{
    if (phases.empty()) {
        return;
    }
    std::vector<std::int64_t> phaseSeconds(phases.size(), 0);
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < phases.size(); ++i) {
        auto found = seconds.find(phases[i].name);
        if (found != seconds.end()) {
            phaseSeconds[i] = found->second;
            sum += found->second;
        }
    }
    // Nobody has recorded time: every ratio but the last is 0 and the last takes all 100.
    if (sum == 0) {
        sum = 1;
    }
    std::int64_t running = 0;
    for (std::size_t i = 0; i + 1 < phases.size(); ++i) {
        phases[i].ratio =
            RoundHalfUp(static_cast<double>(phaseSeconds[i]) * 100.0 / static_cast<double>(sum));
        running += phases[i].ratio;
    }
    phases.back().ratio = ClampToInt32(100 - running);

    if (!totalMinutes) {
        return;
    }
    const std::int32_t total = *totalMinutes;
    std::int64_t planned = 0;
    for (std::size_t i = 0; i + 1 < phases.size(); ++i) {
        phases[i].plan = RoundHalfUp(total * static_cast<double>(phases[i].ratio) * 0.01);
        planned += phases[i].plan;
    }
    phases.back().plan = ClampToInt32(total - planned);
}

void UpdatePhaseRatios(ProjectRecord& project, bool distributePlan)
{
    if (project.phases.empty()) {
        return;
    }
    StatStore scratch;
    PhaseSeconds seconds;
    ScanProjects(project.projectName, scratch, &seconds);
    std::optional<std::int32_t> total;
    if (distributePlan) {
        total = project.estimate.totalMinutes;
    }
    ApplyPhaseRatios(project.phases, seconds, total);
}

} // namespace quilvane
