#pragma once
// The main form's 統計情報 button: offers to save the project, runs the statistics dialog and
// opens the project chosen in it.
class QWidget;

namespace quilvane {

class CommandContext;

// Connects button 1028.
void InstallStatisticsCommands(CommandContext& context);

// The command itself; `owner` parents the dialog and the questions.
void OnStatistics(CommandContext& context, QWidget* owner);

} // namespace quilvane
