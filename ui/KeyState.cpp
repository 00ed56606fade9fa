#include "ui/KeyState.h"

#include <QGuiApplication>

namespace quilvane {
namespace {

std::optional<bool>& Override()
{
    static std::optional<bool> held;
    return held;
}

} // namespace

bool IsCtrlHeld()
{
    if (Override()) {
        return *Override();
    }
    return QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ControlModifier);
}

void SetCtrlHeldOverride(std::optional<bool> held)
{
    Override() = held;
}

} // namespace quilvane
