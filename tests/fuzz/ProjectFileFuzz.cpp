#include <cstdlib>
#include <string_view>

#include "project/DataCheck.h"
#include "project/ProjectFile.h"
#include "project/TimerLimit.h"
#include "statistics/ChecklistTicks.h"
#include "statistics/DefectAnalysis.h"
#include "statistics/QualityMeasures.h"
#include "statistics/ReviewChecklist.h"
#include "tests/fuzz/FuzzTargets.h"

namespace quilvane::fuzz {

int FuzzProjectFile(const std::uint8_t* data, std::size_t size)
{
    ProjectRecord project;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (LoadProjectBytes(bytes, project).Ok()) {
        // Whatever loads must save and load again to the same bytes.
        std::string again = SerializeToBytes(project);
        ProjectRecord second;
        if (!LoadProjectBytes(again, second).Ok() || SerializeToBytes(second) != again) {
            std::abort();
        }
        // Every figure computed from a record that loads: a stored extreme (INT_MIN minutes, a
        // time log running backwards) must give a finding or an empty figure, never overflow.
        (void)CheckProjectData(project, DefaultTimerLimitMinutes);
        (void)ComputeProjectQuality(project);
        (void)ComputeQualityHistory({{"a", project}, {"b", project}});
        for (ReviewKind kind : {ReviewKind::Design, ReviewKind::Code}) {
            (void)BuildReviewChecklist(kind, {project}, project);
        }
        DefectAnalysis defects;
        defects.Add(project.defectLog);
        defects.Add(project.defectLog);
    }
    return 0;
}

int FuzzChecklistTicks(const std::uint8_t* data, std::size_t size)
{
    // The ticks that survive parsing must be written and read back as themselves: a damaged
    // line is dropped, never turned into another tick.
    const std::vector<ChecklistTick> ticks =
        ParseTicks(std::string_view(reinterpret_cast<const char*>(data), size));
    if (ParseTicks(FormatTicks(ticks)) != ticks) {
        std::abort();
    }
    return 0;
}

} // namespace quilvane::fuzz
