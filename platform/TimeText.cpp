#include "platform/TimeText.h"

#include <cstdio>

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

std::string FormatSpan(std::int32_t seconds)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2d %.2d:%.2d:%.2d", seconds / 86400, (seconds / 3600) % 24,
                  (seconds / 60) % 60, seconds % 60);
    return buffer;
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
