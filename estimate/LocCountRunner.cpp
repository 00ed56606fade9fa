#include "estimate/LocCountRunner.h"

#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <memory>

#include "platform/ProgramFolder.h"
#include "ui/Prompt.h"
#include "ui/WidgetHelpers.h"

namespace quilvane {
namespace {

// An empty name stays empty: it means "no folder", not the program folder itself. A stored name
// that is no valid CP932 names no folder on disk either, so it counts as an absent folder.
std::string InProgramFolder(const std::string& name)
{
    return name.empty() ? std::string() : ProgramPathFor(name).value_or(std::string());
}

} // namespace

QLabel* MakeUnreadableNote(QWidget* parent)
{
    auto* note = new QLabel(parent);
    note->setObjectName(QStringLiteral("unreadableNote"));
    note->setVisible(false);
    return note;
}

std::optional<LocCounts> CountLocInteractively(QWidget* parent, const std::string& baseName,
                                               const std::string& currentName, QLabel* unreadableNote)
{
    ScopedWaitCursor wait;
    std::unique_ptr<QProgressDialog> progress;
    auto onProgress = [&](std::size_t done, std::size_t total) {
        if (total < ProgressFromFiles) {
            return true;
        }
        if (!progress) {
            progress = std::make_unique<QProgressDialog>(QStringLiteral("LOC を数えています..."),
                                                         QStringLiteral("ｷｬﾝｾﾙ"), 0, static_cast<int>(total),
                                                         parent);
            progress->setWindowModality(Qt::WindowModal);
            progress->setMinimumDuration(0);
        }
        progress->setValue(static_cast<int>(done));
        QApplication::processEvents();
        return !progress->wasCanceled();
    };
    LocCounts counts{};
    LocOutcome outcome = CountProjectLoc(InProgramFolder(baseName), InProgramFolder(currentName), true,
                                         counts, true, onProgress);
    if (outcome.cancelled) {
        return std::nullopt;
    }
    if (!outcome.failure.empty()) {
        CurrentPrompt().Inform(parent, QString::fromStdString(outcome.failure));
        return std::nullopt;
    }
    if (unreadableNote != nullptr) {
        const std::string note = UnreadableFilesNote(outcome.unreadable.size());
        unreadableNote->setText(QString::fromStdString(note));
        unreadableNote->setVisible(!note.empty());
    }
    return counts;
}

} // namespace quilvane
