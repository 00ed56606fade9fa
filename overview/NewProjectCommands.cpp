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

bool RunFirstRunSettings(const std::string& projectName, std::vector<PhaseRecord>& phases,
                         Settings& settings, QWidget* owner)
{
    COverviewDlg first(true, projectName, phases, owner);
    ApplySettings(first.fields, phases, settings);
    if (first.exec() != QDialog::Accepted) {
        return false;
    }
    (void)LoadSettings(settings);
    return true;
}

int RunNewProject(const std::string& currentExercise, const std::string& userName, std::string& path,
                  std::string& base, QWidget* owner)
{
    if (!TemplateProjectExists()) {
        CurrentPrompt().Inform(owner, QStringLiteral("テンプレートドキュメント %1 がありません")
                                          .arg(QString::fromUtf8(TemplateProjectFile)));
        return 4;
    }
    std::string exercise;
    CNewProjectDlg dlg(currentExercise, exercise, base, owner);
    if (dlg.exec() != QDialog::Accepted) {
        return 1;
    }
    if (Status named = CheckExerciseName(exercise); !named) {
        CurrentPrompt().Inform(owner, QString::fromStdString(named.Message()));
        return 1;
    }
    if (!ExerciseEntryExists(exercise)) {
        MakeExerciseFolder(exercise);
    }
    path = ExerciseProjectFile(exercise);
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        auto answer = CurrentPrompt().Ask(owner, QStringLiteral("既にプロジェクトが存在しています\n開きますか?"));
        return answer == Prompt::Answer::Yes ? -1 : 3;
    }
    if (!CanEnterFolder(exercise)) {
        CurrentPrompt().Inform(owner, QStringLiteral("ディレクトリを作成できませんでした"));
        return 2;
    }
    auto failures = FillProjectFolder(exercise, base, userName);
    if (!failures.empty()) {
        QString list;
        for (const auto& f : failures) {
            list += QStringLiteral("\n") + QString::fromStdString(f);
        }
        CurrentPrompt().Inform(owner, QStringLiteral("次のファイルをコピーできませんでした:%1").arg(list));
    }
    return 0;
}

} // namespace quilvane
