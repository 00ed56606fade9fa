#include "estimate/IntegerFields.h"

#include <QLineEdit>

#include "ui/Prompt.h"

namespace quilvane {

bool ParseInteger(const QString& text, std::int32_t& value)
{
    bool ok = false;
    int parsed = text.trimmed().toInt(&ok, 10);
    if (!ok) {
        return false;
    }
    value = parsed;
    return true;
}

bool IntegerFields::Take(QWidget* owner)
{
    for (auto& [edit, value] : fields_) {
        if (!ParseInteger(edit->text(), *value)) {
            CurrentPrompt().Inform(owner, QStringLiteral("整数を入力してください。"));
            edit->setFocus();
            edit->selectAll();
            return false;
        }
    }
    return true;
}

void IntegerFields::Show()
{
    for (auto& [edit, value] : fields_) {
        edit->setText(QString::number(*value));
    }
}

} // namespace quilvane
