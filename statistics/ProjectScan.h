#pragma once
// The scan of the project folders beside the program, and the merged history built from the
// statistics file and that scan.
#include <functional>
#include <string>

#include "project/ProjectRecord.h"
#include "project/SubRecords.h"
#include "statistics/DefectAnalysis.h"
#include "statistics/StatStore.h"

namespace quilvane {

// Reads the first "*.psp" (in name order) of every folder beside the program except ".", "..",
// "init" and `excludedName` (byte-exact; empty skips none), and inserts or overwrites its row in
// `store` with `present` = true. When `phaseSeconds` is given, each scanned project's time-log
// seconds per phase are added into it, and when `defectLogs` is given, each one's defect log is
// kept there under its row's name. A folder without a project file, or whose project file
// cannot be read whole, contributes neither a row nor seconds; the scan goes on with the next.
void ScanProjects(const std::string& excludedName, StatStore& store, PhaseSeconds* phaseSeconds = nullptr,
                  ProjectDefectLogs* defectLogs = nullptr);

// Calls `visit` with the stored folder name and the record of every project ScanProjects reads,
// in the same order and with the same folders skipped.
void ForEachScannedProject(const std::string& excludedName,
                           const std::function<void(const std::string&, const ProjectRecord&)>& visit);

// A fresh store loaded from "init/statInfo.txt" (defaults when it is missing) and then scanned,
// skipping `excludedName`. Rows from the file whose folders the scan did not find keep
// `present` = false; these are the rows a user may delete.
StatStore LoadHistory(const std::string& excludedName);

// The file name of the first "*.psp" in `folder` (a path), as the scan picks it; "" when none.
std::string FirstProjectFile(const std::string& folder);

} // namespace quilvane
