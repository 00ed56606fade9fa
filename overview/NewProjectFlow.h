#pragma once
// Creating a project for an exercise, shared by the new-project dialog's OK in the workbench
// and by `quilvane-cli new`: the same folder, files, settings, plans and memo either way.
#include <ctime>
#include <string>
#include <vector>

#include "platform/Status.h"
#include "project/ProjectRecord.h"
#include "project/Settings.h"

namespace quilvane {

// A freshly filled project takes the settings' name, registration folder and phases (when the
// settings were read), its plans spread by the to-date ratios of the other projects, the base
// and the memo's version and creation lines.
void StartNewProject(ProjectRecord& project, const Settings* settings, const std::string& base,
                     std::time_t now);

struct CreatedProject {
    std::string projectFile;           // disk path of the new project file
    std::vector<std::string> failures; // entries that could not be copied (UTF-8)
};

// The base the new-project dialog proposes when `exercise` is chosen: the base its exercise page
// names, as found in the dialog's list of bases; empty when the exercise has no page or its page
// names no listed base.
std::string ProposedBase(const std::string& exercise);

// The whole creation without questions, from the settings file: refuses (Japanese message) a
// missing template, settings that are there but cannot be read, an unset student name, an
// exercise name that cannot be a folder, a base that does not exist, an existing project and a
// folder that cannot be entered; otherwise fills the folder, starts the
// project and saves it.
Status CreateNewProject(const std::string& exercise, const std::string& base, std::time_t now,
                        CreatedProject& created);

} // namespace quilvane
