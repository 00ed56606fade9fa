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

class CommandContext;
class PrintPainter;

class PrintCommands : public QObject {
    Q_OBJECT
public:
    // The commands live as long as `parent`, the main window.
    PrintCommands(CommandContext& context, QObject* parent);
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

    // Whether a page of the project's quality measures follows the logs; off until the print
    // dialog's option turns it on, and kept for the jobs after it.
    bool qualityPage = false;

private:
    PrintPainter MakePainter() const;
    // The printer, named after the project and set to print every page.
    QPrinter& PrinterForNewJob();

    CommandContext& context_;
    std::unique_ptr<QPrinter> printer_;
};

// The phase table's texts as the main view shows them (CP932).
PhaseTableTexts PhaseTableTextsOfView(const QTreeWidget& table);

// Installs the print commands on the main window's menu; the window owns them. Without a window
// there is nothing to print from, and nothing is installed.
void InstallPrintCommands(CommandContext& context);

} // namespace quilvane
