#pragma once
// The small builders every dialog uses for its controls, and a wait cursor that is always undone.
#include <QRect>
#include <QString>

class QLineEdit;
class QPushButton;
class QWidget;

namespace quilvane {

// A push button named by its control id. It never becomes the default by taking the focus:
// Enter means OK wherever the focus is, as in the original dialogs.
QPushButton* MakeButton(QWidget* parent, int id, const QString& text);
QPushButton* MakeButton(QWidget* parent, int id, const char* utf8Text);
// The same, placed at `where` in design units.
QPushButton* MakeButton(QWidget* parent, int id, const QString& text, const QRect& where);

// A right-aligned edit for a number, named by its control id.
QLineEdit* MakeEdit(QWidget* parent, int id, bool readOnly = false);

// Shows the wait cursor for its lifetime; the cursor comes back however the scope is left.
class ScopedWaitCursor {
public:
    ScopedWaitCursor();
    ~ScopedWaitCursor();
    ScopedWaitCursor(const ScopedWaitCursor&) = delete;
    ScopedWaitCursor& operator=(const ScopedWaitCursor&) = delete;
};

} // namespace quilvane
