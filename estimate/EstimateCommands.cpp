#include "estimate/EstimateCommands.h"

#include <QTreeWidget>

#include "app/CQuilvaneDoc.h"
#include "estimate/CEstimateDlg.h"
#include "estimate/CResultDlg.h"
#include "mainwindow/CQuilvaneView.h"
#include "platform/DecimalText.h"
#include "statistics/PhaseRatios.h"
#include "ui/ControlIds.h"

namespace quilvane {

void OnEstimate(CQuilvaneDoc& doc, CQuilvaneView& view)
{
    ProjectRecord& project = doc.Data();
    CEstimateDlg dlg(project, view.window());
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    bool totalChanged = dlg.estimate.totalMinutes != project.estimate.totalMinutes;
    project.estimate = dlg.estimate;
    UpdatePhaseRatios(project, totalChanged);
    view.RefreshTable(false);
    doc.SetModifiedFlag(true);
}

void OnResult(CQuilvaneDoc& doc, CQuilvaneView& view)
{
    ProjectRecord& project = doc.Data();
    project.result.bugCount = static_cast<std::int32_t>(project.defectLog.entries.size());
    CResultDlg dlg(project.projectName, project.estimate, view.window());
    dlg.result = project.result;
    // The actual time is the phase table's total, as shown.
    QTreeWidget* table = view.PhaseList();
    QTreeWidgetItem* totals = table->topLevelItem(table->topLevelItemCount() - 1);
    dlg.result.actualMinutes = totals ? AtoiLike(totals->text(2).toStdString()) : 0;
    dlg.baseName = project.estimate.baseName;
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    project.result = dlg.result;
    project.estimate.baseName = dlg.baseName;
    doc.SetModifiedFlag(true);
}

void InstallEstimateCommands(CQuilvaneDoc& doc, CQuilvaneView& view)
{
    view.SetCommand(ControlId::EstimateButton, [&doc, &view] { OnEstimate(doc, view); });
    view.SetCommand(ControlId::ResultButton, [&doc, &view] { OnResult(doc, view); });
}

} // namespace quilvane
