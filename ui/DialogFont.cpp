#include "ui/DialogFont.h"

#include <QApplication>
#include <QFont>

namespace quilvane {

void InstallDialogFont(QApplication& app)
{
    const QString face = QString::fromUtf8(DialogFaceName);
    QFont::insertSubstitutions(face, {QStringLiteral("IPAPGothic"), QStringLiteral("IPA P Gothic"),
                                      QStringLiteral("Noto Sans CJK JP"), QStringLiteral("IPAGothic")});
    QFont font(face, 9);
    app.setFont(font);
}

} // namespace quilvane
