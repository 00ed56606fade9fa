#include "overview/NewProjectFlow.h"

#include <filesystem>

#include "project/ProjectCreation.h"
#include "project/ProjectFile.h"
#include "statistics/PhaseRatios.h"

namespace quilvane {

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

Status CreateNewProject(const std::string& exercise, const std::string& base, std::time_t now,
                        CreatedProject& created)
{
    if (!TemplateProjectExists()) {
        return Status::Failure(std::string("テンプレートドキュメント ") + TemplateProjectFile +
                               " がありません");
    }
    Settings settings;
    const bool haveSettings = LoadSettings(settings).Ok();
    // The workbench would ask for the name first; without a screen the name must be set already.
    if (haveSettings && settings.userName == UnsetUserName) {
        return Status::Failure("名前を設定して下さい");
    }
    if (Status named = CheckExerciseName(exercise); !named) {
        return named;
    }
    if (!ExerciseEntryExists(exercise)) {
        MakeExerciseFolder(exercise);
    }
    created.projectFile = ExerciseProjectFile(exercise);
    std::error_code ec;
    if (std::filesystem::exists(created.projectFile, ec)) {
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
        return Status::Failure("保存できませんでした。\n" + saved.Message());
    }
    return Status::Success();
}

} // namespace quilvane
