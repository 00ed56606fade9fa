// Entry point of the GUI tests: one QApplication for all of them (offscreen platform, set by
// CTest), with settings kept away from the user's own.
#include <QApplication>
#include <QStandardPaths>
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
    QApplication::setOrganizationName(QStringLiteral("QuilvaneTests"));
    QApplication::setApplicationName(QStringLiteral("QuilvaneTests"));
    quilvane::InstallDialogFont(app);
    return RUN_ALL_TESTS();
}
