#pragma once
// The main form's 統計情報 button: offers to save the project, runs the statistics dialog and
// opens the project chosen in it.
class QWidget;

namespace quilvane {

class CMainFrame;
class CQuilvaneDoc;
class CQuilvaneView;

// Connects button 1028.
void InstallStatisticsCommands(CMainFrame& frame, CQuilvaneDoc& doc, CQuilvaneView& view);

// The command itself; `owner` parents the dialog and the questions.
void OnStatistics(CMainFrame& frame, CQuilvaneDoc& doc, QWidget* owner);

} // namespace quilvane
