#include "logs/LogCommands.h"

#include <QDialog>
#include <QString>

#include "logs/CDataCheckDlg.h"
#include "logs/CDefectEditDlg.h"
#include "logs/CDefectLogDlg.h"
#include "logs/CTimeLogDlg.h"
#include "logs/TimeAdjust.h"
#include "platform/TimeSource.h"
#include "project/DataCheck.h"
#include "project/DefectDetails.h"
#include "project/ProjectRecord.h"
#include "project/TimerLimit.h"
#include "ui/CommandContext.h"
#include "ui/ControlIds.h"
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

void InstallLogCommands(CommandContext& context)
{
    context.SetCommand(ControlId::TimeLogButton, [&context] { OnTimeLog(context); });
    context.SetCommand(ControlId::DefectLogButton, [&context] { OnDefectLog(context); });
    context.SetCommand(ControlId::AddDefectButton, [&context] { OnAddDefect(context); });
    context.SetMenuCommand(CommandId::DataCheck, [&context] { OnDataCheck(context); });
}

void OnTimeLog(CommandContext& context, std::optional<std::size_t> select)
{
    CTimeLogDlg dlg(context.Data().timeLog, context.Owner());
    if (select) {
        dlg.SelectRows({static_cast<int>(*select)});
    }
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    context.Data().timeLog = dlg.Log();
    context.RefreshView(false);
    context.SetModifiedFlag(true);
}

void OnDefectLog(CommandContext& context, std::optional<std::size_t> select)
{
    CDefectLogDlg dlg(context.Data().defectLog, PhaseNames(context.Data()), context.Clock(), context.Owner());
    if (select) {
        dlg.SelectRows({static_cast<int>(*select)});
    }
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    context.Data().defectLog = dlg.Log();
    context.SetModifiedFlag(true);
}

void OnAddDefect(CommandContext& context)
{
    // Item 0 of the mode list is neutral; -1 is no selection. Only a running phase takes defects.
    if (context.ModeIndex() < 1) {
        CurrentPrompt().Inform(context.Owner(), ToQ(NeutralMode) + QStringLiteral("では追加できません"));
        return;
    }
    DefectEntry entry = NewDefect(context.Data().mode, context.Clock().Now());
    std::vector<std::string> phases = PhaseNames(context.Data());
    // The drop-down opens on the phase before the running one, where most defects come from.
    entry.comment =
        ComposeDefectComment({std::nullopt, DefaultInjectedPhase(phases, entry.phase), std::nullopt, ""});
    CDefectEditDlg dlg(entry, std::move(phases), context.Clock(), context.Owner());
    if (dlg.exec() != QDialog::Accepted) {
        return;
    }
    // At the end, whatever order the log was last sorted into.
    context.Data().defectLog.entries.push_back(std::move(entry));
    context.SetModifiedFlag(true);
}

void OnDataCheck(CommandContext& context)
{
    auto findings = CheckProjectData(context.Data(), LoadTimerLimit());
    if (findings.empty()) {
        CurrentPrompt().Inform(context.Owner(), QStringLiteral("確認事項はありません"));
        return;
    }
    CDataCheckDlg dlg(std::move(findings), context.Owner());
    if (dlg.exec() != QDialog::Accepted || !dlg.Chosen()) {
        return;
    }
    if (dlg.Chosen()->log == CheckedLog::Time) {
        OnTimeLog(context, dlg.Chosen()->index);
    } else {
        OnDefectLog(context, dlg.Chosen()->index);
    }
}

} // namespace quilvane
