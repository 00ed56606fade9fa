#pragma once
// The registration button of the main form and the 進捗 (progress) command of the View menu:
// the questions and messages around the file work of Registration.h.
#include <functional>

class QAction;
class QWidget;

namespace quilvane {

class CommandContext;

// Connects button 1026 and command 32785, and keeps the command's enabled state current.
void InstallRegistrationCommands(CommandContext& context);

// Copies the open project into the registration folder and starts the progress report
// generator there. Without a registration folder it offers the settings; `onOverview` opens them.
void RegisterProject(CommandContext& context, QWidget* owner, const std::function<void()>& onOverview);

// Opens the registration folder's result.htm with the desktop's browser.
void ShowProgressReport(CommandContext& context);

// Enables `action` exactly when the registration folder holds result.htm.
void UpdateShowProgressReport(CommandContext& context, QAction* action);

} // namespace quilvane
