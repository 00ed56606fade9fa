#pragma once
// The to-date phase percentages of a project and the spreading of its planned total time over
// the phases, from the time logs of all other projects.
#include <cstdint>
#include <optional>
#include <vector>

#include "project/ProjectRecord.h"
#include "project/SubRecords.h"

namespace quilvane {

// Scans every other project folder (the project's own `projectName` is skipped, so its own log
// takes no part) and recomputes each phase's `ratio`; with `distributePlan`, also spreads the
// estimate's `totalMinutes` over the phases' `plan`. An empty phase table is left alone.
void UpdatePhaseRatios(ProjectRecord& project, bool distributePlan);

// The arithmetic behind UpdatePhaseRatios. Ratios add up to 100 and, when `totalMinutes` is
// given, plans add up to it: the last phase absorbs the rounding of the others.
void ApplyPhaseRatios(std::vector<PhaseRecord>& phases, const PhaseSeconds& seconds,
                      std::optional<std::int32_t> totalMinutes);

} // namespace quilvane
