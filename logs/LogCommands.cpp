#include "logs/LogCommands.h"

#include <QComboBox>

#include "app/CQuilvaneDoc.h"
#include "logs/CDefectEditDlg.h"
#include "logs/CDefectLogDlg.h"
#include "logs/CTimeLogDlg.h"
#include "logs/TimeAdjust.h"
#include "mainwindow/CQuilvaneView.h"
#include "ui/ControlIds.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace quilvane {

void InstallLogCommands(CQuilvaneView& view)
{
    view.SetCommand(ControlId::TimeLogButton, [&view] { OnTimeLog(view); });
    view.SetCommand(ControlId::DefectLogButton, [&view] { OnDefectLog(view); });
    view.SetCommand(ControlId::AddDefectButton, [&view] { OnAddDefect(view); });
}

void OnTimeLog(CQuilvaneView& view)
{
    CQuilvaneDoc& doc = view.GetDocument();
    CTimeLogDlg dlg(doc.Data().timeLog, view.window());
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    doc.Data().timeLog = dlg.Log();
    view.RefreshTable(false);
    doc.SetModifiedFlag(true);
}

void OnDefectLog(CQuilvaneView& view)
{
    CQuilvaneDoc& doc = view.GetDocument();
    CDefectLogDlg dlg(doc.Data().defectLog, view.window());
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    doc.Data().defectLog = dlg.Log();
    doc.SetModifiedFlag(true);
}

void OnAddDefect(CQuilvaneView& view)
{
    // Item 0 of the mode list is neutral; -1 is no selection. Only a running phase takes defects.
    if (view.ModeList()->currentIndex() < 1) {
        CurrentPrompt().Inform(view.window(), ToQ(NeutralMode) + QStringLiteral("では追加できません"));
        return;
    }
    CQuilvaneDoc& doc = view.GetDocument();
    DefectEntry entry = NewDefect(doc.Data().mode, doc.Clock().Now());
    CDefectEditDlg dlg(entry, view.window());
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    // At the end, whatever order the log was last sorted into.
    doc.Data().defectLog.entries.push_back(std::move(entry));
    doc.SetModifiedFlag(true);
}

} // namespace quilvane
