#include "statistics/ReviewChecklistCommands.h"

#include <QSettings>
#include <QWidget>

#include "project/ProjectRecord.h"
#include "statistics/CReviewChecklistDlg.h"
#include "ui/CommandContext.h"
#include "ui/ControlIds.h"

namespace quilvane {
namespace {

const QString ShowOnReviewKey = QStringLiteral("ReviewChecklist/ShowOnReview");

// The one checklist window of `owner`, made on first use; it lives as long as the main window.
CReviewChecklistDlg& ChecklistWindow(CommandContext& context, QWidget* owner)
{
    if (CReviewChecklistDlg* window = FindChecklistWindow(owner)) {
        return *window;
    }
    return *new CReviewChecklistDlg(context, owner);
}

void Show(CommandContext& context, QWidget* owner, ReviewKind kind)
{
    CReviewChecklistDlg& window = ChecklistWindow(context, owner);
    window.ShowReview(kind);
    window.show();
    window.raise();
}

} // namespace

bool ShowChecklistOnReview()
{
    return QSettings().value(ShowOnReviewKey, true).toBool();
}

void SetShowChecklistOnReview(bool show)
{
    QSettings().setValue(ShowOnReviewKey, show);
}

CReviewChecklistDlg* FindChecklistWindow(QWidget* owner)
{
    if (owner == nullptr) {
        return nullptr;
    }
    return owner->findChild<CReviewChecklistDlg*>(QString::number(ControlId::ReviewChecklistDialog),
                                                  Qt::FindDirectChildrenOnly);
}

void InstallReviewChecklistCommands(CommandContext& context)
{
    QWidget* owner = context.Owner();
    if (owner == nullptr) {
        return;
    }
    context.SetMenuCommand(CommandId::ReviewChecklist, [&context, owner] {
        // The review being worked in, else the code review, the one most students do.
        Show(context, owner, ReviewKindOfPhase(context.Data().mode).value_or(ReviewKind::Code));
    });
    context.AddModeListener([&context, owner](const std::string& mode) {
        std::optional<ReviewKind> kind = ReviewKindOfPhase(mode);
        if (kind && ShowChecklistOnReview()) {
            Show(context, owner, *kind);
        }
    });
    // An open window lists and ticks the project on the form, never one left behind; a closed
    // one is built afresh when it is next shown.
    context.AddProjectListener([owner] {
        CReviewChecklistDlg* window = FindChecklistWindow(owner);
        if (window != nullptr && window->isVisible()) {
            window->ShowReview(window->CurrentReview());
        }
    });
}

} // namespace quilvane
