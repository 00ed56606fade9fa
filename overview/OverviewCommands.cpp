#include "overview/OverviewCommands.h"

#include "app/CQuilvaneDoc.h"
#include "mainwindow/CQuilvaneView.h"
#include "overview/COverviewDlg.h"
#include "statistics/PhaseRatios.h"
#include "ui/ControlIds.h"

namespace quilvane {

void OnOverview(CQuilvaneDoc& doc, CQuilvaneView& view)
{
    ProjectRecord& project = doc.Data();
    // The dialog edits a copy of the phase table and replaces the project's only on OK.
    std::vector<PhaseRecord> phases = project.phases;
    COverviewDlg dlg(false, project.projectName, phases, view.window());
    dlg.fields = project.overview;
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    // Ends a running phase at this moment, before the phases change under it.
    view.SelectMode(0);
    project.overview = dlg.fields;
    project.phases = phases;
    UpdatePhaseRatios(project, true);
    view.RefreshTable(true);
    doc.SetModifiedFlag(true);
}

void InstallOverviewCommands(CQuilvaneDoc& doc, CQuilvaneView& view)
{
    view.SetCommand(ControlId::OverviewButton, [&doc, &view] { OnOverview(doc, view); });
}

} // namespace quilvane
