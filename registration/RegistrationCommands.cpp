#include "registration/RegistrationCommands.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <memory>
#include <sys/stat.h>

#include "platform/ProgramFolder.h"
#include "project/ProjectRecord.h"
#include "registration/Registration.h"
#include "registration/RegistrationMessages.h"
#include "ui/CommandContext.h"
#include "ui/ControlIds.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace quilvane {
namespace {

// The progress window appears only when the generator takes longer than this.
constexpr int ProgressDelayMs = 500;

std::string ReportPath(CommandContext& context)
{
    return ProgressReportPath(context.Data().overview.registrationFolder, ProgramFolder());
}

bool FileExists(const std::string& path)
{
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0;
}

QString Screen(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

// Whether unsaved changes are saved (or knowingly left unsaved) before the copy is made.
bool AskToSave(CommandContext& context, QWidget* owner)
{
    if (!context.IsModified()) {
        return true;
    }
    switch (CurrentPrompt().Ask(owner, QStringLiteral("保存しますか?"), true)) {
    case Prompt::Answer::Cancel:
        return false;
    case Prompt::Answer::Yes:
        // A failed save has been reported; copying the older file now would register what the
        // user just asked to replace.
        return context.DoFileSave();
    case Prompt::Answer::No:
        break;
    }
    return true;
}

// The last question before anything changes. A running phase ends now, as the overview's OK
// ends it, so that the registered copy holds the interval; unsaved changes are then saved, or
// the registration stops with everything left as it was and the phase running on from now, as
// when opening another project is cancelled.
bool SaveBeforeCopy(CommandContext& context, QWidget* owner)
{
    const int running = context.ModeIndex();
    context.SelectMode(0);
    if (AskToSave(context, owner)) {
        return true;
    }
    if (running > 0) {
        context.SelectMode(running);
    }
    return false;
}

// Keeps the window painted while the generator runs, with a busy indicator once it takes a
// moment. User input waits: a second registration must not start inside this one.
class GeneratorProgress {
public:
    explicit GeneratorProgress(QWidget* owner) : owner_(owner) {}

    void Tick()
    {
        if (!dialog_) {
            dialog_ = std::make_unique<QProgressDialog>(QStringLiteral("進捗表を作成しています..."),
                                                        QString(), 0, 0, owner_);
            dialog_->setWindowTitle(QStringLiteral("データ登録"));
            dialog_->setWindowModality(Qt::ApplicationModal);
            dialog_->setCancelButton(nullptr);
            dialog_->setMinimumDuration(ProgressDelayMs);
        }
        dialog_->setValue(0);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

    // The generator has ended: the busy window goes before any message is shown, so that it
    // never covers one.
    void Close() { dialog_.reset(); }

private:
    QWidget* owner_;
    std::unique_ptr<QProgressDialog> dialog_;
};

} // namespace

void RegisterProject(CommandContext& context, QWidget* owner, const std::function<void()>& onOverview)
{
    const auto& data = context.Data();
    RegistrationRequest request{data.overview.registrationFolder, data.overview.userName, data.projectName,
                                ProgramFolder()};
    GeneratorProgress progress(owner);
    RegistrationHooks hooks;
    hooks.confirmReplace = [&context, owner] { return SaveBeforeCopy(context, owner); };
    hooks.confirmResultLine = [&request, owner](const ResultLineCheck& check) {
        QString text = Screen(ResultLineWarning(check, request)) + QStringLiteral("\n登録しますか?");
        return CurrentPrompt().Ask(owner, text) == Prompt::Answer::Yes;
    };
    hooks.confirmFindings = [owner](std::size_t findings) {
        const QString text = Screen(FindingsMessage(findings)) + QStringLiteral("。登録しますか?");
        return CurrentPrompt().Ask(owner, text) == Prompt::Answer::Yes;
    };
    hooks.whileWaiting = [&progress] { progress.Tick(); };
    RegistrationResult result = RegisterProjectFiles(request, hooks);
    progress.Close();
    if (result.outcome == RegistrationOutcome::NoRegistrationFolder) {
        auto answer = CurrentPrompt().Ask(owner, Screen(NoRegistrationFolderMessage()) +
                                                     QStringLiteral("\n設定画面を開きますか?"));
        if (answer == Prompt::Answer::Yes && onOverview) {
            onOverview();
        }
        return;
    }
    if (result.outcome == RegistrationOutcome::Copied) {
        CurrentPrompt().Inform(owner, Screen(CopiedMessage(result)));
        return;
    }
    if (std::string text = RegistrationStopMessage(result, request); !text.empty()) {
        CurrentPrompt().Inform(owner, Screen(text));
    }
}

void ShowProgressReport(CommandContext& context)
{
    std::string page = ReportPath(context);
    if (!FileExists(page)) {
        return;
    }
    // The command has no window of its own: the message belongs to the one in front.
    if (!context.Launch(page)) {
        InformCannotOpen(QApplication::activeWindow(), page);
    }
}

void UpdateShowProgressReport(CommandContext& context, QAction* action)
{
    if (action) {
        action->setEnabled(FileExists(ReportPath(context)));
    }
}

void InstallRegistrationCommands(CommandContext& context)
{
    context.SetMenuCommand(CommandId::Progress, [&context] { ShowProgressReport(context); });
    QAction* progress = context.Action(CommandId::Progress);
    if (progress) {
        // The generator writes the page after registration returns, and another project may
        // name another folder, so the state is taken afresh whenever the menu opens.
        for (QObject* owner : progress->associatedObjects()) {
            if (auto* menu = qobject_cast<QMenu*>(owner)) {
                QObject::connect(menu, &QMenu::aboutToShow, progress,
                                 [&context, progress] { UpdateShowProgressReport(context, progress); });
            }
        }
        UpdateShowProgressReport(context, progress);
    }
    // The settings open as the form's 概要 button opens them, once that button has a command.
    auto openOverview = [&context] {
        QPushButton* button = context.Button(ControlId::OverviewButton);
        if (button && button->isEnabled()) {
            button->click();
        }
    };
    context.SetCommand(ControlId::RegisterButton, [&context, progress, openOverview] {
        RegisterProject(context, context.Owner(), openOverview);
        UpdateShowProgressReport(context, progress);
    });
}

} // namespace quilvane
