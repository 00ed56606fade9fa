#include "statistics/QualityCommands.h"

#include <QString>
#include <QWidget>

#include "statistics/CQualityView.h"
#include "ui/CommandContext.h"
#include "ui/ControlIds.h"

namespace quilvane {

void InstallQualityCommands(CommandContext& context)
{
    context.SetCommand(ControlId::QualityButton, [&context] { (void)OnQuality(context); });
    context.SetMenuCommand(CommandId::Quality, [&context] { (void)OnQuality(context); });
}

CQualityView* OnQuality(CommandContext& context)
{
    QWidget* owner = context.Owner();
    if (owner == nullptr) {
        return nullptr;
    }
    // One window per workbench: a second click shows the one already open.
    auto* view = owner->findChild<CQualityView*>(QString::number(ControlId::QualityWindow),
                                                 Qt::FindDirectChildrenOnly);
    if (view == nullptr) {
        view = new CQualityView(context, owner);
    } else {
        view->ReloadHistory();
        view->Refresh();
    }
    view->show();
    view->raise();
    view->activateWindow();
    return view;
}

} // namespace quilvane
