#pragma once
// The main form's 品質 button and the 表示 menu's 品質 command: open the 品質 window, or bring the
// one already open to the front.
class QWidget;

namespace quilvane {

class CommandContext;
class CQualityView;

// Connects button ControlId::QualityButton and menu command CommandId::Quality.
void InstallQualityCommands(CommandContext& context);

// The command itself; returns the window shown (null without an owner window).
CQualityView* OnQuality(CommandContext& context);

} // namespace quilvane
