#pragma once
// The file work of creating a project folder for an exercise: the folder with the exercise's
// batch file run once, the base project's tree under the new name, the template project file
// and the exercise's own files. Exercise and base names are stored (CP932) text; they reach the
// disk as the program folder's entries through ProgramPathFor. Paths returned are disk paths.
#include <ctime>
#include <string>
#include <vector>

#include "platform/Status.h"

namespace quilvane {

// Whether the exercise name can become a folder beside the program: one path component, valid
// CP932. The message (UTF-8) says why not.
Status CheckExerciseName(const std::string& exercise);

bool TemplateProjectExists();
// True when a file or folder of that name lies beside the program.
bool ExerciseEntryExists(const std::string& exercise);
// Creates the folder and, when "prob/bat/<exercise>.bat" exists, runs it with the command
// processor in the program folder and waits for it.
void MakeExerciseFolder(const std::string& exercise);
// The project file of an exercise's folder.
std::string ExerciseProjectFile(const std::string& exercise);
// Whether the folder can be entered (exists, is a folder, may be searched).
bool CanEnterFolder(const std::string& exercise);

// Copies the base tree in template mode (when `base` is set), the template "work.psp" over any
// project file that came with it, and every file of "prob/<exercise>/" except batch files.
// Returns what could not be copied (empty when everything arrived), as UTF-8 for the screen.
[[nodiscard]] std::vector<std::string> FillProjectFolder(const std::string& exercise, const std::string& base,
                                                         const std::string& userName);

// The two lines of a new project's memo (CP932): the version line and the creation line in the
// ctime form followed by " 作成".
std::string NewProjectMemo(std::time_t now);

} // namespace quilvane
