#pragma once
// The dialogs' face, "ＭＳ Ｐゴシック" 9 points, with the free Japanese faces that stand in for it.
class QApplication;

namespace quilvane {

inline constexpr const char* DialogFaceName = "ＭＳ Ｐゴシック";

// Registers the substitutes and makes the face the application's font.
void InstallDialogFont(QApplication& app);

} // namespace quilvane
