#pragma once
// The one place where data-model text (CP932 bytes) meets the screen (QString).
#include <QByteArray>
#include <QFile>
#include <QString>
#include <string>

#include "platform/Cp932.h"

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

// A path on disk (in the system's encoding, not CP932) for the screen.
inline QString DiskPathText(const std::string& diskPath)
{
    return QFile::decodeName(QByteArray::fromStdString(diskPath));
}

} // namespace quilvane
