#pragma once
// The defect analysis over the stored projects: defects by type with their fix times, and how
// many defects were injected in one phase and removed in another.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "project/SubRecords.h"

namespace quilvane {

// The defect logs of the scanned projects, by stored folder name as the statistics list names them.
using ProjectDefectLogs = std::map<std::string, DefectLog, MbsLess>;

struct DefectTypeRow {
    std::optional<int> type; // nullopt: unknown
    std::int32_t count = 0;
    std::int64_t fixMinutes = 0; // over the defects whose fix time is known
    std::int32_t timed = 0;      // how many of them have a known fix time

    // Minutes per defect with a known fix time; nullopt when none has one.
    std::optional<double> AverageFixMinutes() const;
    bool operator==(const DefectTypeRow&) const = default;
};

struct DefectMatrixCell {
    std::optional<std::string> injected; // CP932; nullopt: unknown
    std::string removed;                 // CP932: the phase the defect was recorded in
    std::int32_t count = 0;

    bool operator==(const DefectMatrixCell&) const = default;
};

struct DefectAnalysis {
    // By type code ascending, unknown last; only types that occur.
    std::vector<DefectTypeRow> byType;
    // By injected phase, then removal phase (byte order), unknown injected phases last.
    std::vector<DefectMatrixCell> matrix;

    // Counts every entry of `log` in.
    void Add(const DefectLog& log);
};

// The analysis over the projects the statistics scan finds beside the program, skipping
// `excludedName` as the scan does.
DefectAnalysis AnalyseStoredDefects(const std::string& excludedName);

} // namespace quilvane
