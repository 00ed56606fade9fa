#pragma once
// The logic of the phase clock and the phase table, without any window: what happens when the
// student switches mode, how actual minutes are derived from the time log, how the plan
// adjusters move a plan, and the status text of the running clock.
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "project/ProjectRecord.h"
#include "project/TimerLimit.h"

namespace quilvane {

// The state of the phase clock: the moment the current mode was entered (0 while none has been
// timed since the project was shown) and whether its one-second timer runs. The document keeps
// one; the form switches it, the window shows it and the journal records it.
struct PhaseClockState {
    std::int32_t modeStart = 0;
    bool running = false;
};

// Switches `project` to `newMode` at `now`. When the old mode was a phase, its interval from
// `modeStart` to `logUntil` (default: `now`) is appended to the time log. Returns false (and
// changes nothing) when `newMode` is already the mode.
bool SwitchMode(ProjectRecord& project, std::int32_t& modeStart, const std::string& newMode, std::int32_t now,
                std::optional<std::int32_t> logUntil = std::nullopt);

// The forgotten-timer guard (project/TimerLimit.h): a phase left after running longer than the
// limit is questioned before its whole span goes into the time log.
// The end of a forgotten phase from a time of day the student typed ("H:MM" or "HH:MM:SS", local
// time): the first such moment at or after `start`. Nothing when the text is not a time of day or
// that moment lies after `now`.
std::optional<std::int32_t> ParseEndTime(std::string_view text, std::time_t start, std::time_t now);
// "HH:MM" of a moment in local time, as ParseEndTime reads it back.
std::string TimeOfDayText(std::time_t moment);

struct PhaseTotals {
    std::int32_t plan = 0;
    std::int32_t actual = 0; // the sum of the rounded per-phase minutes
};

// Recomputes every phase's actual minutes from the whole time log and returns the totals row.
PhaseTotals RecomputeActuals(ProjectRecord& project);

// The adjusters' steps in minutes; with Ctrl held the step counts hours.
std::int32_t AdjustedPlan(std::int32_t oldPlan, std::int32_t stepMinutes, bool ctrlHeld);

// Moves the plan of phase `row` by the step and keeps totalMinutes equal to the sum of plans.
// Returns false when nothing changed (no such phase row, or the plan was already at 0).
bool AdjustPhasePlan(ProjectRecord& project, std::size_t row, std::int32_t stepMinutes, bool ctrlHeld);

// "開始 HH:MM:SS  経過 HH:MM:SS" (UTF-8): the start in this machine's local time, the elapsed time
// restarting from 0 after 24 hours.
std::string ClockStatusText(std::time_t start, std::time_t now);

} // namespace quilvane
