#pragma once
// The review checklist's commands: the menu command that shows it, and the hook that shows it when
// the student enters 設計レビュー or コードレビュー on the form, unless the student turned that off.
// The switch is a user preference of this machine, kept with the window's other preferences in
// QSettings under "ReviewChecklist/ShowOnReview" (on by default); the student's files under init/
// keep their layout.
class QWidget;

namespace quilvane {

class CommandContext;
class CReviewChecklistDlg;

// Installs the menu command and the mode hook; without a window nothing is installed.
void InstallReviewChecklistCommands(CommandContext& context);

// Whether entering a review opens the checklist.
bool ShowChecklistOnReview();
void SetShowChecklistOnReview(bool show);

// The checklist window of `owner` (the main window), or null while none was opened.
CReviewChecklistDlg* FindChecklistWindow(QWidget* owner);

} // namespace quilvane
