#pragma once
// The View menu's クラスレポート: the class report of the registration folder as a page in a
// temporary folder, opened with the desktop's browser. The command shows only while the
// registration folder holds registered projects.
class QAction;

namespace quilvane {

class CommandContext;

void InstallClassReportCommands(CommandContext& context);

// Writes the report of the project's registration folder and opens it.
void OnClassReport(CommandContext& context);

// Shows `action` exactly when the registration folder holds a registered project.
void UpdateClassReport(CommandContext& context, QAction* action);

} // namespace quilvane
