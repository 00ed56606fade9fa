#include "overview/NewProjectCommands.h"

#include <QString>
#include <filesystem>

#include "overview/CNewProjectDlg.h"
#include "overview/COverviewDlg.h"
#include "project/ProjectCreation.h"
#include "project/ProjectRecord.h"
#include "project/Settings.h"
#include "ui/Prompt.h"

namespace quilvane {

bool RunFirstRunSettings(const std::string& projectName, std::vector<PhaseRecord>& phases, Settings& settings,
                         QWidget* owner)
{
    COverviewDlg first(true, projectName, phases, owner);
    ApplySettings(first.fields, phases, settings);
    if (first.exec() != QDialog::Accepted) {
        return false;
    }
    // The dialog has just saved the name. Should the file have gone since, the settings keep
    // what was read first, as they always have.
    (void)LoadSettings(settings);
    return true;
}

NewProjectOutcome RunNewProject(const std::string& currentExercise, const std::string& userName,
                                std::string& path, std::string& base, QWidget* owner)
{
    if (!TemplateProjectExists()) {
        CurrentPrompt().Inform(owner, QStringLiteral("テンプレートドキュメント %1 がありません")
                                          .arg(QString::fromUtf8(TemplateProjectFile)));
        return NewProjectOutcome::TemplateMissing;
    }
    std::string exercise;
    CNewProjectDlg dlg(currentExercise, exercise, base, owner);
    if (dlg.exec() != QDialog::Accepted) {
        return NewProjectOutcome::Cancelled;
    }
    if (Status named = CheckExerciseName(exercise); !named) {
        CurrentPrompt().Inform(owner, QString::fromStdString(named.Message()));
        return NewProjectOutcome::Cancelled;
    }
    if (!ExerciseEntryExists(exercise)) {
        MakeExerciseFolder(exercise);
    }
    path = ExerciseProjectFile(exercise);
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        auto answer =
            CurrentPrompt().Ask(owner, QStringLiteral("既にプロジェクトが存在しています\n開きますか?"));
        return answer == Prompt::Answer::Yes ? NewProjectOutcome::OpenExisting
                                             : NewProjectOutcome::ExistingDeclined;
    }
    if (!CanEnterFolder(exercise)) {
        CurrentPrompt().Inform(owner, QStringLiteral("ディレクトリを作成できませんでした"));
        return NewProjectOutcome::FolderNotEntered;
    }
    auto failures = FillProjectFolder(exercise, base, userName);
    if (!failures.empty()) {
        QString list;
        for (const auto& f : failures) {
            list += QStringLiteral("\n") + QString::fromStdString(f);
        }
        CurrentPrompt().Inform(owner, QStringLiteral("次のファイルをコピーできませんでした:%1").arg(list));
    }
    return NewProjectOutcome::Created;
}

} // namespace quilvane
