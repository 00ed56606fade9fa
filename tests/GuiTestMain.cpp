// Entry point of the GUI tests: one QApplication for all of them (offscreen platform, set by
// CTest), with settings kept away from the user's own.
#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "ui/DialogFont.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests (as CTest does at discovery, without the test environment) needs no
    // windowing system.
    if (::testing::GTEST_FLAG(list_tests)) {
        return RUN_ALL_TESTS();
    }
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    // CTest runs test processes side by side: each keeps its settings (the recent-file list) in a
    // folder of its own, so that one test's clearing cannot reach another's.
    QTemporaryDir settingsFolder;
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsFolder.path());
    QApplication::setOrganizationName(QStringLiteral("QuilvaneTests"));
    QApplication::setApplicationName(QStringLiteral("QuilvaneTests"));
    quilvane::InstallDialogFont(app);
    return RUN_ALL_TESTS();
}
