#pragma once
// The one document of the workbench: the open project's record, its file path, the modified
// flag and the state of the phase clock. The frame and the view reach the project only here, and
// the features reach it, the form and the frame through its CommandContext
// (CQuilvaneDocContext.cpp).
#include <cstdint>
#include <functional>
#include <string>

#include "mainwindow/PhaseClock.h"
#include "mainwindow/WorkbenchDocument.h"
#include "overview/NewProjectCommands.h"
#include "platform/FileLauncher.h"
#include "platform/Status.h"
#include "platform/TimeSource.h"
#include "project/ProjectRecord.h"
#include "project/WorkJournal.h"

namespace quilvane {

class CMainFrame;
class CQuilvaneView;

class CQuilvaneDoc : public WorkbenchDocument {
public:
    explicit CQuilvaneDoc(const TimeSource& clock);
    CQuilvaneDoc(const CQuilvaneDoc&) = delete;
    CQuilvaneDoc& operator=(const CQuilvaneDoc&) = delete;

    ProjectRecord& Data() override { return data_; }
    const ProjectRecord& Data() const { return data_; }
    const TimeSource& Clock() const override { return clock_; }

    void Attach(CMainFrame* frame, CQuilvaneView* view) override;
    CMainFrame* Frame() const { return frame_; }
    CQuilvaneView* View() const { return view_; }

    // File > New and start-up: asks for the student's name on the first run, reopens the last
    // project on the first call of a run, or creates a project for an exercise. Returns false
    // when no project is open afterwards.
    [[nodiscard]] bool OnNewDocument() override;
    // The new-project flow. `path` receives the project file, `base` the chosen base; both are
    // meant for the caller only when the outcome is Created or OpenExisting.
    [[nodiscard]] NewProjectOutcome CreateFromTemplate(std::string& path, std::string& base);
    // Opens a project file; on failure reports it and keeps the open project as it was.
    [[nodiscard]] bool OnOpenDocument(const std::string& path) override;
    // Called before another project replaces this one: stops the clock, clears no data.
    void DeleteContents();
    // The main window is about to close: ends a running phase, remembers the project and offers
    // to save. False when the user cancelled.
    [[nodiscard]] bool CanCloseFrame() override;
    // Selects ニュートラル: a phase that was running has its interval logged, as leaving the
    // project by closing, opening or creating another must not lose it. Returns the mode-list
    // index of the phase that ran (0: none), for ResumePhase when the project is not left.
    [[nodiscard]] int EndRunningPhase() override;
    // Starts the phase at `modeIndex` of the mode list again; 0 does nothing.
    void ResumePhase(int modeIndex) override;
    // Asks to save a modified project (Yes/No/Cancel); false when cancelled or the save failed.
    [[nodiscard]] bool SaveModified() override;
    // File > Save: writes the file atomically, asking for a path when the project has none.
    [[nodiscard]] bool DoFileSave() override;
    [[nodiscard]] Status SaveTo(const std::string& path) override;

    void SetModifiedFlag(bool modified = true) override { modified_ = modified; }
    bool IsModified() const override { return modified_; }
    const std::string& PathName() const override { return pathName_; }

    // The phase clock: the moment the current phase was entered, and whether the timer runs.
    PhaseClockState& ClockState() override { return phaseClock_; }
    bool ClockRunning() const { return phaseClock_.running; }
    void StartClock() override;
    void StopClock() override;

    // Keeps the journal and autosave beside the project while a phase runs or changes are unsaved
    // (at most once a minute unless `force`), so that a crash loses nothing (CQuilvaneDocJournal.cpp).
    void KeepJournal(bool force) override;
    // The work was saved or deliberately dropped: the journal and autosave go.
    void DiscardJournal();
    // Ends the work without asking anybody, as a close answered with Yes does: the running phase
    // goes into the time log, the project is remembered and saved. For signals and the end of the
    // desktop session. False when the project could not be saved (its autosave then stays).
    [[nodiscard]] bool CloseUnattended();
    // True while nobody may be asked anything.
    bool Unattended() const override { return unattended_; }

    // Files are opened through `launcher` from now on (the desktop's handler until then); it
    // must outlive the document or be replaced first.
    void SetLauncher(const FileLauncher& launcher) { launcher_ = &launcher; }

    // The features' view of the workbench; without an attached frame and form the commands that
    // need them do nothing.
    [[nodiscard]] Status Launch(const std::string& path) override;
    void OpenProject(const QString& path) override;
    QWidget* Owner() const override;
    void RefreshView(bool rebuildModes) override;
    void SelectMode(int index) override;
    int ModeIndex() const override;
    QTreeWidget* PhaseTable() const override;
    QPushButton* Button(int id) const override;
    void SetCommand(int id, std::function<void()> handler) override;
    void SetMenuCommand(int id, std::function<void()> handler) override;
    QAction* Action(int id) const override;
    std::string ProjectFilePath() const override { return pathName_; }
    void AddModeListener(std::function<void(const std::string& mode)> listener) override;
    void AddProjectListener(std::function<void()> listener) override;

private:
    bool Open(const std::string& path);
    void AfterOpen();

    const TimeSource& clock_;
    const FileLauncher* launcher_;
    ProjectRecord data_;
    std::string pathName_;
    bool modified_ = false;
    PhaseClockState phaseClock_;
    int newDocumentCalls_ = 0;
    WorkJournal journal_;
    bool unattended_ = false;
    CMainFrame* frame_ = nullptr;
    CQuilvaneView* view_ = nullptr;
};

} // namespace quilvane
