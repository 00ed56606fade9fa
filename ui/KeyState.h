#pragma once
// Whether Ctrl is held at this moment (the adjuster buttons count hours then). Tests fix the
// answer, since an offscreen platform has no keyboard.
#include <optional>

namespace quilvane {

bool IsCtrlHeld();
void SetCtrlHeldOverride(std::optional<bool> held);

} // namespace quilvane
