#include "ui/ControlLayout.h"

#include <QWidget>
#include <string>

#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace quilvane {

void ControlLayout::Register(QWidget* control, int horizontal, int vertical)
{
    auto [it, added] = anchors_.try_emplace(control);
    it->second.horizontal = horizontal;
    it->second.vertical = vertical;
}

void ControlLayout::RecordMargins()
{
    for (auto& [control, anchor] : anchors_) {
        QWidget* parent = control->parentWidget();
        if (parent == nullptr) {
            continue;
        }
        // Client coordinates: the distance of the control's far edges from the parent's.
        QRect r = control->geometry();
        anchor.rightMargin = parent->width() - (r.x() + r.width());
        anchor.bottomMargin = parent->height() - (r.y() + r.height());
    }
}

void ControlLayout::Relayout()
{
    QWidget* lastParent = nullptr;
    for (auto& [control, anchor] : anchors_) {
        QWidget* parent = control->parentWidget();
        if (parent == nullptr || anchor.rightMargin < 0) {
            continue;
        }
        lastParent = parent;
        QRect r = control->geometry();
        if (anchor.horizontal != Keep) {
            int right = parent->width() - anchor.rightMargin;
            int left = anchor.horizontal == Move ? right - r.width() : r.x();
            r.setX(left);
            r.setWidth(std::max(0, right - left));
        }
        if (anchor.vertical != Keep) {
            int bottom = parent->height() - anchor.bottomMargin;
            int top = anchor.vertical == Move ? bottom - r.height() : r.y();
            r.setY(top);
            r.setHeight(std::max(0, bottom - top));
        }
        control->setGeometry(r);
    }
    if (lastParent != nullptr) {
        lastParent->update();
    }
}

void ControlLayout::OnSize(QWidget* dialog)
{
    if (dialog != nullptr && dialog->isMinimized()) {
        return;
    }
    Relayout();
}

int ChooseFolder(QWidget* owner, const char* title, std::string& path)
{
    auto chosen = CurrentPrompt().ChooseFolder(owner, title ? QString::fromUtf8(title) : QString(), ToQ(path));
    if (!chosen) {
        return 1;
    }
    path = FromQ(*chosen);
    return 0;
}

} // namespace quilvane
