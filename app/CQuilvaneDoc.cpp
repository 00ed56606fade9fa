#include "app/CQuilvaneDoc.h"

#include <QString>
#include <algorithm>

#include "mainwindow/CMainFrame.h"
#include "mainwindow/CQuilvaneView.h"
#include "overview/NewProjectCommands.h"
#include "overview/NewProjectFlow.h"
#include "overview/OverviewLogic.h"
#include "platform/PathNames.h"
#include "platform/Process.h"
#include "platform/ProgramFolder.h"
#include "project/ProjectCreation.h"
#include "project/ProjectFile.h"
#include "project/Settings.h"
#include "registration/Registration.h"
#include "statistics/PhaseRatios.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace quilvane {

namespace {

const DesktopLauncher& Desktop()
{
    static const DesktopLauncher launcher;
    return launcher;
}

} // namespace

CQuilvaneDoc::CQuilvaneDoc(const TimeSource& clock) : clock_(clock), launcher_(&Desktop()) {}

void CQuilvaneDoc::Attach(CMainFrame* frame, CQuilvaneView* view)
{
    frame_ = frame;
    view_ = view;
}

void CQuilvaneDoc::DeleteContents()
{
    StopClock();
}

bool CQuilvaneDoc::OnNewDocument()
{
    ++newDocumentCalls_;
    DeleteContents();
    // A cancelled or failed File > New leaves the open project exactly as it was, path included.
    const std::string previousPath = pathName_;
    const bool previousModified = modified_;
    auto keepPrevious = [&] {
        pathName_ = previousPath;
        modified_ = previousModified;
        return false;
    };
    Settings settings;
    bool haveSettings = LoadSettings(settings).Ok();
    if (haveSettings) {
        if (settings.userName == UnsetUserName) {
            // First run: the name must be saved before anything else happens.
            if (!RunFirstRunSettings(data_.projectName, data_.phases, settings, frame_)) {
                return keepPrevious();
            }
        }
        data_.overview.userName = settings.userName;
    }
    if (newDocumentCalls_ == 1) {
        std::string last;
        if (ReadLastProject(last).Ok() && !last.empty()) {
            auto lastFile = ProgramPathFor(last + "/work.psp");
            if (lastFile && OnOpenDocument(*lastFile)) {
                return true;
            }
        }
    }
    std::string path;
    std::string base;
    const NewProjectOutcome outcome = CreateFromTemplate(path, base);
    if (outcome != NewProjectOutcome::Created && outcome != NewProjectOutcome::OpenExisting) {
        return keepPrevious();
    }
    if (!OnOpenDocument(path)) {
        return keepPrevious();
    }
    if (outcome == NewProjectOutcome::OpenExisting) {
        return true;
    }
    StartNewProject(data_, haveSettings ? &settings : nullptr, base, clock_.Now());
    // The form shows the project as it now stands: its phases in the table and the mode list.
    AfterOpen();
    // The project is open whether or not this first save succeeds: a failure has been reported,
    // and the unsaved project is offered for saving again when it is closed.
    SetModifiedFlag(true);
    (void)DoFileSave();
    return true;
}

NewProjectOutcome CQuilvaneDoc::CreateFromTemplate(std::string& path, std::string& base)
{
    return RunNewProject(data_.projectName, data_.overview.userName, path, base, frame_);
}

bool CQuilvaneDoc::OnOpenDocument(const std::string& path)
{
    DeleteContents();
    return Open(path);
}

bool CQuilvaneDoc::Open(const std::string& path)
{
    // The project is named after its folder.
    auto name = StoredProjectName(path);
    if (!name) {
        CurrentPrompt().Inform(frame_,
                               QString::fromStdString(UnstorableNameMessage(ProjectNameFromPath(path))));
        return false;
    }
    Status status = LoadProjectFile(path, data_);
    if (!status) {
        CurrentPrompt().Inform(frame_, QString::fromStdString(status.Message()));
        // The open project stays; a phase that was running keeps running.
        if (data_.mode != NeutralMode && phaseClock_.modeStart != 0) {
            StartClock();
        }
        return false;
    }
    pathName_ = path;
    data_.projectName = *name;
    modified_ = false;
    if (frame_) {
        frame_->AddToRecentFileList(DiskPathToQ(path));
    }
    AfterOpen();
    // The project left behind was saved or its changes were declined.
    DiscardJournal();
    return true;
}

void CQuilvaneDoc::AfterOpen()
{
    if (view_) {
        view_->OnInitialUpdate();
    } else {
        data_.mode = NeutralMode;
        phaseClock_.modeStart = 0;
    }
}

int CQuilvaneDoc::EndRunningPhase()
{
    const int running = ModeIndex();
    SelectMode(0);
    return std::max(running, 0);
}

void CQuilvaneDoc::ResumePhase(int modeIndex)
{
    if (modeIndex > 0) {
        SelectMode(modeIndex);
    }
}

bool CQuilvaneDoc::CanCloseFrame()
{
    (void)EndRunningPhase();
    RememberLastProject(data_.projectName);
    if (!SaveModified()) {
        return false;
    }
    DiscardJournal();
    return true;
}

bool CQuilvaneDoc::SaveModified()
{
    if (!modified_) {
        return true;
    }
    QString name = data_.projectName.empty() ? QStringLiteral("無題") : ToQ(data_.projectName);
    auto answer = CurrentPrompt().Ask(frame_, QStringLiteral("%1 への変更を保存しますか?").arg(name), true);
    if (answer == Prompt::Answer::Cancel) {
        return false;
    }
    if (answer == Prompt::Answer::No) {
        return true;
    }
    return DoFileSave();
}

bool CQuilvaneDoc::DoFileSave()
{
    std::string path = pathName_;
    if (path.empty()) {
        auto chosen = CurrentPrompt().ChooseFile(frame_, QStringLiteral("名前を付けて保存"),
                                                 DiskPathToQ(ProgramPath("work.psp")),
                                                 QStringLiteral("Quilvane ﾌｧｲﾙ (*.psp)"), true);
        if (!chosen) {
            return false;
        }
        path = QToDiskPath(*chosen);
    }
    Status status = SaveTo(path);
    if (!status) {
        CurrentPrompt().Inform(
            frame_,
            QStringLiteral("保存できませんでした。\n%1").arg(QString::fromStdString(status.Message())));
        return false;
    }
    return true;
}

Status CQuilvaneDoc::SaveTo(const std::string& path)
{
    Status status = SaveProjectFile(path, data_);
    if (status) {
        if (pathName_ != path) {
            pathName_ = path;
            if (frame_) {
                frame_->AddToRecentFileList(DiskPathToQ(path));
            }
        }
        modified_ = false;
        KeepJournal(true);
    }
    return status;
}

void CQuilvaneDoc::StartClock()
{
    phaseClock_.running = true;
    if (frame_) {
        frame_->StartPhaseTimer();
    }
}

void CQuilvaneDoc::StopClock()
{
    if (frame_) {
        frame_->StopPhaseTimer();
    }
    phaseClock_.running = false;
}

} // namespace quilvane
