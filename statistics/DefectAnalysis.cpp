#include "statistics/DefectAnalysis.h"

#include <algorithm>

#include "platform/MbString.h"
#include "project/DefectDetails.h"
#include "statistics/ProjectScan.h"

namespace quilvane {
namespace {

// Known values first in their own order, the unknown one last.
template <class T, class Less>
bool KnownFirst(const std::optional<T>& a, const std::optional<T>& b, Less less)
{
    if (a.has_value() != b.has_value()) {
        return a.has_value();
    }
    return a.has_value() && less(*a, *b);
}

} // namespace

std::optional<double> DefectTypeRow::AverageFixMinutes() const
{
    if (timed == 0) {
        return std::nullopt;
    }
    return static_cast<double>(fixMinutes) / timed;
}

void DefectAnalysis::Add(const DefectLog& log)
{
    for (const DefectEntry& entry : log.entries) {
        const DefectDetails details = DetailsOf(entry);
        auto row = std::find_if(byType.begin(), byType.end(),
                                [&details](const DefectTypeRow& r) { return r.type == details.type; });
        if (row == byType.end()) {
            row = byType.insert(byType.end(), DefectTypeRow{details.type});
        }
        ++row->count;
        if (details.fixMinutes) {
            row->fixMinutes += *details.fixMinutes;
            ++row->timed;
        }
        auto cell = std::find_if(matrix.begin(), matrix.end(), [&](const DefectMatrixCell& c) {
            return c.injected == details.injected && c.removed == entry.phase;
        });
        if (cell == matrix.end()) {
            cell = matrix.insert(matrix.end(), DefectMatrixCell{details.injected, entry.phase});
        }
        ++cell->count;
    }
    std::sort(byType.begin(), byType.end(), [](const DefectTypeRow& a, const DefectTypeRow& b) {
        return KnownFirst(a.type, b.type, std::less<int>());
    });
    std::sort(matrix.begin(), matrix.end(), [](const DefectMatrixCell& a, const DefectMatrixCell& b) {
        if (a.injected != b.injected) {
            return KnownFirst(a.injected, b.injected, MbsLess());
        }
        return MbsCmp(a.removed, b.removed) < 0;
    });
}

DefectAnalysis AnalyseStoredDefects(const std::string& excludedName)
{
    DefectAnalysis analysis;
    ForEachScannedProject(excludedName, [&analysis](const std::string&, const ProjectRecord& project) {
        analysis.Add(project.defectLog);
    });
    return analysis;
}

} // namespace quilvane
