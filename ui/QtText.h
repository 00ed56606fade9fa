#pragma once
// The one place where data-model text (CP932 bytes) meets the screen (QString).
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

} // namespace quilvane
