// Entry point of the GUI tests: one QApplication for all of them (offscreen platform, set by
// CTest), with settings kept away from the user's own.
#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

#include "ui/DialogFont.h"

int main(int argc, char** argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("QuilvaneTests"));
    QApplication::setApplicationName(QStringLiteral("QuilvaneTests"));
    quilvane::InstallDialogFont(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
