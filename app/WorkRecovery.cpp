#include "app/WorkRecovery.h"

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <algorithm>
#include <filesystem>

#include "platform/ProgramFolder.h"
#include "platform/TimeText.h"
#include "project/WorkJournal.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace quilvane {
namespace {

QString ProjectLabel(const std::string& projectPath)
{
    return QFileInfo(QString::fromStdString(projectPath)).dir().dirName();
}

QString MomentText(std::int32_t moment)
{
    return QString::fromStdString(FormatMoment(moment)).simplified();
}

} // namespace

std::vector<std::string> PendingJournals(const std::string& projectFile)
{
    std::vector<std::string> journals = FindJournals(ProgramFolder());
    if (projectFile.empty()) {
        return journals;
    }
    std::string own = JournalPathFor(projectFile);
    std::error_code ec;
    if (!std::filesystem::exists(own, ec)) {
        return journals;
    }
    bool listed = std::any_of(journals.begin(), journals.end(), [&](const std::string& j) {
        std::error_code e;
        return std::filesystem::equivalent(j, own, e);
    });
    if (!listed) {
        journals.push_back(own);
    }
    return journals;
}

std::optional<std::string> RecoverInterruptedWork(QWidget* owner, const std::vector<std::string>& journals)
{
    std::optional<std::string> recovered;
    for (const auto& journalPath : journals) {
        auto record = ReadJournal(journalPath);
        if (!record) {
            continue;
        }
        const QString project = ProjectLabel(record->projectPath);
        bool logInterval = false;
        bool restore = false;
        if (record->HasInterval()) {
            const QString question =
                QStringLiteral("前回 Quilvane は %1 の工程「%2」を計測中に終了しました。\n"
                               "開始 %3 から最後の記録 %4 までを時間記録に加えますか?")
                    .arg(project, ToQ(record->phase), MomentText(record->start), MomentText(record->moment));
            logInterval = CurrentPrompt().Ask(owner, question) == Prompt::Answer::Yes;
        }
        std::error_code ec;
        if (record->autosave && std::filesystem::is_regular_file(AutosavePathFor(record->projectPath), ec)) {
            const QString question = QStringLiteral("%1 には保存されていない変更が自動保存に残っています。\n"
                                                    "%2 の状態に復元しますか?")
                                         .arg(project, MomentText(record->moment));
            restore = CurrentPrompt().Ask(owner, question) == Prompt::Answer::Yes;
        }
        Status status = Recover(*record, logInterval, restore);
        if (!status) {
            CurrentPrompt().Inform(owner, QStringLiteral("%1 の作業を復元できませんでした。\n%2")
                                              .arg(project, QString::fromStdString(status.Message())));
            continue;
        }
        if (logInterval || restore) {
            recovered = record->projectPath;
        }
    }
    return recovered;
}

} // namespace quilvane
