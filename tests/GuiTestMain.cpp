// Entry point of the GUI tests: one QApplication for all of them (offscreen platform, set by
// CTest), with settings kept away from the user's own. A question nobody scripted and a dialog
// that never opened fail the test they happen in.
#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/ModalDriver.h"
#include "ui/DialogFont.h"
#include "ui/Prompt.h"

namespace {

// Listeners hear of a test's end before the result is printed, so a failure added here still
// counts for the test.
class ModalDriverCheck : public ::testing::EmptyTestEventListener {
    void OnTestEnd(const ::testing::TestInfo&) override { quilvane::FinishModalDrivers(); }
};

} // namespace

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
    quilvane::ScriptedPrompt::SetUnscriptedHandler([](const QString& question) {
        ADD_FAILURE() << "a question nobody scripted: " << question.toStdString();
    });
    ::testing::UnitTest::GetInstance()->listeners().Append(new ModalDriverCheck);
    return RUN_ALL_TESTS();
}
