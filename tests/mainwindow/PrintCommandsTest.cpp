#include <QAction>
#include <QCheckBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>

#include "mainwindow/PrintCommands.h"
#include "mainwindow/PrintLayout.h"
#include "platform/FileIo.h"
#include "tests/GuiFixture.h"
#include "tests/RunTool.h"
#include "tests/project/SampleProjects.h"

using namespace quilvane;

namespace {

int PdfPageCount(const std::string& pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    return static_cast<int>(QString::fromLatin1(pdf).count(page));
}

// A project whose logs hold `timeEntries` + `defects` entries.
ProjectRecord WithLogs(int timeEntries, int defects)
{
    ProjectRecord p = RichProject();
    p.timeLog.entries.clear();
    p.defectLog.entries.clear();
    for (int i = 0; i < timeEntries; ++i) {
        p.timeLog.entries.push_back({"A", Moment(1796585780 + 100 * i), Moment(1796585840 + 100 * i)});
    }
    for (int i = 0; i < defects; ++i) {
        p.defectLog.entries.push_back({"B", "comment", Moment(1796590050 + i)});
    }
    return p;
}

} // namespace

class PrintCommandsTest : public WorkbenchTest {
protected:
    PrintCommands& Commands()
    {
        auto* commands = Frame().findChild<PrintCommands*>();
        EXPECT_NE(commands, nullptr);
        return *commands;
    }

    // Replaces the print dialog with one that sends the job to `pdf`, after `adjust` has had
    // its say about the printer; records the page count the dialog was offered.
    void PrintToPdf(const std::string& pdf, std::function<void(QPrinter&)> adjust = {})
    {
        Commands().runPrintDialog = [this, pdf, adjust](QPrinter& printer, int pages, QWidget*) {
            offered_ = pages;
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(QString::fromStdString(pdf));
            if (adjust) {
                adjust(printer);
            }
            return true;
        };
    }

    int offered_ = 0;
};

TEST_F(PrintCommandsTest, FileMenuCommandsAreEnabled)
{
    Start(MakeProject("Prob1", ThreePhases()));
    for (int id : {CommandId::Print, CommandId::PrintPreview, CommandId::PrintSetup}) {
        ASSERT_NE(Frame().Action(id), nullptr) << id;
        EXPECT_TRUE(Frame().Action(id)->isEnabled()) << id;
    }
}

TEST_F(PrintCommandsTest, PrintThroughTheDialogWritesEveryPageToPdf)
{
    Start(MakeProject("Prob1", WithLogs(20, 3)));
    std::string pdf = dir_.Path("out.pdf");
    PrintToPdf(pdf);
    ASSERT_TRUE(Frame().OnCommand(CommandId::Print));
    EXPECT_EQ(offered_, 3);
    auto bytes = ReadWholeFile(pdf);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->substr(0, 4), "%PDF");
    EXPECT_EQ(PdfPageCount(*bytes), 3);
    EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(PrintCommandsTest, ChosenPageRangeIsPrintedAndForgottenAfterwards)
{
    Start(MakeProject("Prob1", WithLogs(60, 0)));
    std::string pdf = dir_.Path("range.pdf");
    PrintToPdf(pdf, [](QPrinter& printer) {
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(2, 3);
    });
    ASSERT_TRUE(Frame().OnCommand(CommandId::Print));
    EXPECT_EQ(PdfPageCount(ReadWholeFile(pdf).value_or("")), 2);

    // The next job starts again with all pages.
    std::string all = dir_.Path("all.pdf");
    PrintToPdf(all);
    Frame().OnCommand(CommandId::Print);
    EXPECT_EQ(offered_, 4);
    EXPECT_EQ(PdfPageCount(ReadWholeFile(all).value_or("")), 4);
}

