#pragma once
// What the main window and its form need of the document beyond the features' CommandContext:
// opening, saving and closing the project, the journal, and the phase clock's state. The
// document in app/ implements it; the window and the form see only this, so that mainwindow/
// builds below app/ and never includes it.
#include <string>

#include "mainwindow/PhaseClock.h"
#include "platform/Status.h"
#include "ui/CommandContext.h"

namespace quilvane {

class CMainFrame;
class CQuilvaneView;

class WorkbenchDocument : public CommandContext {
public:
    // The window and the form that show the document; commands that need them do nothing
    // while they are null.
    virtual void Attach(CMainFrame* frame, CQuilvaneView* view) = 0;

    // File > New and File > Open; false when no other project was opened (already reported).
    [[nodiscard]] virtual bool OnNewDocument() = 0;
    [[nodiscard]] virtual bool OnOpenDocument(const std::string& path) = 0;
    // The window is about to close; false when the user cancelled.
    [[nodiscard]] virtual bool CanCloseFrame() = 0;
    // Ends a running phase before the project is left; returns its mode-list index (0: none).
    [[nodiscard]] virtual int EndRunningPhase() = 0;
    // Starts the phase at `modeIndex` of the mode list again; 0 does nothing.
    virtual void ResumePhase(int modeIndex) = 0;
    // Asks to save a modified project; false when cancelled or the save failed.
    [[nodiscard]] virtual bool SaveModified() = 0;
    [[nodiscard]] virtual Status SaveTo(const std::string& path) = 0;
    virtual const std::string& PathName() const = 0;

    // The phase clock: when the current mode was entered, and whether its timer runs.
    virtual PhaseClockState& ClockState() = 0;
    virtual void StartClock() = 0;
    virtual void StopClock() = 0;
    // Keeps the journal beside the project (at most once a minute unless `force`).
    virtual void KeepJournal(bool force) = 0;
    // True while nobody may be asked anything.
    virtual bool Unattended() const = 0;

protected:
    WorkbenchDocument() = default;
};

} // namespace quilvane
