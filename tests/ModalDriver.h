#pragma once
// Driving the modal dialogs of a GUI test, written once.
//
// WhenOpen<Dialog>(action) arms a driver before the step that opens the dialog: as soon as a
// Dialog is the active modal window, `action` runs on it, and the dialog is closed (rejected)
// if the action left it open, so a failed assertion inside the action never leaves the test
// waiting. A dialog that does not open fails the test: at the end of the test, or after
// ModalWaitLimitMs while the test waits in an event loop, when whatever modal dialog stands in
// its place is closed too. IfOpen<Dialog>(action) is the same for a dialog that may rightly not
// open. Drivers armed for one type take its dialogs in the order they were armed.
#include <QApplication>
#include <QDialog>
#include <QString>
#include <functional>
#include <gtest/gtest.h>

namespace quilvane {

constexpr int ModalWaitLimitMs = 20000;

// The non-template part of the drivers (ModalDriver.cpp).
void ArmModalDriver(const char* dialogName, std::function<QDialog*(QWidget*)> match,
                    std::function<void(QDialog&)> action, bool required);

// Reports the drivers whose dialog never opened and removes every driver; the test program
// calls it at the end of each test.
void FinishModalDrivers();

template <typename Dialog, typename Action> void WhenOpen(Action action)
{
    ArmModalDriver(
        Dialog::staticMetaObject.className(), [](QWidget* w) -> QDialog* { return qobject_cast<Dialog*>(w); },
        [action](QDialog& dialog) { action(static_cast<Dialog&>(dialog)); }, true);
}

template <typename Dialog, typename Action> void IfOpen(Action action)
{
    ArmModalDriver(
        Dialog::staticMetaObject.className(), [](QWidget* w) -> QDialog* { return qobject_cast<Dialog*>(w); },
        [action](QDialog& dialog) { action(static_cast<Dialog&>(dialog)); }, false);
}

// The child control of `parent` named by control id `id`; a missing one fails the test.
template <typename Widget> Widget* Child(QWidget* parent, int id)
{
    auto* widget = parent->findChild<Widget*>(QString::number(id));
    EXPECT_NE(widget, nullptr) << "no control " << id;
    return widget;
}

} // namespace quilvane
