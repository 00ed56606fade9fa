#include "logs/LogCommands.h"

#include <QComboBox>

#include "app/CQuilvaneDoc.h"
#include "logs/CDefectEditDlg.h"
#include "logs/CDefectLogDlg.h"
#include "logs/CTimeLogDlg.h"
#include "logs/TimeAdjust.h"
#include "mainwindow/CQuilvaneView.h"
#include "project/DefectDetails.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace quilvane {
namespace {

std::vector<std::string> PhaseNames(const ProjectRecord& project)
{
    std::vector<std::string> names;
    for (const PhaseRecord& phase : project.phases) {
        names.push_back(phase.name);
    }
    return names;
}

} // namespace

void InstallLogCommands(CQuilvaneView& view)
{
    view.SetCommand(1031, [&view] { OnTimeLog(view); });
    view.SetCommand(1021, [&view] { OnDefectLog(view); });
    view.SetCommand(1020, [&view] { OnAddDefect(view); });
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
    CDefectLogDlg dlg(doc.Data().defectLog, PhaseNames(doc.Data()), doc.Clock(), view.window());
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
    std::vector<std::string> phases = PhaseNames(doc.Data());
    // The drop-down opens on the phase before the running one, where most defects come from.
    entry.comment =
        ComposeDefectComment({std::nullopt, DefaultInjectedPhase(phases, entry.phase), std::nullopt, ""});
    CDefectEditDlg dlg(entry, std::move(phases), doc.Clock(), view.window());
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    // At the end, whatever order the log was last sorted into.
    doc.Data().defectLog.entries.push_back(std::move(entry));
    doc.SetModifiedFlag(true);
}

} // namespace quilvane
