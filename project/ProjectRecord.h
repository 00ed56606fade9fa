#pragma once
// The data of one project, as saved in its "work.psp". The windowed document wraps one of these;
// the statistics scan and the command-line tool use it directly.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "project/SubRecords.h"

namespace quilvane {

// The program's version: stored as 103, shown as 103 * 0.01 with "%.2f".
inline constexpr std::int32_t ProgramVersion = 103;

// The mode text while no phase runs (CP932 for "ニュートラル").
inline const std::string NeutralMode = "\x83\x6A\x83\x85\x81\x5B\x83\x67\x83\x89\x83\x8B";

struct PhaseRecord {
    std::string name;
    std::int32_t plan = 0;   // minutes
    std::int32_t actual = 0; // minutes, recomputed from the time log
    std::int32_t ratio = 0;  // percent of all time in the other projects

    bool operator==(const PhaseRecord&) const = default;
};

// What the overview dialog keeps in the project.
struct OverviewFields {
    std::array<std::int32_t, 4> windowRect{0, 0, 0, 0}; // left, top, right, bottom; all 0: default
    std::string userName;
    std::string registrationFolder;
    std::string spareText; // stored and copied, never shown

    bool operator==(const OverviewFields&) const = default;
};

struct ProjectRecord {
    std::string projectName;
    std::string mode;
    std::string memo; // lines separated by CR LF
    std::vector<PhaseRecord> phases;
    TimeLog timeLog;
    DefectLog defectLog;
    PlanEstimate estimate;
    ProjectResult result;
    OverviewFields overview;

    bool operator==(const ProjectRecord&) const = default;
};

// Seconds become minutes as the integer part of seconds / 60 + 0.5.
std::int32_t SecondsToMinutes(std::int32_t seconds);

// The project name for a project file path: the name of the folder that holds the file
// ("X/Prob1/work.psp" gives "Prob1"), or "None" when the path has no folder part. Accepts '\'
// as well as '/'.
std::string ProjectNameFromPath(const std::string& path);

// The stored project name for the project file at `diskPath`, a path on disk: the name of its
// folder as stored text, or "None". Nothing when CP932 cannot hold the folder's name; such a
// project would be stored, remembered and registered as some other name.
std::optional<std::string> StoredProjectName(const std::string& diskPath);

} // namespace quilvane
