#pragma once
// "init/psp.txt" (the student's settings) and "init/lastProj.txt" (the project open at the last
// close), both CP932 text files beside the program with CR LF line ends.
#include <string>
#include <vector>

#include "platform/Status.h"
#include "project/ProjectRecord.h"

namespace quilvane {

// The text that marks a student who has not yet entered a name.
inline const std::string UnsetUserName = "YOUR NAME";

struct Settings {
    std::string userName;
    std::string registrationFolder;
    std::vector<std::string> phaseNames;

    bool operator==(const Settings&) const = default;
};

inline const char* const SettingsFile = "init/psp.txt";
inline const char* const LastProjectFile = "init/lastProj.txt";
inline const char* const TemplateProjectFile = "init/work.psp";

// Fails when the file cannot be opened or read or its phase count is damaged (`settings` is then
// unchanged).
Status LoadSettings(Settings& settings);
// Fails when the file cannot be created; the old file then stays as it was.
Status SaveSettings(const Settings& settings);
// Fails when the file cannot be opened or read (`name` unchanged).
Status ReadLastProject(std::string& name);
// Fails when the file cannot be created.
Status WriteLastProject(const std::string& name);
// Reads the file (the value is not used), then writes `name`. The last project is only a
// convenience for the next start, so a failure here is not worth stopping a close for.
void RememberLastProject(const std::string& name);

// Copies the name and registration folder into the overview fields and makes the phase table
// follow the settings' phase names: rows are added as {"", 0, 0, 0} or dropped from the end,
// and row i takes the i-th name; the figures of kept rows stay.
void ApplySettings(OverviewFields& overview, std::vector<PhaseRecord>& phases, const Settings& settings);

// The parsing and formatting behind the file operations, for tests and the tools. Parsing fails
// (and leaves `settings` alone) when the phase count is more than the text could hold.
Status ParseSettingsText(const std::string& text, Settings& settings);
std::string FormatSettingsText(const Settings& settings);

} // namespace quilvane
