#include "statistics/ClassReportCommands.h"

#include <QAction>
#include <QMenu>
#include <cstdlib>
#include <filesystem>

#include "platform/FileIo.h"
#include "platform/PathNames.h"
#include "platform/ProgramFolder.h"
#include "project/ProjectRecord.h"
#include "project/TimerLimit.h"
#include "statistics/ClassReport.h"
#include "statistics/ClassReportPage.h"
#include "ui/CommandContext.h"
#include "ui/ControlIds.h"
#include "ui/Prompt.h"

namespace quilvane {
namespace {

std::optional<std::string> RegistrationFolder(CommandContext& context)
{
    const std::string& stored = context.Data().overview.registrationFolder;
    return stored.empty() ? std::nullopt : StoredFolderOnDisk(stored, ProgramFolder());
}

// A folder of this user's own for the page: a shared temporary folder is no place for a file
// that a browser is then told to open.
std::optional<std::string> PrivateFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quilvane-class-XXXXXX").string();
    return ::mkdtemp(pattern.data()) != nullptr ? std::optional(pattern) : std::nullopt;
}

} // namespace

void OnClassReport(CommandContext& context)
{
    QWidget* owner = context.Owner();
    const auto root = RegistrationFolder(context);
    if (!root) {
        return;
    }
    std::string error;
    const auto report = BuildClassReport(*root, LoadTimerLimit(), error);
    if (!report) {
        CurrentPrompt().Inform(owner, QString::fromStdString(error));
        return;
    }
    const auto folder = PrivateFolder();
    if (!folder) {
        CurrentPrompt().Inform(owner, QStringLiteral("クラスレポートを書く一時フォルダを作れません"));
        return;
    }
    const std::string page = *folder + "/class-report.htm";
    if (Status written = WriteFileAtomically(page, ClassReportPage(*report, *root)); !written) {
        CurrentPrompt().Inform(owner, QString::fromStdString(written.Message()));
        return;
    }
    if (!context.Launch(page)) {
        InformCannotOpen(owner, page);
    }
}

void UpdateClassReport(CommandContext& context, QAction* action)
{
    if (action) {
        const auto root = RegistrationFolder(context);
        action->setVisible(root && HoldsRegisteredProjects(*root));
    }
}

void InstallClassReportCommands(CommandContext& context)
{
    context.SetMenuCommand(CommandId::ClassReport, [&context] { OnClassReport(context); });
    QAction* action = context.Action(CommandId::ClassReport);
    if (!action) {
        return;
    }
    // Registrations and another project's settings change the answer: asked whenever the menu
    // opens, and only then, so that starting the workbench never waits on the class's file server.
    for (QObject* owner : action->associatedObjects()) {
        if (auto* menu = qobject_cast<QMenu*>(owner)) {
            QObject::connect(menu, &QMenu::aboutToShow, action,
                             [&context, action] { UpdateClassReport(context, action); });
        }
    }
}

} // namespace quilvane
