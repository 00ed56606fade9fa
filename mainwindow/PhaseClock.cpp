#include "mainwindow/PhaseClock.h"

#include <cstdio>

namespace quilvane {

bool SwitchMode(ProjectRecord& project, std::int32_t& modeStart, const std::string& newMode, std::int32_t now)
{
    if (newMode == project.mode) {
        return false;
    }
    if (project.mode != NeutralMode) {
        // A zero start or a zero-length interval adds nothing; that is fine here.
        (void)project.timeLog.AddEntry(project.mode, modeStart, now);
    }
    modeStart = now;
    project.mode = newMode;
    return true;
}

PhaseTotals RecomputeActuals(ProjectRecord& project)
{
    PhaseSeconds seconds;
    project.timeLog.SumByPhase(seconds);
    PhaseTotals totals;
    for (auto& row : project.phases) {
        auto it = seconds.find(row.name);
        row.actual = it == seconds.end() ? 0 : SecondsToMinutes(it->second);
        totals.plan += row.plan;
        totals.actual += row.actual;
    }
    return totals;
}

std::int32_t AdjustedPlan(std::int32_t oldPlan, std::int32_t stepMinutes, bool ctrlHeld)
{
    std::int64_t step = ctrlHeld ? std::int64_t{stepMinutes} * 60 : stepMinutes;
    std::int64_t plan = std::int64_t{oldPlan} + step;
    if (plan < 0) {
        plan = 0;
    }
    return plan > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(plan);
}

bool AdjustPhasePlan(ProjectRecord& project, std::size_t row, std::int32_t stepMinutes, bool ctrlHeld)
{
    if (row >= project.phases.size()) {
        return false;
    }
    auto& phase = project.phases[row];
    std::int32_t newPlan = AdjustedPlan(phase.plan, stepMinutes, ctrlHeld);
    if (newPlan == phase.plan) {
        return false;
    }
    project.estimate.totalMinutes += newPlan - phase.plan;
    phase.plan = newPlan;
    return true;
}

std::string ClockStatusText(std::time_t start, std::time_t now)
{
    std::tm local{};
    localtime_r(&start, &local);
    long elapsed = static_cast<long>(now - start);
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "開始 %.2d:%.2d:%.2d  経過 %.2ld:%.2ld:%.2ld", local.tm_hour, local.tm_min,
                  local.tm_sec, (elapsed / 3600) % 24, (elapsed / 60) % 60, elapsed % 60);
    return buffer;
}

} // namespace quilvane