TEST_F(PrintCommandsTest, CancelledDialogPrintsNothing)
{
    Start(MakeProject("Prob1", ThreePhases()));
    Commands().runPrintDialog = [](QPrinter& printer, int, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QStringLiteral("never.pdf"));
        return false;
    };
    Frame().OnCommand(CommandId::Print);
    EXPECT_FALSE(std::filesystem::exists("never.pdf"));
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("never.pdf")));
    EXPECT_TRUE(prompt_.shown.empty());
}

TEST_F(PrintCommandsTest, FailedPrintIsReportedToTheUser)
{
    Start(MakeProject("Prob1", ThreePhases()));
    PrintToPdf(dir_.Path("no such folder/out.pdf"));
    Frame().OnCommand(CommandId::Print);
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_EQ(prompt_.shown[0], "印刷できませんでした。");

    // A job that fails on its way to a file leaves the earlier file whole and nothing beside it.
    struct FailingFsync : FileCalls {
        int Fsync(int) override
        {
            errno = EIO;
            return -1;
        }
    } failingFsync;
    struct Case {
        const char* name;
        std::function<void()> during;
    };
    const Case cases[] = {
        {"failing fsync",
         [&] {
             ScopedFileCalls scope(failingFsync);
             Frame().OnCommand(CommandId::Print);
         }},
        {"full disk",
         [&] {
             // The file size limit makes writes fail as a full disk would (EFBIG, not a signal).
             struct rlimit saved {};
             getrlimit(RLIMIT_FSIZE, &saved);
             struct rlimit small = saved;
             small.rlim_cur = 3000;
             auto previous = signal(SIGXFSZ, SIG_IGN);
             setrlimit(RLIMIT_FSIZE, &small);
             Frame().OnCommand(CommandId::Print);
             setrlimit(RLIMIT_FSIZE, &saved);
             signal(SIGXFSZ, previous);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompt_.shown.clear();
        std::filesystem::create_directory(dir_.Path("pdfs"));
        ASSERT_TRUE(WriteFileAtomically(dir_.Path("pdfs/old.pdf"), "old").Ok());
        PrintToPdf(dir_.Path("pdfs/old.pdf"));
        c.during();
        ASSERT_EQ(prompt_.shown.size(), 1u);
        EXPECT_EQ(prompt_.shown[0], "印刷できませんでした。");
        EXPECT_EQ(ReadWholeFile(dir_.Path("pdfs/old.pdf")), "old");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path("pdfs")), {}), 1);
    }
    // A folder or a FIFO named as the output stays what it is.
    ASSERT_EQ(mkfifo(dir_.Path("pdfs/fifo.pdf").c_str(), 0600), 0);
    for (const char* name : {"pdfs", "pdfs/fifo.pdf"}) {
        SCOPED_TRACE(name);
        prompt_.shown.clear();
        PrintToPdf(dir_.Path(name));
        Frame().OnCommand(CommandId::Print);
        EXPECT_EQ(prompt_.shown.size(), 1u);
    }
    EXPECT_TRUE(std::filesystem::is_fifo(dir_.Path("pdfs/fifo.pdf")));
    EXPECT_EQ(ReadWholeFile(dir_.Path("pdfs/old.pdf")), "old");
    // Printed once more without a fault, the file is replaced by a whole PDF.
    prompt_.shown.clear();
    PrintToPdf(dir_.Path("pdfs/old.pdf"));
    Frame().OnCommand(CommandId::Print);
    EXPECT_TRUE(prompt_.shown.empty());
    EXPECT_EQ(ReadWholeFile(dir_.Path("pdfs/old.pdf")).value_or("").substr(0, 4), "%PDF");
}

TEST_F(PrintCommandsTest, PrintDialogOffersEveryPageOfTheJob)
{
    Start(MakeProject("Prob1", WithLogs(23, 0)));
    int maxPage = 0;
    bool seen = false;
    WhenOpen<QPrintDialog>([&](QPrintDialog& dialog) {
        seen = true;
        maxPage = dialog.maxPage();
        dialog.reject();
    });
    Frame().OnCommand(CommandId::Print);
    EXPECT_TRUE(seen);
    EXPECT_EQ(maxPage, 3);
}

