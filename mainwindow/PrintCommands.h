#pragma once
// File > Print, Print Preview and Print Setup of the workbench. One printer object lives as
// long as the main window, so the page setup and the chosen printer carry over between jobs.
#include <QObject>
#include <functional>
#include <memory>

#include "mainwindow/PrintLayout.h"

class QPrinter;
class QTreeWidget;
class QWidget;

namespace quilvane {

class CMainFrame;
class CQuilvaneDoc;
class PrintPainter;

class PrintCommands : public QObject {
    Q_OBJECT
public:
    PrintCommands(CMainFrame& frame, CQuilvaneDoc& doc);
    ~PrintCommands() override;

    void OnFilePrint();
    // Prints every page on the current printer without a dialog; false when printing failed,
    // which has then been reported.
    bool OnFilePrintDirect();
    void OnFilePrintPreview();
    void OnFilePrintSetup();

    // Made on first use: setting up a printer asks the print system for its printers, which
    // has no place on the way to the first window.
    QPrinter& Printer();

    // Runs the print dialog for a job of `pageCount` pages; false when cancelled. Tests replace
    // it to print without a person.
    std::function<bool(QPrinter& printer, int pageCount, QWidget* owner)> runPrintDialog;

private:
    PrintPainter MakePainter() const;
    // The printer, named after the project and set to print every page.
    QPrinter& PrinterForNewJob();

    CMainFrame& frame_;
    CQuilvaneDoc& doc_;
    std::unique_ptr<QPrinter> printer_;
};

// The phase table's texts as the main view shows them (CP932).
PhaseTableTexts PhaseTableTextsOfView(const QTreeWidget& table);

// Installs the three print commands on the frame; the frame owns them.
void InstallPrintCommands(CMainFrame& frame, CQuilvaneDoc& doc);

} // namespace quilvane
