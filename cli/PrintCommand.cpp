// `print`: the printed PSP form of a project file, written as a PDF with the workbench's pages.
#include <QApplication>
#include <QBuffer>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string_view>

#include "cli/Commands.h"
#include "mainwindow/PrintLayout.h"
#include "mainwindow/PrintPainter.h"
#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/PathNames.h"
#include "platform/TimeSource.h"
#include "project/ProjectFile.h"
#include "ui/DialogFont.h"

namespace quilvane::cli {
namespace {

// Qt wants a private runtime folder and complains on standard error at every start when the
// session has none (a cron job, ssh, a container). The tool then gives it one of its own for the
// run, so that standard error carries only the tool's own messages.
class PrivateRuntimeFolder {
public:
    PrivateRuntimeFolder()
    {
        if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
            return;
        }
        std::error_code ec;
        std::string pattern = (std::filesystem::temp_directory_path(ec) / "quilvane-print-XXXXXX").string();
        if (!ec && ::mkdtemp(pattern.data()) != nullptr) { // made with mode 0700, as Qt expects
            folder_ = pattern;
            qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(folder_));
        }
    }
    ~PrivateRuntimeFolder()
    {
        if (!folder_.empty()) {
            std::error_code ec;
            std::filesystem::remove_all(folder_, ec);
        }
    }
    PrivateRuntimeFolder(const PrivateRuntimeFolder&) = delete;
    PrivateRuntimeFolder& operator=(const PrivateRuntimeFolder&) = delete;

private:
    std::string folder_;
};

// Painting text needs a GUI application for the font database; a command-line tool never
// needs a screen, so it runs on the offscreen platform unless told otherwise.
std::unique_ptr<QApplication> EnsureApplication()
{
    if (QCoreApplication::instance() != nullptr) {
        return nullptr;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static int argc = 1;
    static char name[] = "quilvane-cli";
    static char* argv[] = {name, nullptr};
    auto app = std::make_unique<QApplication>(argc, argv);
    InstallDialogFont(*app);
    return app;
}

} // namespace

int RunPrintDocument(const Args& args)
{
    Args rest = args;
    const bool qualityPage = TakeFlag(rest, "--quality");
    if (rest.size() != 2 || rest[0].empty() || rest[1].empty()) {
        return ExitUsage;
    }
    const std::string& file = rest[0];
    const std::string& out = rest[1];
    // As when the workbench opens it: the project is named after its folder.
    const auto name = StoredProjectName(file);
    if (!name) {
        Report(UnstorableNameMessage(ProjectNameFromPath(file)));
        return ExitFailure;
    }
    ProjectRecord project;
    Status status = LoadProjectFile(file, project);
    if (!status) {
        Report(status.Message());
        return ExitFailure;
    }
    project.projectName = *name;

    PrivateRuntimeFolder runtime; // outlives the application, which may use it to the end
    auto app = EnsureApplication();
    SystemTimeSource clock;
    PhaseTableTexts table = PhaseTableTextsOf(project);
    PrintPainter painter(project, std::move(table), clock, qualityPage);

    // The PDF is made in memory and then written atomically: a full disk or an output that is
    // no regular file (/dev/full) fails the command and leaves an earlier PDF as it was.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&pdf);
        writer.setCreator(QStringLiteral("quilvane-cli"));
        writer.setTitle(QString::fromStdString(Cp932ToUtf8(project.projectName)));
        // A4 with the few millimetres a printer cannot reach, so the pages look as printed.
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter));
        if (!painter.PrintPages(writer, 1, painter.PageCount())) {
            std::fprintf(stderr, "quilvane-cli: %s を印刷できません\n", out.c_str());
            return ExitFailure;
        }
    }
    const QByteArray& bytes = pdf.data();
    std::string_view pdfBytes(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    status = WriteFileAtomically(out, pdfBytes);
    if (!status) {
        Report(status.Message());
        return ExitFailure;
    }
    return ExitOk;
}

} // namespace quilvane::cli
