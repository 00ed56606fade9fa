#pragma once
// Ends the work cleanly when the program is told to stop from outside: SIGTERM, SIGINT and
// SIGHUP (a logout, a shutdown, a closed terminal) and the desktop session's request to save
// before it ends. The running phase goes into the time log and the project is saved, as a close
// answered with Yes does, without asking anybody; on a signal the program then ends.
//
// A signal handler may do almost nothing safely, so it only writes the signal's number into a
// socket pair; the user-interface thread reads it through a QSocketNotifier and does the work.
#include <QObject>

class QSessionManager;
class QSocketNotifier;

namespace quilvane {

class CQuilvaneDoc;

class CrashGuard final : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; one guard at a time.
    explicit CrashGuard(CQuilvaneDoc& doc, QObject* parent = nullptr);
    // Restores the handlers that were in place before.
    ~CrashGuard() override;
    CrashGuard(const CrashGuard&) = delete;
    CrashGuard& operator=(const CrashGuard&) = delete;

    // False when the handlers could not be installed.
    bool Installed() const { return notifier_ != nullptr; }

private:
    void OnSignal();
    void OnCommitData(QSessionManager& manager);

    CQuilvaneDoc& doc_;
    QSocketNotifier* notifier_ = nullptr;
    bool ending_ = false;
};

} // namespace quilvane
