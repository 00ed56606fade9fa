#include "registration/RegistrationCommands.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <sys/stat.h>

#include "app/CMainFrame.h"
#include "app/CQuilvaneDoc.h"
#include "mainwindow/CQuilvaneView.h"
#include "platform/ProgramFolder.h"
#include "registration/Registration.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace quilvane {
namespace {

constexpr int RegisterButton = 1026;
constexpr int OverviewButton = 1029;
// A long list of failures would make the message taller than the screen.
constexpr size_t ListedFailures = 20;

std::string ReportPath(const CQuilvaneDoc& doc)
{
    return ProgressReportPath(doc.Data().overview.registrationFolder, ProgramFolder());
}

bool FileExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0;
}

// The last question before the previous copy is removed: unsaved changes are saved, or the
// registration stops with everything left as it was.
bool SaveBeforeCopy(CQuilvaneDoc& doc, QWidget* owner)
{
    if (!doc.IsModified()) {
        return true;
    }
    switch (CurrentPrompt().Ask(owner, QStringLiteral("保存しますか?"), true)) {
    case Prompt::Answer::Cancel:
        return false;
    case Prompt::Answer::Yes:
        // A failed save has been reported; copying the older file now would register what the
        // user just asked to replace.
        return doc.DoFileSave();
    case Prompt::Answer::No:
        break;
    }
    return true;
}

QString CopiedMessage(const RegistrationResult& result)
{
    QString text = ToQ(result.target) + QStringLiteral("\nにコピーしました");
    if (result.failures.empty()) {
        return text;
    }
    text += QStringLiteral("\n\n次のファイルはコピーできませんでした:");
    for (size_t i = 0; i < result.failures.size() && i < ListedFailures; ++i) {
        text += QStringLiteral("\n") + ToQ(result.failures[i]);
    }
    if (result.failures.size() > ListedFailures) {
        text += QStringLiteral("\nほか %1 件").arg(result.failures.size() - ListedFailures);
    }
    return text;
}

// The message for an outcome that stops registration; empty when nothing is to be said.
QString StopMessage(const RegistrationResult& result, const CQuilvaneDoc& doc)
{
    const auto& data = doc.Data();
    switch (result.outcome) {
    case RegistrationOutcome::EmptyUserName:
        return QStringLiteral("名前を設定して下さい");
    case RegistrationOutcome::UnsafeUserName:
        return QStringLiteral("氏名「%1」はフォルダ名に使えないため登録できません\n"
                              "(「/」「\\」を含む名前と「.」「..」は使えません)")
            .arg(ToQ(data.overview.userName));
    case RegistrationOutcome::UnsafeProjectName:
        if (data.projectName.empty()) {
            return QStringLiteral("プロジェクト名がないため登録できません");
        }
        return QStringLiteral("プロジェクト名「%1」はフォルダ名に使えないため登録できません")
            .arg(ToQ(data.projectName));
    case RegistrationOutcome::CannotEnterProject:
        return QStringLiteral("ディレクトリを移動できません");
    case RegistrationOutcome::OverlapsProject:
        return ToQ(result.target) + QStringLiteral("\nはプロジェクトのフォルダと重なるため登録できません");
    case RegistrationOutcome::CannotCreateTarget:
        return ToQ(result.target) + QStringLiteral("\nを作成できません");
    case RegistrationOutcome::NoRegistrationFolder:
    case RegistrationOutcome::Cancelled:
    case RegistrationOutcome::Copied:
        break;
    }
    return {};
}

} // namespace

void RegisterProject(CQuilvaneDoc& doc, QWidget* owner, const std::function<void()>& onOverview)
{
    const auto& data = doc.Data();
    RegistrationRequest request{data.overview.registrationFolder, data.overview.userName, data.projectName,
                                ProgramFolder()};
    RegistrationResult result =
        RegisterProjectFiles(request, [&doc, owner] { return SaveBeforeCopy(doc, owner); });
    if (result.outcome == RegistrationOutcome::NoRegistrationFolder) {
        auto answer = CurrentPrompt().Ask(
            owner, QStringLiteral("データの登録先を設定して下さい\n設定画面を開きますか?"));
        if (answer == Prompt::Answer::Yes && onOverview) {
            onOverview();
        }
        return;
    }
    if (result.outcome == RegistrationOutcome::Copied) {
        CurrentPrompt().Inform(owner, CopiedMessage(result));
        return;
    }
    if (QString text = StopMessage(result, doc); !text.isEmpty()) {
        CurrentPrompt().Inform(owner, text);
    }
}

void ShowProgressReport(const CQuilvaneDoc& doc)
{
    std::string page = ReportPath(doc);
    if (!FileExists(page)) {
        return;
    }
    // The command has no window of its own: the message belongs to the one in front.
    if (!doc.LaunchFile || !doc.LaunchFile(page)) {
        InformCannotOpen(QApplication::activeWindow(), page);
    }
}

void UpdateShowProgressReport(const CQuilvaneDoc& doc, QAction* action)
{
    if (action) {
        action->setEnabled(FileExists(ReportPath(doc)));
    }
}

void InstallRegistrationCommands(CMainFrame& frame, CQuilvaneDoc& doc, CQuilvaneView& view)
{
    frame.SetMenuCommand(CommandId::Progress, [&doc] { ShowProgressReport(doc); });
    QAction* progress = frame.Action(CommandId::Progress);
    if (progress) {
        // The generator writes the page after registration returns, and another project may
        // name another folder, so the state is taken afresh whenever the menu opens.
        for (QObject* owner : progress->associatedObjects()) {
            if (auto* menu = qobject_cast<QMenu*>(owner)) {
                QObject::connect(menu, &QMenu::aboutToShow, progress,
                                 [&doc, progress] { UpdateShowProgressReport(doc, progress); });
            }
        }
        UpdateShowProgressReport(doc, progress);
    }
    // The settings open as the form's 概要 button opens them, once that button has a command.
    auto openOverview = [&view] {
        QPushButton* button = view.Button(OverviewButton);
        if (button && button->isEnabled()) {
            button->click();
        }
    };
    view.SetCommand(RegisterButton, [&frame, &doc, progress, openOverview] {
        RegisterProject(doc, &frame, openOverview);
        UpdateShowProgressReport(doc, progress);
    });
}

} // namespace quilvane
