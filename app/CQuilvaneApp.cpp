#include "app/CQuilvaneApp.h"

#include "app/CMainFrame.h"
#include "app/CQuilvaneDoc.h"
#include "app/WorkRecovery.h"

namespace quilvane {

CQuilvaneApp::CQuilvaneApp(const TimeSource& clock) : doc_(std::make_unique<CQuilvaneDoc>(clock))
{
}

CQuilvaneApp::~CQuilvaneApp()
{
    // The frame refers to the document: it goes first.
    frame_.reset();
}

bool CQuilvaneApp::InitInstance(const QStringList& arguments)
{
    frame_ = std::make_unique<CMainFrame>(*doc_);
    const std::string named = arguments.isEmpty() ? std::string() : arguments.front().toStdString();
    // Work a crash interrupted is settled before any project opens; the project it went into
    // is the one the student was working on.
    auto recovered = RecoverInterruptedWork(frame_.get(), PendingJournals(named));
    bool opened = false;
    if (!named.empty()) {
        opened = doc_->OnOpenDocument(named);
    } else if (recovered) {
        opened = doc_->OnOpenDocument(*recovered);
    } else {
        opened = doc_->OnNewDocument();
    }
    if (!opened) {
        return false;
    }
    frame_->adjustSize();
    frame_->show();
    return true;
}

} // namespace quilvane
