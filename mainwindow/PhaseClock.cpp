#include "mainwindow/PhaseClock.h"

#include <cstdio>
#include <filesystem>

#include "platform/DecimalText.h"
#include "platform/FileIo.h"
#include "platform/ProgramFolder.h"

namespace quilvane {

bool SwitchMode(ProjectRecord& project, std::int32_t& modeStart, const std::string& newMode, std::int32_t now,
                std::optional<std::int32_t> logUntil)
{
    if (newMode == project.mode) {
        return false;
    }
    if (project.mode != NeutralMode) {
        // A zero start or a zero-length interval adds nothing; that is fine here.
        (void)project.timeLog.AddEntry(project.mode, modeStart, logUntil.value_or(now));
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
    std::snprintf(buffer, sizeof buffer, "開始 %.2d:%.2d:%.2d  経過 %.2ld:%.2ld:%.2ld", local.tm_hour,
                  local.tm_min, local.tm_sec, (elapsed / 3600) % 24, (elapsed / 60) % 60, elapsed % 60);
    return buffer;
}

std::optional<std::int32_t> ParseEndTime(std::string_view text, std::time_t start, std::time_t now)
{
    std::int32_t parts[3] = {0, 0, 0};
    std::size_t count = 0;
    std::size_t pos = 0;
    while (true) {
        std::size_t colon = text.find(':', pos);
        std::string_view piece =
            text.substr(pos, colon == std::string_view::npos ? std::string_view::npos : colon - pos);
        auto value = piece.size() <= 2 ? DigitsOnly(piece) : std::nullopt;
        if (!value || count == 3) {
            return std::nullopt;
        }
        parts[count++] = *value;
        if (colon == std::string_view::npos) {
            break;
        }
        pos = colon + 1;
    }
    if (count < 2 || parts[0] > 23 || parts[1] > 59 || parts[2] > 59) {
        return std::nullopt;
    }
    std::tm day{};
    localtime_r(&start, &day);
    // The first such time of day at or after the start: the same day or one of the next.
    for (int offset = 0; offset <= 2; ++offset) {
        std::tm candidate = day;
        candidate.tm_mday += offset;
        candidate.tm_hour = parts[0];
        candidate.tm_min = parts[1];
        candidate.tm_sec = parts[2];
        candidate.tm_isdst = -1;
        std::time_t moment = std::mktime(&candidate);
        if (moment == static_cast<std::time_t>(-1) || moment < start) {
            continue;
        }
        if (moment > now) {
            return std::nullopt;
        }
        return static_cast<std::int32_t>(moment);
    }
    return std::nullopt;
}

std::string TimeOfDayText(std::time_t moment)
{
    std::tm local{};
    localtime_r(&moment, &local);
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%.2d:%.2d", local.tm_hour, local.tm_min);
    return buffer;
}

} // namespace quilvane
