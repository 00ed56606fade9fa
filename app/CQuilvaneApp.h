#pragma once
// The application: creates the one document, frame and view, and opens the first project from
// the command line or through File > New.
#include <QStringList>
#include <memory>

#include "platform/TimeSource.h"

class QTranslator;

namespace quilvane {

class CMainFrame;
class CQuilvaneDoc;

class CQuilvaneApp {
public:
    explicit CQuilvaneApp(const TimeSource& clock);
    ~CQuilvaneApp();

    // Sets up the window and opens the first project; false when start-up failed and the
    // program should end. `arguments` are the command-line words after the program name.
    bool InitInstance(const QStringList& arguments);

    CQuilvaneDoc& Doc() { return *doc_; }
    CMainFrame& Frame() { return *frame_; }

private:
    // Qt's own dialogs in Japanese for as long as the application lives.
    std::unique_ptr<QTranslator> qtJapanese_;
    std::unique_ptr<CQuilvaneDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
};

} // namespace quilvane
