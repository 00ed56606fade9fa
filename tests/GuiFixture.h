#pragma once
// A workbench on a temporary program folder with a stepped clock and a scripted prompt.
#include <QApplication>
#include <QComboBox>
#include <QSettings>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

#include "app/CQuilvaneApp.h"
#include "app/CQuilvaneDoc.h"
#include "mainwindow/CMainFrame.h"
#include "mainwindow/CQuilvaneView.h"
#include "platform/FileIo.h"
#include "platform/FileLauncher.h"
#include "platform/ProgramFolder.h"
#include "platform/TimeSource.h"
#include "project/ProjectFile.h"
#include "project/Settings.h"
#include "tests/ModalDriver.h"
#include "tests/TempFolder.h"
#include "ui/KeyState.h"
#include "ui/Prompt.h"

namespace quilvane {

// Stands in for the desktop's handler: records what would be opened and answers as told.
class RecordingLauncher final : public FileLauncher {
public:
    Status Open(const std::string& path) const override
    {
        opened.push_back(path);
        return canOpen ? Status::Success() : Status::Failure("no handler");
    }

    mutable std::vector<std::string> opened;
    bool canOpen = true;
};

class WorkbenchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedFolder_ = ProgramFolder();
        SetProgramFolder(dir_.Root());
        std::filesystem::create_directory(dir_.Path("init"));
        SetPrompt(&prompt_);
        QSettings().clear();
    }
    void TearDown() override
    {
        // Before anything the drivers' actions refer to goes away.
        FinishModalDrivers();
        app_.reset();
        SetPrompt(nullptr);
        SetCtrlHeldOverride(std::nullopt);
        SetProgramFolder(savedFolder_);
    }

    // Writes a project folder `name` with `project` as its work.psp; returns the file's path.
    std::string MakeProject(const std::string& name, const ProjectRecord& project)
    {
        std::filesystem::create_directories(dir_.Path(name));
        std::string path = dir_.Path(name + "/work.psp");
        EXPECT_TRUE(SaveProjectFile(path, project).Ok());
        return path;
    }

    static ProjectRecord ThreePhases()
    {
        ProjectRecord p;
        p.phases = {{"A", 30, 0, 0}, {"B", 3, 0, 0}, {"C", 0, 0, 0}};
        p.estimate.totalMinutes = 33;
        return p;
    }

    // Starts the workbench on `path` (or through File > New when empty).
    void Start(const std::string& path = "")
    {
        app_ = std::make_unique<CQuilvaneApp>(clock_);
        QStringList args;
        if (!path.empty()) {
            args << QString::fromStdString(path);
        }
        ASSERT_TRUE(app_->InitInstance(args));
    }

    CQuilvaneDoc& Doc() { return app_->Doc(); }
    CMainFrame& Frame() { return app_->Frame(); }
    CQuilvaneView& View() { return *Frame().View(); }
    QString Cell(int row, int column) { return View().PhaseList()->topLevelItem(row)->text(column); }
    void SelectRow(int row) { View().PhaseList()->setCurrentItem(View().PhaseList()->topLevelItem(row)); }
    void At(int hours, int minutes, int seconds)
    {
        // 2026-12-07 in UTC; only differences matter to these tests.
        clock_.Set(1796601600 + hours * 3600 + minutes * 60 + seconds);
    }

    TempFolder dir_;
    ManualTimeSource clock_{1796601600};
    ScriptedPrompt prompt_;
    RecordingLauncher launcher_;
    std::unique_ptr<CQuilvaneApp> app_;
    std::string savedFolder_;
};

} // namespace quilvane
