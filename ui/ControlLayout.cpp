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

std::optional<std::string> ChooseFolder(QWidget* owner, const char* title, const std::string& start)
{
    // No title is a null text, for which the chooser puts its own; an empty one stays empty.
    auto chosen = CurrentPrompt().ChooseFolder(owner, title ? QString::fromUtf8(title) : QString(),
                                               StoredPathToQ(start));
    if (!chosen) {
        return std::nullopt;
    }
    auto stored = QPathToStored(*chosen);
    if (!stored) {
        CurrentPrompt().Inform(owner, QString::fromStdString(UnstorableNameMessage(chosen->toStdString())));
    }
    return stored;
}

} // namespace quilvane
