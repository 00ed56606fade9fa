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
bool RunFirstRunSettings(const std::string& projectName, std::vector<PhaseRecord>& phases, Settings& settings,
                         QWidget* owner);

// How the new-project flow ended.
enum class NewProjectOutcome {
    Created,          // a new project folder was filled
    OpenExisting,     // the exercise has a project already, and the user chose to open it
    Cancelled,        // the dialog was cancelled or the exercise name refused
    FolderNotEntered, // the exercise folder could not be made or entered
    ExistingDeclined, // the exercise has a project already, and the user chose not to open it
    TemplateMissing,  // there is no template project file
};

// The new-project dialog. `path` receives the project file, `base` the chosen base.
[[nodiscard]] NewProjectOutcome RunNewProject(const std::string& currentExercise, const std::string& userName,
                                              std::string& path, std::string& base, QWidget* owner);

} // namespace quilvane
