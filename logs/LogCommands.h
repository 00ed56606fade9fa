#pragma once
// The main form's log commands: 1031 opens the time log, 1021 the defect log and 1020 records
// a new defect in the running phase; the View menu's データ確認 lists what the data check finds
// and opens a log at the entry a finding concerns.
#include <cstddef>
#include <optional>

namespace quilvane {

class CommandContext;

// Connects the three buttons of the form to the handlers below.
void InstallLogCommands(CommandContext& context);

// Runs the time log dialog on a copy, with row `select` selected when given; on OK stores it,
// refreshes the phase table and marks the project modified.
void OnTimeLog(CommandContext& context, std::optional<std::size_t> select = std::nullopt);
// Runs the defect log dialog on a copy, likewise; on OK stores it and marks the project modified.
void OnDefectLog(CommandContext& context, std::optional<std::size_t> select = std::nullopt);
// Lists the data check's findings for the open project ("確認事項はありません" when there are
// none); a double click on a finding about a log entry opens that log at it.
void OnDataCheck(CommandContext& context);
// Adds a defect at this moment in the running phase, after the edit dialog confirms it; in
// neutral it only says that nothing can be added.
void OnAddDefect(CommandContext& context);

} // namespace quilvane
