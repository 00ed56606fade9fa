#include "overview/OverviewCommands.h"

#include "overview/COverviewDlg.h"
#include "project/ProjectRecord.h"
#include "statistics/PhaseRatios.h"
#include "ui/CommandContext.h"
#include "ui/ControlIds.h"

namespace quilvane {

void OnOverview(CommandContext& context)
{
    ProjectRecord& project = context.Data();
    // The dialog edits a copy of the phase table and replaces the project's only on OK.
    std::vector<PhaseRecord> phases = project.phases;
    COverviewDlg dlg(false, project.projectName, phases, context.Owner());
    dlg.fields = project.overview;
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    // Ends a running phase at this moment, before the phases change under it.
    context.SelectMode(0);
    project.overview = dlg.fields;
    project.phases = phases;
    UpdatePhaseRatios(project, true);
    context.RefreshView(true);
    context.SetModifiedFlag(true);
}

void InstallOverviewCommands(CommandContext& context)
{
    context.SetCommand(ControlId::OverviewButton, [&context] { OnOverview(context); });
}

} // namespace quilvane
