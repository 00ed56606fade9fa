#pragma once
// The data check (データ確認): combinations of a project's data that cannot all be true at once,
// or that leave its figures meaningless, each told with the log entry it concerns, a sentence
// and a hint. The workbench, the command-line tool and registration all list them from here.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "project/ProjectRecord.h"

namespace quilvane {

enum class CheckedLog { None, Time, Defect };

// The log entry a finding concerns: a row of the time or defect log (0-based), or none.
struct CheckedEntry {
    CheckedLog log = CheckedLog::None;
    std::size_t index = 0;

    bool operator==(const CheckedEntry&) const = default;
};

struct Finding {
    std::string code; // stable, for scripts: "overlapping-entries", ...
    CheckedEntry entry;
    std::string message; // Japanese UTF-8, for the screen
    std::string hint;    // what to look at, Japanese UTF-8
};

// One rule of the check: its codes and what it finds.
struct DataCheckRule {
    const char* code;
    void (*find)(const ProjectRecord& project, std::int32_t timerLimitMinutes,
                 std::vector<Finding>& findings);
};

// Every rule, in the order the findings are listed.
const std::vector<DataCheckRule>& DataCheckRules();

// The findings of every rule for `project`; `timerLimitMinutes` is the forgotten-timer limit.
std::vector<Finding> CheckProjectData(const ProjectRecord& project, std::int32_t timerLimitMinutes);

} // namespace quilvane
