// The document as the features' CommandContext: each request goes to the attached frame or form.
#include <QComboBox>
#include <QString>

#include "app/CQuilvaneDoc.h"
#include "mainwindow/CMainFrame.h"
#include "mainwindow/CQuilvaneView.h"

namespace quilvane {

Status CQuilvaneDoc::Launch(const std::string& path)
{
    return launcher_->Open(path);
}

void CQuilvaneDoc::OpenProject(const QString& path)
{
    if (frame_) {
        frame_->OpenProject(path);
    }
}

QWidget* CQuilvaneDoc::Owner() const
{
    if (view_) {
        return view_->window();
    }
    return frame_;
}

void CQuilvaneDoc::RefreshView(bool rebuildModes)
{
    if (view_) {
        view_->RefreshTable(rebuildModes);
    }
}

void CQuilvaneDoc::SelectMode(int index)
{
    if (view_) {
        view_->SelectMode(index);
    }
}

int CQuilvaneDoc::ModeIndex() const
{
    return view_ ? view_->ModeList()->currentIndex() : -1;
}

QTreeWidget* CQuilvaneDoc::PhaseTable() const
{
    return view_ ? view_->PhaseList() : nullptr;
}

QPushButton* CQuilvaneDoc::Button(int id) const
{
    return view_ ? view_->Button(id) : nullptr;
}

void CQuilvaneDoc::SetCommand(int id, std::function<void()> handler)
{
    if (view_) {
        view_->SetCommand(id, std::move(handler));
    }
}

void CQuilvaneDoc::SetMenuCommand(int id, std::function<void()> handler)
{
    if (frame_) {
        frame_->SetMenuCommand(id, std::move(handler));
    }
}

QAction* CQuilvaneDoc::Action(int id) const
{
    return frame_ ? frame_->Action(id) : nullptr;
}

void CQuilvaneDoc::AddModeListener(std::function<void(const std::string& mode)> listener)
{
    if (view_) {
        QObject::connect(view_, &CQuilvaneView::ModeEntered, view_, std::move(listener));
    }
}

void CQuilvaneDoc::AddProjectListener(std::function<void()> listener)
{
    if (view_) {
        QObject::connect(view_, &CQuilvaneView::ProjectShown, view_,
                         [listener = std::move(listener)](const QString&) { listener(); });
    }
}

} // namespace quilvane
