#pragma once
// Reading a stored text back from the field that shows it.
#include <QString>
#include <string>

#include "ui/QtText.h"

namespace quilvane {

// The CP932 text of a field that was filled with `stored`: `stored` itself while the field
// still shows it, so that bytes without an exact Unicode form (an undecodable byte, a NEC/IBM
// duplicate) survive an edit dialog confirmed unchanged; otherwise the typed text.
inline std::string FieldText(const QString& shown, const std::string& stored)
{
    return shown == ToQ(stored) ? stored : FromQ(shown);
}

} // namespace quilvane
