#pragma once
// The main form's log commands: 1031 opens the time log, 1021 the defect log and 1020 records
// a new defect in the running phase.
namespace quilvane {

class CommandContext;

// Connects the three buttons of the form to the handlers below.
void InstallLogCommands(CommandContext& context);

// Runs the time log dialog on a copy; on OK stores it, refreshes the phase table and marks the
// project modified.
void OnTimeLog(CommandContext& context);
// Runs the defect log dialog on a copy; on OK stores it and marks the project modified.
void OnDefectLog(CommandContext& context);
// Adds a defect at this moment in the running phase, after the edit dialog confirms it; in
// neutral it only says that nothing can be added.
void OnAddDefect(CommandContext& context);

} // namespace quilvane
