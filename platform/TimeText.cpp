#include "platform/TimeText.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace quilvane {

std::string FormatMoment(std::int32_t secondsSince1970)
{
    std::time_t t = secondsSince1970;
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr) {
        return {};
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%d/%.2d/%.2d  %.2d:%.2d:%.2d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    return buffer;
}

std::string FormatSpan(std::int64_t seconds)
{
    const auto clamped = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(seconds, 0, std::numeric_limits<std::int32_t>::max()));
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2d %.2d:%.2d:%.2d", clamped / 86400, (clamped / 3600) % 24,
                  (clamped / 60) % 60, clamped % 60);
    return buffer;
}

std::string FormatSpanBetween(std::int32_t start, std::int32_t end)
{
    return FormatSpan(std::int64_t{end} - std::int64_t{start});
}

std::string WindowsCtime(std::time_t moment)
{
    static const char* const Days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm local{};
    if (localtime_r(&moment, &local) == nullptr) {
        return {};
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s %s %.2d %.2d:%.2d:%.2d %d\n", Days[local.tm_wday % 7],
                  Months[local.tm_mon % 12], local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  local.tm_year + 1900);
    return buffer;
}

} // namespace quilvane
