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

    // Sets up the window and opens the first project; false when the program should end
    // without a message loop. `arguments` are the command-line words after the program name:
    //   (nothing)                      reopen the last project or create one
    //   FILE                           open the project file FILE
    //   --print FILE                   print FILE on the default printer, without a window
    //   --print-to-file OUT.pdf FILE   the same, printed into the file OUT.pdf
    bool InitInstance(const QStringList& arguments);
    // The program's exit code once InitInstance returned false: 0, or 1 when printing failed,
    // 2 for a command line that could not be understood.
    int ExitCode() const { return exitCode_; }

    CQuilvaneDoc& Doc() { return *doc_; }
    CMainFrame& Frame() { return *frame_; }

private:
    bool PrintAndEnd(const QString& file, const QString& pdf);

    int exitCode_ = 0;
    // Qt's own dialogs in Japanese for as long as the application lives.
    std::unique_ptr<QTranslator> qtJapanese_;
    std::unique_ptr<CQuilvaneDoc> doc_;
    std::unique_ptr<CMainFrame> frame_;
};

} // namespace quilvane
