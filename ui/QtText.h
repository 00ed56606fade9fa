#pragma once
// The one place where data-model text (CP932 bytes) meets the screen (QString).
#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>
#include <string>

#include "platform/Cp932.h"
#include "platform/PathNames.h"

namespace quilvane {

inline QString ToQ(const std::string& cp932)
{
    return QString::fromStdString(Cp932ToUtf8(cp932));
}

inline std::string FromQ(const QString& text)
{
    return Utf8ToCp932(text.toStdString());
}

// The CP932 text of a field that was filled with `stored`: `stored` itself while the field
// still shows it, so that bytes without an exact Unicode form (an undecodable byte, a NEC/IBM
// duplicate) survive a dialog confirmed unchanged; otherwise the typed text.
inline std::string FieldText(const QString& shown, const std::string& stored)
{
    return shown == ToQ(stored) ? stored : FromQ(shown);
}

// Multi-line texts are stored with CR LF line ends; editors work with LF.
inline QString ToQLines(const std::string& cp932)
{
    return ToQ(cp932).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

inline std::string FromQLines(const QString& text)
{
    QString crlf = text;
    crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return FromQ(crlf);
}

// FieldText for a multi-line editor.
inline std::string FieldLines(const QString& shown, const std::string& stored)
{
    return shown == ToQLines(stored) ? stored : FromQLines(shown);
}

// Paths from Qt (choosers, drops, the command line) and paths on disk. A QString path reaches
// the file system in the system's encoding, and becomes stored text only through
// DiskToStoredName, so a folder chosen as 共有 is stored as the CP932 bytes of 共有.
inline std::string QToDiskPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

inline QString DiskPathToQ(const std::string& disk)
{
    return QFile::decodeName(QByteArray::fromStdString(disk));
}

// Nothing when CP932 cannot hold the path; the caller refuses it with UnstorableNameMessage.
inline std::optional<std::string> QPathToStored(const QString& path)
{
    return DiskToStoredName(path.toStdString());
}

// A stored path for a chooser or an edit field that shows a path: as the disk path it names,
// or the plain decoded text when the bytes are not valid CP932.
inline QString StoredPathToQ(const std::string& stored)
{
    auto disk = StoredToDiskPath(stored);
    return disk ? DiskPathToQ(*disk) : ToQ(stored);
}

} // namespace quilvane
