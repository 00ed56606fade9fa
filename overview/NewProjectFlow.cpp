#include "overview/NewProjectFlow.h"

#include <filesystem>

#include "overview/OverviewLogic.h"
#include "platform/Cp932.h"
#include "platform/FileTree.h"
#include "platform/ProgramFolder.h"
#include "project/ProjectCreation.h"
#include "project/ProjectFile.h"
#include "statistics/PhaseRatios.h"

namespace quilvane {

namespace fs = std::filesystem;

void StartNewProject(ProjectRecord& project, const Settings* settings, const std::string& base,
                     std::time_t now)
{
    if (settings != nullptr) {
        ApplySettings(project.overview, project.phases, *settings);
        UpdatePhaseRatios(project, true);
    }
    project.estimate.baseName = base;
    project.memo = NewProjectMemo(now);
}

std::string ProposedBase(const std::string& exercise)
{
    // The dialog's lists and its choice when the exercise is picked, in the same steps.
    const std::string& folder = ProgramFolder();
    const NewProjectChoices choices = BuildNewProjectChoices(ListProblemPages(folder), "");
    const std::string tag = ReadBaseTag(ProblemPagePath(folder, exercise).value_or(std::string()));
    // An empty tag would match any entry; an exercise without a page names no base.
    if (tag.empty()) {
        return std::string();
    }
    if (auto found = FindPrefix(choices.bases, tag)) {
        return choices.bases[*found];
    }
    return std::string();
}

Status CreateNewProject(const std::string& exercise, const std::string& base, std::time_t now,
                        CreatedProject& created)
{
    if (!TemplateProjectExists()) {
        return Status::Failure(std::string("テンプレートドキュメント ") + TemplateProjectFile +
                               " がありません");
    }
    Settings settings;
    bool haveSettings = false;
    if (Status read = LoadSettings(settings); read) {
        haveSettings = true;
    } else if (std::error_code ec; fs::exists(ProgramPath(SettingsFile), ec) || ec) {
        // Only a missing file means "no settings". One that is there and cannot be read (a
        // FIFO, a device, a damaged count) would give a project without the student's phases.
        return read;
    }
    // The workbench would ask for the name first; without a screen the name must be set already.
    if (haveSettings && settings.userName == UnsetUserName) {
        return Status::Failure("名前を設定して下さい");
    }
    if (Status named = CheckExerciseName(exercise); !named) {
        return named;
    }
    // A base that is not there would give a project without its starter sources.
    if (!base.empty() && (!IsSafeFolderName(base) || !CanEnterFolder(base))) {
        return Status::Failure("ベースのプロジェクト " + Cp932ToUtf8(base) + " がありません");
    }
    if (!ExerciseEntryExists(exercise)) {
        MakeExerciseFolder(exercise);
    }
    created.projectFile = ExerciseProjectFile(exercise);
    std::error_code ec;
    if (fs::exists(created.projectFile, ec)) {
        return Status::Failure("既にプロジェクトが存在しています");
    }
    if (!CanEnterFolder(exercise)) {
        return Status::Failure("ディレクトリを作成できませんでした");
    }
    created.failures = FillProjectFolder(exercise, base, haveSettings ? settings.userName : std::string());
    ProjectRecord project;
    if (Status loaded = LoadProjectFile(created.projectFile, project); !loaded) {
        return loaded;
    }
    project.projectName = exercise;
    StartNewProject(project, haveSettings ? &settings : nullptr, base, now);
    if (Status saved = SaveProjectFile(created.projectFile, project); !saved) {
        return Status::Failure("保存できませんでした: " + saved.Message());
    }
    return Status::Success();
}

} // namespace quilvane
