#include "statistics/StatisticsCommands.h"

#include <QDialog>
#include <QString>

#include "platform/PathNames.h"
#include "platform/ProgramFolder.h"
#include "statistics/CStatisticsDlg.h"
#include "ui/CommandContext.h"
#include "ui/ControlIds.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace quilvane {

void InstallStatisticsCommands(CommandContext& context)
{
    context.SetCommand(ControlId::StatisticsButton, [&context] { OnStatistics(context, context.Owner()); });
}

void OnStatistics(CommandContext& context, QWidget* owner)
{
    // Every file below is named through the program folder; the current directory only matters
    // to programs started from here, so failing to change it is no reason to stop.
    (void)GoToProgramFolder();
    // The scan reads the project files from disk, so the open project's row shows what was
    // saved; the student may save the latest figures first.
    if (context.IsModified()) {
        switch (CurrentPrompt().Ask(owner, QStringLiteral("保存しますか?"), true)) {
        case Prompt::Answer::Cancel:
            return;
        case Prompt::Answer::Yes:
            // A failed save has been reported; the list then shows the last saved figures.
            (void)context.DoFileSave();
            break;
        case Prompt::Answer::No:
            break;
        }
    }
    std::string chosen;
    {
        CStatisticsDlg dlg(context, owner);
        if (dlg.exec() != QDialog::Accepted) {
            return;
        }
        chosen = dlg.ResultPath();
    }
    if (!chosen.empty()) {
        // The row holds the stored folder name; the folder on disk has the system's encoding.
        auto path = ProgramPathFor(chosen);
        if (!path) {
            CurrentPrompt().Inform(owner, QString::fromStdString(UndecodableNameMessage()));
            return;
        }
        context.OpenProject(DiskPathToQ(*path));
    }
}

} // namespace quilvane
