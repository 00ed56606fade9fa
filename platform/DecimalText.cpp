#include "platform/DecimalText.h"

namespace quilvane {

std::int32_t AtoiLike(const std::string& text)
{
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
        ++pos;
    }
    bool negative = pos < text.size() && text[pos] == '-';
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        ++pos;
    }
    std::int64_t value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9' && value <= INT32_MAX) {
        value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    value = negative ? -value : value;
    return static_cast<std::int32_t>(value < INT32_MIN ? INT32_MIN : value > INT32_MAX ? INT32_MAX : value);
}

std::optional<std::int32_t> DigitsOnly(std::string_view text)
{
    if (text.empty() || text.size() > 6) {
        return std::nullopt;
    }
    std::int32_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace quilvane
