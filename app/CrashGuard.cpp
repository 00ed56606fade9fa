#include "app/CrashGuard.h"

#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include "app/CQuilvaneDoc.h"

namespace quilvane {
namespace {

constexpr std::array<int, 3> GuardedSignals = {SIGTERM, SIGINT, SIGHUP};

// The socket pair shared with the handler: [0] written by the handler, [1] read by the notifier.
int signalSockets[2] = {-1, -1};
struct sigaction previousActions[GuardedSignals.size()];

extern "C" void OnGuardedSignal(int signal)
{
    // Only async-signal-safe calls here; errno belongs to the interrupted code.
    int savedErrno = errno;
    char byte = static_cast<char>(signal);
    ssize_t ignored = ::write(signalSockets[0], &byte, 1);
    (void)ignored;
    errno = savedErrno;
}

} // namespace

CrashGuard::CrashGuard(CQuilvaneDoc& doc, QObject* parent) : QObject(parent), doc_(doc)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalSockets) != 0) {
        signalSockets[0] = signalSockets[1] = -1;
        return;
    }
    notifier_ = new QSocketNotifier(signalSockets[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &CrashGuard::OnSignal);
    for (std::size_t i = 0; i < GuardedSignals.size(); ++i) {
        struct sigaction action {};
        action.sa_handler = OnGuardedSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(GuardedSignals[i], &action, &previousActions[i]);
    }
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, this, &CrashGuard::OnCommitData);
    }
}

CrashGuard::~CrashGuard()
{
    if (notifier_ == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < GuardedSignals.size(); ++i) {
        sigaction(GuardedSignals[i], &previousActions[i], nullptr);
    }
    delete notifier_;
    ::close(signalSockets[0]);
    ::close(signalSockets[1]);
    signalSockets[0] = signalSockets[1] = -1;
}

void CrashGuard::OnSignal()
{
    char byte = 0;
    ssize_t ignored = ::read(signalSockets[1], &byte, 1);
    (void)ignored;
    if (ending_) {
        return;
    }
    ending_ = true;
    // Whatever could not be saved stays in the autosave for the next start.
    (void)doc_.CloseUnattended();
    // exit() leaves every running event loop, a modal dialog's included, without asking the
    // windows whether they may close: the work is already saved.
    QCoreApplication::exit(0);
}

void CrashGuard::OnCommitData(QSessionManager&)
{
    // The session may still be cancelled; the work is safe either way and the program stays.
    (void)doc_.CloseUnattended();
}

} // namespace quilvane
