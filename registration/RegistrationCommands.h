#pragma once
// The registration button of the main form and the 進捗 (progress) command of the View menu:
// the questions and messages around the file work of Registration.h.
#include <functional>

class QAction;
class QWidget;

namespace quilvane {

class CMainFrame;
class CQuilvaneDoc;
class CQuilvaneView;

// Connects button 1026 and command 32785, and keeps the command's enabled state current.
void InstallRegistrationCommands(CMainFrame& frame, CQuilvaneDoc& doc, CQuilvaneView& view);

// Copies the open project into the registration folder and starts the progress report
// generator there. Without a registration folder it offers the settings; `onOverview` opens them.
void RegisterProject(CQuilvaneDoc& doc, QWidget* owner, const std::function<void()>& onOverview);

// Opens the registration folder's result.htm with the desktop's browser.
void ShowProgressReport(const CQuilvaneDoc& doc);

// Enables `action` exactly when the registration folder holds result.htm.
void UpdateShowProgressReport(const CQuilvaneDoc& doc, QAction* action);

} // namespace quilvane
