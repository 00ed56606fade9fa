#pragma once
// The main window: menu, toolbar, status bar, the recent-file list, dropped project files and
// the one-second phase clock. Commands arrive by id, as the menu, toolbar and tests send them.
#include <QMainWindow>
#include <QStringList>
#include <functional>
#include <map>

#include "ui/ControlIds.h"

class QAction;
class QMenu;
class QTimer;
class QToolBar;
class QUrl;

namespace quilvane {

class CQuilvaneView;
class WorkbenchDocument;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(WorkbenchDocument& doc);
    ~CMainFrame() override;

    CQuilvaneView* View() const { return view_; }
    // Runs the command `id`; false when no handler serves it.
    bool OnCommand(int id);
    QAction* Action(int id) const;
    // Enables menu command `id` and makes OnCommand run `handler` for it.
    void SetMenuCommand(int id, std::function<void()> handler);

    void StartPhaseTimer();
    void StopPhaseTimer();
    bool PhaseTimerActive() const;
    // Shows the start and elapsed time of the running phase in the status bar.
    void OnTimer();

    // Shrinks the window to fit the menus, toolbar, status bar and the form at its natural size;
    // a window that is already smaller in a direction keeps that size.
    void ResizeToFitForm();

    void AddToRecentFileList(const QString& path);
    QStringList RecentFiles() const;
    void OpenProject(const QString& path);
    // Opens the first ".psp" file among dropped files; false when there was none.
    bool OpenDroppedFiles(const QList<QUrl>& urls);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void OnCreate();
    void InstallFeatureCommands();
    QAction* AddCommand(QMenu* menu, int id, const QString& text, const QKeySequence& keys = {});
    void RebuildRecentMenu();
    // Writes the recent-file additions held back while the window was being set up, and from
    // then on reads and writes the list at once.
    void SaveHeldRecentFiles();
    void FinishStartup();
    void OnFileOpen();
    void OnFileSaveAs();
    void OnAppAbout();

    WorkbenchDocument& doc_;
    CQuilvaneView* view_ = nullptr;
    QTimer* timer_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QMenu* fileMenu_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    QList<QAction*> recentActions_;
    // Until the window is up, the list in the settings is neither read nor written: projects
    // opened meanwhile wait here, newest last.
    bool startingUp_ = true;
    QStringList heldRecentFiles_;
    std::map<int, QAction*> actions_;
    std::map<int, std::function<void()>> featureCommands_;
};

} // namespace quilvane
