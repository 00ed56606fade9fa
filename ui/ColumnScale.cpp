#include "ui/ColumnScale.h"

#include <cmath>

namespace quilvane {

ColumnScale::ColumnScale(const QFontMetrics& metrics)
{
    const int digit = metrics.horizontalAdvance(QLatin1Char('0'));
    if (digit > 0) {
        factor_ = digit / StoredDigitWidth;
    }
}

int ColumnScale::ToScreen(int stored) const
{
    return stored <= 0 ? stored : static_cast<int>(std::lround(stored * factor_));
}

int ColumnScale::ToStored(int screen) const
{
    return screen <= 0 ? screen : static_cast<int>(std::lround(screen / factor_));
}

QString WidestDigits(const QString& pattern, const QFontMetrics& metrics)
{
    QChar widest = QLatin1Char('0');
    for (char c = '1'; c <= '9'; ++c) {
        if (metrics.horizontalAdvance(QLatin1Char(c)) > metrics.horizontalAdvance(widest)) {
            widest = QLatin1Char(c);
        }
    }
    QString text = pattern;
    text.replace(QLatin1Char('0'), widest);
    return text;
}

} // namespace quilvane
