#pragma once
// Qt's own dialogs (file and folder choosers, print and print preview, the buttons of message
// boxes) speak the language of the installed translator, not of the rest of the interface.
// The workbench is Japanese throughout, so it loads Qt's Japanese catalogue whatever the
// system locale says.
#include <QString>
#include <memory>

class QTranslator;

namespace quilvane {

// The folders searched for Qt's catalogue, first match wins: Qt's own translations folder,
// then the distribution's usual places.
QStringList QtTranslationFolders();

// Loads "qtbase_ja" and installs it into the application; the returned translator keeps it
// installed until it is destroyed. Nothing when no catalogue was found (the dialogs then stay
// in Qt's English, which is all that can be done).
std::unique_ptr<QTranslator> InstallQtJapanese();

} // namespace quilvane
