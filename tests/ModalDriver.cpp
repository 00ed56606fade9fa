#include "tests/ModalDriver.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <list>
#include <memory>
#include <string>

namespace quilvane {
namespace {

// How often a waiting driver looks for its dialog.
constexpr int PollMs = 5;

struct Driver {
    std::string dialogName;
    std::function<QDialog*(QWidget*)> match;
    std::function<void(QDialog&)> action;
    bool required = true;
    QElapsedTimer waited;
    // Each driver polls with a timer of its own: Qt never fires a timer again while its own
    // timeout runs, and an action that opens a nested dialog runs inside one.
    QTimer* timer = nullptr;

    ~Driver()
    {
        timer->stop();
        timer->deleteLater();
    }
};

// Drivers in the order they were armed.
std::list<std::unique_ptr<Driver>>& Waiting()
{
    static std::list<std::unique_ptr<Driver>> drivers;
    return drivers;
}

// Dialogs whose action is running: a nested event loop inside an action must not hand the same
// dialog to another driver.
std::list<QPointer<QDialog>>& Acting()
{
    static std::list<QPointer<QDialog>> dialogs;
    return dialogs;
}

void CloseDialog(QDialog* dialog)
{
    QPointer<QDialog> guard(dialog);
    guard->reject();
    // A dialog that refuses to be rejected (it asks first, or validates) is ended all the same.
    if (guard && guard->isVisible()) {
        guard->QDialog::done(QDialog::Rejected);
    }
}

void RunDriver(std::unique_ptr<Driver> driver, QDialog* dialog)
{
    QPointer<QDialog> guard(dialog);
    Acting().push_back(guard);
    driver->action(*dialog);
    Acting().remove(guard);
    if (guard && guard->isVisible()) {
        CloseDialog(guard);
    }
}

bool IsActing(QDialog* dialog)
{
    return std::find(Acting().begin(), Acting().end(), QPointer<QDialog>(dialog)) != Acting().end();
}

void Poll(Driver* polling)
{
    auto self = std::find_if(Waiting().begin(), Waiting().end(),
                             [polling](const std::unique_ptr<Driver>& d) { return d.get() == polling; });
    if (self == Waiting().end()) {
        return;
    }
    QWidget* modal = QApplication::activeModalWidget();
    QDialog* dialog = modal ? polling->match(modal) : nullptr;
    if (dialog && !IsActing(dialog)) {
        // A driver armed earlier for the same dialog goes first.
        bool earlier = std::any_of(Waiting().begin(), self, [modal](const std::unique_ptr<Driver>& d) {
            return d->match(modal) != nullptr;
        });
        if (!earlier) {
            std::unique_ptr<Driver> taken = std::move(*self);
            Waiting().erase(self);
            taken->timer->stop();
            RunDriver(std::move(taken), dialog);
        }
        return;
    }
    if (polling->waited.elapsed() > ModalWaitLimitMs) {
        std::unique_ptr<Driver> expired = std::move(*self);
        Waiting().erase(self);
        if (expired->required) {
            ADD_FAILURE() << expired->dialogName << " did not open within " << ModalWaitLimitMs << " ms";
            // Whatever modal dialog stands in its place would wait for ever.
            if (auto* standing = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                CloseDialog(standing);
            }
        }
    }
}

} // namespace

void ArmModalDriver(const char* dialogName, std::function<QDialog*(QWidget*)> match,
                    std::function<void(QDialog&)> action, bool required)
{
    auto driver = std::make_unique<Driver>();
    driver->dialogName = dialogName;
    driver->match = std::move(match);
    driver->action = std::move(action);
    driver->required = required;
    driver->waited.start();
    driver->timer = new QTimer(QApplication::instance());
    driver->timer->setInterval(PollMs);
    Driver* polling = driver.get();
    QObject::connect(driver->timer, &QTimer::timeout, [polling] { Poll(polling); });
    driver->timer->start();
    Waiting().push_back(std::move(driver));
}

void FinishModalDrivers()
{
    for (const auto& driver : Waiting()) {
        if (driver->required) {
            ADD_FAILURE() << driver->dialogName << " never opened";
        }
    }
    Waiting().clear();
}

} // namespace quilvane
