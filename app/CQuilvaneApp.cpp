#include "app/CQuilvaneApp.h"

#include <QPrinter>
#include <QTranslator>
#include <cstdio>

#include "app/CQuilvaneDoc.h"
#include "app/WorkRecovery.h"
#include "mainwindow/CMainFrame.h"
#include "mainwindow/PrintCommands.h"
#include "ui/QtText.h"
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
    const QString first = arguments.value(0);
    if (first == QLatin1String("--print") || first == QLatin1String("--print-to-file")) {
        const bool toFile = first == QLatin1String("--print-to-file");
        if (arguments.size() != (toFile ? 3 : 2)) {
            std::fprintf(stderr, "使い方: Quilvane [FILE.psp | --print FILE.psp |"
                                 " --print-to-file OUT.pdf FILE.psp]\n");
            exitCode_ = 2;
            return false;
        }
        return PrintAndEnd(arguments.back(), toFile ? arguments[1] : QString());
    }
    const std::string named = arguments.isEmpty() ? std::string() : QToDiskPath(arguments.front());
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

// Printing from the desktop: the project is opened and printed, and the program ends without
// showing its window, asking to save or remembering the project as the last one.
bool CQuilvaneApp::PrintAndEnd(const QString& file, const QString& pdf)
{
    exitCode_ = 1;
    if (!doc_->OnOpenDocument(file.toStdString())) {
        return false;
    }
    auto* printing = frame_->findChild<PrintCommands*>();
    if (printing == nullptr) {
        return false;
    }
    if (!pdf.isEmpty()) {
        printing->Printer().setOutputFormat(QPrinter::PdfFormat);
        printing->Printer().setOutputFileName(pdf);
    }
    if (printing->OnFilePrintDirect()) {
        exitCode_ = 0;
    }
    return false;
}

} // namespace quilvane