TEST_F(PrintCommandsTest, TheQualityPageIsAnOptionOfThePrintDialogOffByDefault)
{
    Start(MakeProject("Prob1", WithLogs(20, 3)));
    ASSERT_FALSE(Commands().qualityPage);
    bool offered = false;
    WhenOpen<QPrintDialog>([&](QPrintDialog& dialog) {
        auto* option = dialog.findChild<QCheckBox*>(QStringLiteral("qualityPage"));
        ASSERT_NE(option, nullptr);
        offered = true;
        EXPECT_FALSE(option->isChecked());
        option->setChecked(true);
        dialog.reject();
    });
    Frame().OnCommand(CommandId::Print);
    EXPECT_TRUE(offered);
    // A cancelled dialog leaves the option as it was.
    EXPECT_FALSE(Commands().qualityPage);

    // Turned on, the page follows the logs: one more page in the job and in the PDF.
    std::string pdf = dir_.Path("quality.pdf");
    PrintToPdf(pdf);
    Commands().qualityPage = true;
    ASSERT_TRUE(Frame().OnCommand(CommandId::Print));
    EXPECT_EQ(offered_, 4);
    EXPECT_EQ(PdfPageCount(ReadWholeFile(pdf).value_or("")), 4);
}

TEST_F(PrintCommandsTest, PreviewShowsEveryPage)
{
    Start(MakeProject("Prob1", WithLogs(23, 1)));
    int pages = 0;
    WhenOpen<QPrintPreviewDialog>([&](QPrintPreviewDialog& dialog) {
        auto* preview = dialog.findChild<QPrintPreviewWidget*>();
        ASSERT_NE(preview, nullptr);
        preview->updatePreview();
        pages = preview->pageCount();
        dialog.reject();
    });
    Frame().OnCommand(CommandId::PrintPreview);
    EXPECT_EQ(pages, 3);
}

TEST_F(PrintCommandsTest, PrintSetupShowsThePageSetupDialogOfTheSharedPrinter)
{
    Start(MakeProject("Prob1", ThreePhases()));
    QPrinter* shown = nullptr;
    WhenOpen<QPageSetupDialog>([&](QPageSetupDialog& dialog) {
        shown = dialog.printer();
        dialog.reject();
    });
    Frame().OnCommand(CommandId::PrintSetup);
    EXPECT_EQ(shown, &Commands().Printer());
}

TEST_F(PrintCommandsTest, FormUsesThePhaseTableAsTheViewShowsIt)
{
    ProjectRecord p = ThreePhases();
    ASSERT_EQ(p.timeLog.AddEntry("A", 1000, 1090), TimeLogAddition::Appended);
    ASSERT_EQ(p.timeLog.AddEntry("B", 2000, 2150), TimeLogAddition::Appended);
    Start(MakeProject("Prob1", p));
    PhaseTableTexts fromView = PhaseTableTextsOfView(*View().PhaseList());
    PhaseTableTexts fromProject = PhaseTableTextsOf(p);
    EXPECT_EQ(fromView, fromProject);
    ASSERT_EQ(fromView.size(), 4u);
    EXPECT_EQ(fromView[3][2], "5");
}

class PrintCliTest : public ::testing::Test {
protected:
    ToolResult Cli(const std::vector<std::string>& args) { return RunTool(QUILVANE_PRINT_CLI_PATH, args); }

    TempFolder dir_;
};

