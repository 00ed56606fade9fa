#pragma once
// The ids of the main window's menu and toolbar commands, as the frame, the features that
// install commands on it and the tests send them.

namespace quilvane {

namespace CommandId {
inline constexpr int FileNew = 57600;
inline constexpr int FileOpen = 57601;
inline constexpr int FileSave = 57603;
inline constexpr int FileSaveAs = 57604;
inline constexpr int PrintSetup = 57606;
inline constexpr int Print = 57607;
inline constexpr int PrintDirect = 57608;
inline constexpr int PrintPreview = 57609;
inline constexpr int RecentFirst = 57616;
inline constexpr int About = 57664;
inline constexpr int Exit = 57665;
inline constexpr int ToolBar = 59392;
inline constexpr int StatusBar = 59393;
inline constexpr int SelectModeFirst = 32771;
inline constexpr int SelectModeLast = 32781;
inline constexpr int Memo = 32782;
inline constexpr int Progress = 32785;
} // namespace CommandId

} // namespace quilvane
