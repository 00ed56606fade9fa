#include "ui/CHyperlinkLabel.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPalette>

#include "platform/Process.h"

namespace quilvane {

CHyperlinkLabel::CHyperlinkLabel(const QString& text, QWidget* parent, const QString& target)
    : QLabel(text, parent), target_(target.isEmpty() ? text : target)
{
    hoverColour_ = QApplication::palette().color(QPalette::Highlight);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setCursor(Qt::PointingHandCursor);
    setToolTip(target_);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    ApplyColour();
    adjustSize();
    opener_ = [](const QString& t) { return ShellOpen(t.toStdString()).Ok(); };
}

bool CHyperlinkLabel::OpenLink()
{
    return opener_ && opener_(target_);
}

void CHyperlinkLabel::enterEvent(QEnterEvent* event)
{
    QLabel::enterEvent(event);
    hover_ = true;
    ApplyColour();
}

void CHyperlinkLabel::leaveEvent(QEvent* event)
{
    QLabel::leaveEvent(event);
    hover_ = false;
    ApplyColour();
}

void CHyperlinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        OpenLink();
    }
}

void CHyperlinkLabel::ApplyColour()
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, CurrentColour());
    setPalette(p);
    update();
}

} // namespace quilvane
