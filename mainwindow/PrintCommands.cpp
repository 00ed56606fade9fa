#include "mainwindow/PrintCommands.h"

#include <QCheckBox>
#include <QFile>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "mainwindow/PrintPainter.h"
#include "platform/FileIo.h"
#include "project/ProjectRecord.h"
#include "ui/CommandContext.h"
#include "ui/ControlIds.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace quilvane {
namespace {

bool RunQtPrintDialog(QPrinter& printer, int pageCount, QWidget* owner, bool& qualityPage)
{
    QPrintDialog dialog(&printer, owner);
    dialog.setMinMax(1, pageCount);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    auto* options = new QWidget;
    options->setWindowTitle(QStringLiteral("品質"));
    auto* quality = new QCheckBox(QStringLiteral("記録の後に品質の指標のページを付ける(&Q)"), options);
    quality->setObjectName(QStringLiteral("qualityPage"));
    quality->setChecked(qualityPage);
    auto* layout = new QVBoxLayout(options);
    layout->addWidget(quality);
    layout->addStretch();
    dialog.setOptionTabs({options});
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    qualityPage = quality->isChecked();
    return true;
}

// Qt's PDF engine does not report failed writes; a PDF cut short by a full disk lacks the
// "%%EOF" that ends every complete one.
bool EndsLikeAPdf(const std::string& bytes)
{
    std::size_t end = bytes.find_last_not_of("\r\n \t");
    return end != std::string::npos && end >= 4 && bytes.compare(end - 4, 5, "%%EOF") == 0;
}

// Prints through `printer`. A job sent to a file goes to a temporary file beside it that
// replaces it only when complete, so a failed job leaves an earlier file as it was.
bool PrintAtomically(const PrintPainter& painter, QPrinter& printer)
{
    const QString target = printer.outputFileName();
    if (target.isEmpty()) {
        return painter.Print(printer);
    }
    AtomicFileWriter file;
    if (!file.Begin(QFile::encodeName(target).toStdString()).Ok()) {
        return false;
    }
    const std::string temp = file.TempPath();
    printer.setOutputFileName(QFile::decodeName(QByteArray::fromStdString(temp)));
    bool printed = painter.Print(printer);
    printer.setOutputFileName(target);
    auto written = ReadWholeFile(temp);
    if (!printed || !written) {
        return false;
    }
    if (written->empty()) {
        // The chosen range held no page: nothing was printed and an earlier file stays.
        return true;
    }
    if (printer.outputFormat() == QPrinter::PdfFormat && !EndsLikeAPdf(*written)) {
        return false;
    }
    return file.Commit().Ok();
}

} // namespace

PhaseTableTexts PhaseTableTextsOfView(const QTreeWidget& table)
{
    PhaseTableTexts rows;
    for (int r = 0; r < table.topLevelItemCount(); ++r) {
        const QTreeWidgetItem* item = table.topLevelItem(r);
        rows.push_back(
            {FromQ(item->text(0)), FromQ(item->text(1)), FromQ(item->text(2)), FromQ(item->text(3))});
    }
    return rows;
}

PrintCommands::PrintCommands(CommandContext& context, QObject* parent) : QObject(parent), context_(context)
{
    setObjectName(QStringLiteral("printCommands"));
    runPrintDialog = [this](QPrinter& printer, int pageCount, QWidget* owner) {
        return RunQtPrintDialog(printer, pageCount, owner, qualityPage);
    };
}

PrintCommands::~PrintCommands() = default;

QPrinter& PrintCommands::Printer()
{
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    }
    return *printer_;
}

PrintPainter PrintCommands::MakePainter() const
{
    // The form shows the phase table exactly as the main view does at this moment.
    PhaseTableTexts table;
    if (const QTreeWidget* view = context_.PhaseTable()) {
        table = PhaseTableTextsOfView(*view);
    }
    return PrintPainter(context_.Data(), std::move(table), context_.Clock(), qualityPage);
}

QPrinter& PrintCommands::PrinterForNewJob()
{
    QPrinter& printer = Printer();
    printer.setDocName(ToQ(context_.Data().projectName));
    // A range chosen for an earlier, longer job must not leak into this one.
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(0, 0);
    return printer;
}

void PrintCommands::OnFilePrint()
{
    QPrinter& printer = PrinterForNewJob();
    if (!runPrintDialog || !runPrintDialog(printer, MakePainter().PageCount(), context_.Owner())) {
        return;
    }
    // Made after the dialog, whose option may have added the quality page.
    const PrintPainter painter = MakePainter();
    if (!PrintAtomically(painter, printer)) {
        CurrentPrompt().Inform(context_.Owner(), QStringLiteral("印刷できませんでした。"));
    }
}

bool PrintCommands::OnFilePrintDirect()
{
    PrintPainter painter = MakePainter();
    if (!painter.Print(PrinterForNewJob())) {
        CurrentPrompt().Inform(context_.Owner(), QStringLiteral("印刷できませんでした。"));
        return false;
    }
    return true;
}

void PrintCommands::OnFilePrintPreview()
{
    PrintPainter painter = MakePainter();
    QPrintPreviewDialog dialog(&PrinterForNewJob(), context_.Owner());
    dialog.setObjectName(QStringLiteral("printPreview"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
            [&painter](QPrinter* printer) { painter.Print(*printer); });
    dialog.exec();
}

void PrintCommands::OnFilePrintSetup()
{
    QPageSetupDialog dialog(&Printer(), context_.Owner());
    dialog.exec();
}

void InstallPrintCommands(CommandContext& context)
{
    QWidget* window = context.Owner();
    if (window == nullptr) {
        return;
    }
    auto* commands = new PrintCommands(context, window);
    context.SetMenuCommand(CommandId::Print, [commands] { commands->OnFilePrint(); });
    context.SetMenuCommand(CommandId::PrintDirect, [commands] { (void)commands->OnFilePrintDirect(); });
    context.SetMenuCommand(CommandId::PrintPreview, [commands] { commands->OnFilePrintPreview(); });
    context.SetMenuCommand(CommandId::PrintSetup, [commands] { commands->OnFilePrintSetup(); });
}

} // namespace quilvane
