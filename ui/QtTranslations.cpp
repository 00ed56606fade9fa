#include "ui/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>

namespace quilvane {

QStringList QtTranslationFolders()
{
    QStringList folders{QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                        QStringLiteral("/usr/share/qt6/translations")};
    folders.removeDuplicates();
    return folders;
}

std::unique_ptr<QTranslator> InstallQtJapanese()
{
    auto translator = std::make_unique<QTranslator>();
    for (const QString& folder : QtTranslationFolders()) {
        if (translator->load(QStringLiteral("qtbase_ja"), folder)) {
            QCoreApplication::installTranslator(translator.get());
            return translator;
        }
    }
    return nullptr;
}

} // namespace quilvane
