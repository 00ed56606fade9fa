// The document's side of crash safety: keeping the journal while work runs and ending the work
// when the program is told to stop from outside.
#include "app/CQuilvaneDoc.h"
#include "mainwindow/CQuilvaneView.h"
#include "project/Settings.h"

namespace quilvane {

void CQuilvaneDoc::KeepJournal(bool force)
{
    // The journal is a safety net behind the real save, which reports its own failures; a
    // journal that cannot be written must not interrupt the student every minute.
    (void)journal_.Keep(pathName_, data_, phaseClock_.modeStart, modified_,
                        static_cast<std::int32_t>(clock_.Now()), force);
}

void CQuilvaneDoc::DiscardJournal()
{
    journal_.Discard();
}

bool CQuilvaneDoc::CloseUnattended()
{
    // Nobody is there to answer: the forgotten-timer guard logs the whole span.
    unattended_ = true;
    if (view_) {
        view_->SelectMode(0);
    }
    unattended_ = false;
    RememberLastProject(data_.projectName);
    if (modified_ && !pathName_.empty()) {
        // A failed save leaves the project modified, which is what the next lines look at.
        (void)SaveTo(pathName_);
    }
    if (modified_) {
        // Not saved: the autosave keeps the work for the next start (when there is a path at all).
        KeepJournal(true);
        return false;
    }
    DiscardJournal();
    return true;
}

} // namespace quilvane
