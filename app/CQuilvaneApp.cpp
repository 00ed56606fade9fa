#include "app/CQuilvaneApp.h"

#include <QTranslator>

#include "app/CMainFrame.h"
#include "app/CQuilvaneDoc.h"
#include "ui/QtTranslations.h"

namespace quilvane {

CQuilvaneApp::CQuilvaneApp(const TimeSource& clock)
    : qtJapanese_(InstallQtJapanese()), doc_(std::make_unique<CQuilvaneDoc>(clock))
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
    bool opened = false;
    if (!arguments.isEmpty()) {
        opened = doc_->OnOpenDocument(arguments.front().toStdString());
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
