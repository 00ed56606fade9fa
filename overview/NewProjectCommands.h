#pragma once
// The flows of File > New that open the overview's dialogs: the first run's settings and the
// new-project dialog with the folder work behind its OK. The document runs them.
#include <string>
#include <vector>

class QWidget;

namespace quilvane {

struct PhaseRecord;
struct Settings;

// First run: the settings-only overview over `phases` until the student's name is saved. On OK
// `settings` is read again and true returned; false when cancelled.
bool RunFirstRunSettings(const std::string& projectName, std::vector<PhaseRecord>& phases,
                         Settings& settings, QWidget* owner);

// The new-project dialog. `path` receives the project file, `base` the chosen base. Returns 0
// for a new project folder, -1 for an existing project to open, 1 cancelled, 2 folder not
// entered, 3 existing project not to be opened, 4 template missing.
int RunNewProject(const std::string& currentExercise, const std::string& userName, std::string& path,
                  std::string& base, QWidget* owner);

} // namespace quilvane
