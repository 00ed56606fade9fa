// Quilvane: the PSP workbench.
#include <QApplication>

#include "app/CQuilvaneApp.h"
#include "app/CrashGuard.h"
#include "platform/LastResort.h"
#include "ui/DialogFont.h"

int main(int argc, char** argv)
{
    return quilvane::RunWithLastResort("Quilvane", [&] {
        QApplication app(argc, argv);
        QApplication::setOrganizationName(QStringLiteral("Quilvane"));
        QApplication::setApplicationName(QStringLiteral("Quilvane"));
        quilvane::InstallDialogFont(app);
        quilvane::SystemTimeSource clock;
        quilvane::CQuilvaneApp quilvaneApp(clock);
        QStringList arguments = QApplication::arguments();
        arguments.removeFirst();
        if (!quilvaneApp.InitInstance(arguments)) {
            return quilvaneApp.ExitCode();
        }
        // From here on a logout, shutdown or kill saves the running work instead of losing it.
        quilvane::CrashGuard guard(quilvaneApp.Doc());
        return QApplication::exec();
    });
}
