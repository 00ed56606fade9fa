#pragma once
// What a feature's commands may reach of the workbench: the open project, its modified flag and
// save, the form's refresh, mode and phase table, the window that owns dialogs and questions, and
// the places where commands are installed. The document implements it for the frame and the
// form it is attached to; features see only this, never the document, view or frame classes, so
// that they build below them.
#include <functional>
#include <string>

#include "platform/Status.h"

class QAction;
class QPushButton;
class QString;
class QTreeWidget;
class QWidget;

namespace quilvane {

struct ProjectRecord;
class TimeSource;

class CommandContext {
public:
    virtual ~CommandContext() = default;

    // The open project's record; commands edit it in place after their dialog's OK.
    virtual ProjectRecord& Data() = 0;
    virtual const TimeSource& Clock() const = 0;
    virtual bool IsModified() const = 0;
    virtual void SetModifiedFlag(bool modified) = 0;
    // File > Save; false when it failed (already reported) or was cancelled.
    [[nodiscard]] virtual bool DoFileSave() = 0;
    // Opens a file with the desktop's handler; fails with the reason when nothing could open it.
    [[nodiscard]] virtual Status Launch(const std::string& path) = 0;
    // Opens another project file (a disk path) as File > Open does.
    virtual void OpenProject(const QString& path) = 0;

    // The window that parents dialogs and questions (null without a form).
    virtual QWidget* Owner() const = 0;
    // Fills the phase table again; with `rebuildModes` the mode list too (the clock stops).
    virtual void RefreshView(bool rebuildModes) = 0;
    // Selects the form's mode `index` (0 is neutral, which ends a running phase).
    virtual void SelectMode(int index) = 0;
    // The selected mode (-1 when none, 0 neutral).
    virtual int ModeIndex() const = 0;
    virtual QTreeWidget* PhaseTable() const = 0;

    // The form's command button `id` (null when there is none), and its handler.
    virtual QPushButton* Button(int id) const = 0;
    virtual void SetCommand(int id, std::function<void()> handler) = 0;
    // A menu command of the main window (ids in ui/ControlIds.h), and its action.
    virtual void SetMenuCommand(int id, std::function<void()> handler) = 0;
    virtual QAction* Action(int id) const = 0;

    // The open project's file on disk; empty until it is first saved.
    virtual std::string ProjectFilePath() const { return {}; }
    // Calls `listener` with the mode (stored text) each time the student enters one on the form.
    virtual void AddModeListener(std::function<void(const std::string& mode)> listener) { (void)listener; }
    // Calls `listener` each time the form shows a project (opened, made, or the first one).
    virtual void AddProjectListener(std::function<void()> listener) { (void)listener; }

protected:
    CommandContext() = default;
    CommandContext(const CommandContext&) = default;
    CommandContext& operator=(const CommandContext&) = default;
};

} // namespace quilvane
