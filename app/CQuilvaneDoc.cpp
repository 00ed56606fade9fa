#include "app/CQuilvaneDoc.h"

#include <QString>
#include <filesystem>

#include "app/CMainFrame.h"
#include "mainwindow/CQuilvaneView.h"
#include "platform/Process.h"
#include "platform/ProgramFolder.h"
#include "project/ProjectFile.h"
#include "project/Settings.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace quilvane {

CQuilvaneDoc::CQuilvaneDoc(const TimeSource& clock) : clock_(clock)
{
    LaunchFile = [](const std::string& path) { return ShellOpen(path); };
}

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
    Settings settings;
    bool haveSettings = LoadSettings(settings) == 0;
    if (newDocumentCalls_ == 1) {
        std::string last;
        if (ReadLastProject(last) == 0 && !last.empty()) {
            if (OnOpenDocument(ProgramPath(last + "/work.psp"))) {
                return true;
            }
        }
    }
    // No project to reopen: an empty project without a file, ready for the settings' phases.
    DeleteContents();
    ProjectRecord fresh;
    if (haveSettings) {
        ApplySettings(fresh.overview, fresh.phases, settings);
    }
    data_ = std::move(fresh);
    pathName_.clear();
    modified_ = false;
    AfterOpen();
    return true;
}

bool CQuilvaneDoc::OnOpenDocument(const std::string& path)
{
    DeleteContents();
    return Open(path);
}

bool CQuilvaneDoc::Open(const std::string& path)
{
    Status status = LoadProjectFile(path, data_);
    if (!status) {
        CurrentPrompt().Inform(frame_, QString::fromStdString(status.Message()));
        // The open project stays; a phase that was running keeps running.
        if (data_.mode != NeutralMode && modeStart != 0) {
            StartClock();
        }
        return false;
    }
    pathName_ = path;
    data_.projectName = ProjectNameFromPath(path);
    modified_ = false;
    if (frame_) {
        frame_->AddToRecentFileList(QString::fromStdString(path));
    }
    AfterOpen();
    return true;
}

void CQuilvaneDoc::AfterOpen()
{
    if (view_) {
        view_->OnInitialUpdate();
    } else {
        data_.mode = NeutralMode;
        modeStart = 0;
    }
}

bool CQuilvaneDoc::CanCloseFrame()
{
    if (view_) {
        view_->SelectMode(0);
    }
    RememberLastProject(data_.projectName);
    return SaveModified();
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
                                                 QString::fromStdString(ProgramPath("work.psp")),
                                                 QStringLiteral("Quilvane ﾌｧｲﾙ (*.psp)"), true);
        if (!chosen) {
            return false;
        }
        path = chosen->toStdString();
    }
    Status status = SaveTo(path);
    if (!status) {
        CurrentPrompt().Inform(frame_, QStringLiteral("保存できませんでした。\n%1")
                                           .arg(QString::fromStdString(status.Message())));
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
                frame_->AddToRecentFileList(QString::fromStdString(path));
            }
        }
        modified_ = false;
    }
    return status;
}

void CQuilvaneDoc::StartClock()
{
    clockRunning_ = true;
    if (frame_) {
        frame_->StartPhaseTimer();
    }
}

void CQuilvaneDoc::StopClock()
{
    if (frame_) {
        frame_->StopPhaseTimer();
    }
    clockRunning_ = false;
}

} // namespace quilvane