TEST_F(PrintCliTest, WritesEveryPageOfTheProjectAsPdf)
{
    std::filesystem::create_directories(dir_.Path("Prob1"));
    std::string file = dir_.Path("Prob1/work.psp");
    ASSERT_TRUE(SaveProjectFile(file, WithLogs(30, 20)).Ok());
    // As from cron or ssh: no runtime folder, no platform chosen. Nothing but the tool's own
    // messages may reach standard error, and here there are none.
    const std::string runtime = qEnvironmentVariable("XDG_RUNTIME_DIR").toStdString();
    const std::string platform = qEnvironmentVariable("QT_QPA_PLATFORM").toStdString();
    qunsetenv("XDG_RUNTIME_DIR");
    qunsetenv("QT_QPA_PLATFORM");
    ToolResult result = Cli({"print", file, dir_.Path("out.pdf")});
    qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(platform));
    if (!runtime.empty()) {
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime));
    }
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    auto pdf = ReadWholeFile(dir_.Path("out.pdf"));
    ASSERT_TRUE(pdf);
    EXPECT_EQ(pdf->substr(0, 4), "%PDF");
    EXPECT_EQ(PdfPageCount(*pdf), PrintPageCount(30, 20));
}

TEST_F(PrintCliTest, UnreadableProjectFails)
{
    ASSERT_TRUE(WriteFileAtomically(dir_.Path("broken.psp"), "\x67\x00\x00").Ok());
    ToolResult broken = Cli({"print", dir_.Path("broken.psp"), dir_.Path("out.pdf")});
    EXPECT_EQ(broken.exitCode, 1);
    EXPECT_FALSE(broken.err.empty());
    ToolResult missing = Cli({"print", dir_.Path("missing.psp"), dir_.Path("out.pdf")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("out.pdf")));
}

TEST_F(PrintCliTest, UnwritableOutputFails)
{
    std::string file = dir_.Path("work.psp");
    ASSERT_TRUE(SaveProjectFile(file, RichProject()).Ok());
    ToolResult result = Cli({"print", file, dir_.Path("no such folder/out.pdf")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_FALSE(result.err.empty());

    // A device, a folder or a full disk: exit 1 and an earlier PDF stays whole.
    std::filesystem::create_directory(dir_.Path("folder"));
    for (const std::string& out : {std::string("/dev/full"), dir_.Path("folder")}) {
        ToolResult refused = Cli({"print", file, out});
        EXPECT_EQ(refused.exitCode, 1) << out;
        EXPECT_FALSE(refused.err.empty()) << out;
    }
    ASSERT_TRUE(WriteFileAtomically(dir_.Path("old.pdf"), "old").Ok());
    struct rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    struct rlimit small = saved;
    small.rlim_cur = 3000; // well below one page; writes past it fail as on a full disk
    auto previous = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    ToolResult full = Cli({"print", file, dir_.Path("old.pdf")});
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, previous);
    EXPECT_EQ(full.exitCode, 1) << full.err;
    EXPECT_EQ(ReadWholeFile(dir_.Path("old.pdf")), "old");
    EXPECT_TRUE(std::filesystem::is_empty(dir_.Path("folder")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Root()), {}), 3);
}

TEST_F(PrintCliTest, WrongArgumentCountIsAUsageError)
{
    EXPECT_EQ(Cli({"print"}).exitCode, 2);
    EXPECT_EQ(Cli({"print", "only-one"}).exitCode, 2);
}

TEST_F(PrintCommandsTest, PrintDirectPrintsEveryPageWithoutADialog)
{
    Start(MakeProject("Prob1", WithLogs(20, 3)));
    Commands().runPrintDialog = [](QPrinter&, int, QWidget*) {
        ADD_FAILURE() << "no dialog expected";
        return false;
    };
    std::string pdf = dir_.Path("direct.pdf");
    Commands().Printer().setOutputFormat(QPrinter::PdfFormat);
    Commands().Printer().setOutputFileName(QString::fromStdString(pdf));
    ASSERT_TRUE(Frame().OnCommand(CommandId::PrintDirect));
    EXPECT_EQ(PdfPageCount(ReadWholeFile(pdf).value_or("")), 3);
    EXPECT_TRUE(prompt_.shown.empty());

    Commands().Printer().setOutputFileName(QString::fromStdString(dir_.Path("no such folder/x.pdf")));
    Frame().OnCommand(CommandId::PrintDirect);
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_EQ(prompt_.shown[0], "印刷できませんでした。");
}

