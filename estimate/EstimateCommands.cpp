#include "estimate/EstimateCommands.h"

#include <QTreeWidget>

#include "estimate/CEstimateDlg.h"
#include "estimate/CResultDlg.h"
#include "platform/DecimalText.h"
#include "project/ProjectRecord.h"
#include "statistics/PhaseRatios.h"
#include "ui/CommandContext.h"
#include "ui/ControlIds.h"

namespace quilvane {

void OnEstimate(CommandContext& context)
{
    ProjectRecord& project = context.Data();
    CEstimateDlg dlg(project, context.Owner());
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    bool totalChanged = dlg.estimate.totalMinutes != project.estimate.totalMinutes;
    project.estimate = dlg.estimate;
    UpdatePhaseRatios(project, totalChanged);
    context.RefreshView(false);
    context.SetModifiedFlag(true);
}

void OnResult(CommandContext& context)
{
    ProjectRecord& project = context.Data();
    project.result.bugCount = static_cast<std::int32_t>(project.defectLog.entries.size());
    CResultDlg dlg(project.projectName, project.estimate, context.Owner());
    dlg.result = project.result;
    // The actual time is the phase table's total, as shown.
    QTreeWidget* table = context.PhaseTable();
    QTreeWidgetItem* totals = table ? table->topLevelItem(table->topLevelItemCount() - 1) : nullptr;
    dlg.result.actualMinutes = totals ? AtoiLike(totals->text(2).toStdString()) : 0;
    dlg.baseName = project.estimate.baseName;
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    project.result = dlg.result;
    project.estimate.baseName = dlg.baseName;
    context.SetModifiedFlag(true);
}

void InstallEstimateCommands(CommandContext& context)
{
    context.SetCommand(ControlId::EstimateButton, [&context] { OnEstimate(context); });
    context.SetCommand(ControlId::ResultButton, [&context] { OnResult(context); });
}

} // namespace quilvane
