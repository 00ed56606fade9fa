#include "statistics/StatisticsCommands.h"

#include <QString>

#include "app/CMainFrame.h"
#include "app/CQuilvaneDoc.h"
#include "mainwindow/CQuilvaneView.h"
#include "platform/PathNames.h"
#include "platform/ProgramFolder.h"
#include "statistics/CStatisticsDlg.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace quilvane {

namespace {
constexpr int StatisticsButton = 1028;
} // namespace

void InstallStatisticsCommands(CMainFrame& frame, CQuilvaneDoc& doc, CQuilvaneView& view)
{
    view.SetCommand(StatisticsButton, [&frame, &doc, &view] { OnStatistics(frame, doc, view.window()); });
}

void OnStatistics(CMainFrame& frame, CQuilvaneDoc& doc, QWidget* owner)
{
    // Every file below is named through the program folder; the current directory only matters
    // to programs started from here, so failing to change it is no reason to stop.
    (void)GoToProgramFolder();
    // The scan reads the project files from disk, so the open project's row shows what was
    // saved; the student may save the latest figures first.
    if (doc.IsModified()) {
        switch (CurrentPrompt().Ask(owner, QStringLiteral("保存しますか?"), true)) {
        case Prompt::Answer::Cancel:
            return;
        case Prompt::Answer::Yes:
            // A failed save has been reported; the list then shows the last saved figures.
            (void)doc.DoFileSave();
            break;
        case Prompt::Answer::No:
            break;
        }
    }
    std::string chosen;
    {
        CStatisticsDlg dlg(doc, owner);
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
        frame.OpenProject(DiskPathToQ(*path));
    }
}

} // namespace quilvane