// Printing from the desktop: the project is printed and the program ends without a window and
// without touching the project or the last-project file.
TEST_F(PrintCommandsTest, PrintOptionPrintsWithoutShowingTheWindow)
{
    std::string path = MakeProject("Prob1", WithLogs(30, 2));
    auto before = ReadWholeFile(path);
    std::string pdf = dir_.Path("option.pdf");
    app_ = std::make_unique<CQuilvaneApp>(clock_);
    EXPECT_FALSE(
        app_->InitInstance({"--print-to-file", QString::fromStdString(pdf), QString::fromStdString(path)}));
    EXPECT_EQ(app_->ExitCode(), 0);
    EXPECT_FALSE(Frame().isVisible());
    EXPECT_EQ(PdfPageCount(ReadWholeFile(pdf).value_or("")), PrintPageCount(30, 2));
    EXPECT_TRUE(prompt_.shown.empty());
    app_.reset();
    EXPECT_EQ(ReadWholeFile(path), before);
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("init/lastProj.txt")));

    struct Case {
        QStringList arguments;
        int exitCode;
    };
    const Case failures[] = {
        {{"--print-to-file", QString::fromStdString(dir_.Path("no such folder/x.pdf")),
          QString::fromStdString(path)},
         1},
        {{"--print-to-file", QString::fromStdString(pdf), QString::fromStdString(dir_.Path("missing.psp"))},
         1},
        {{"--print"}, 2},
        {{"--print-to-file", QString::fromStdString(pdf)}, 2},
    };
    for (const auto& c : failures) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        app_ = std::make_unique<CQuilvaneApp>(clock_);
        EXPECT_FALSE(app_->InitInstance(c.arguments));
        EXPECT_EQ(app_->ExitCode(), c.exitCode);
        EXPECT_FALSE(Frame().isVisible());
    }
}

// The desktop's print action for project files runs the workbench with the print option; the
// same program, started so, prints into a file through the print-to-file printer and ends.
TEST_F(PrintCliTest, DesktopPrintActionPrintsThroughTheWorkbench)
{
    auto entry = ReadWholeFile(QUILVANE_DESKTOP_ENTRY);
    ASSERT_TRUE(entry);
    EXPECT_NE(entry->find("\nActions=Print;\n"), std::string::npos);
    auto action = entry->find("\n[Desktop Action Print]\n");
    ASSERT_NE(action, std::string::npos);
    EXPECT_NE(entry->find("\nExec=quilvane --print %f\n", action), std::string::npos);

    std::filesystem::create_directories(dir_.Path("Prob1"));
    std::string file = dir_.Path("Prob1/work.psp");
    ASSERT_TRUE(SaveProjectFile(file, WithLogs(30, 20)).Ok());
    std::filesystem::create_directories(dir_.Path("config"));
    ToolResult result =
        RunTool("/usr/bin/env", {"QT_QPA_PLATFORM=offscreen", "XDG_CONFIG_HOME=" + dir_.Path("config"),
                                 QUILVANE_PATH, "--print-to-file", dir_.Path("out.pdf"), file});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto pdf = ReadWholeFile(dir_.Path("out.pdf"));
    ASSERT_TRUE(pdf);
    EXPECT_EQ(PdfPageCount(*pdf), PrintPageCount(30, 20));
    EXPECT_EQ(RunTool("/usr/bin/env", {"QT_QPA_PLATFORM=offscreen", "XDG_CONFIG_HOME=" + dir_.Path("config"),
                                       QUILVANE_PATH, "--print"})
                  .exitCode,
              2);
}
