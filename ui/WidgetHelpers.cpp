#include "ui/WidgetHelpers.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

namespace quilvane {

QPushButton* MakeButton(QWidget* parent, int id, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::number(id));
    button->setAutoDefault(false);
    return button;
}

QPushButton* MakeButton(QWidget* parent, int id, const char* utf8Text)
{
    return MakeButton(parent, id, QString::fromUtf8(utf8Text));
}

QPushButton* MakeButton(QWidget* parent, int id, const QString& text, const QRect& where)
{
    QPushButton* button = MakeButton(parent, id, text);
    button->setGeometry(where);
    return button;
}

QLineEdit* MakeEdit(QWidget* parent, int id, bool readOnly)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::number(id));
    edit->setReadOnly(readOnly);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

ScopedWaitCursor::ScopedWaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

ScopedWaitCursor::~ScopedWaitCursor()
{
    QApplication::restoreOverrideCursor();
}

} // namespace quilvane
