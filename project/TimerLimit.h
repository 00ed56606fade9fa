#pragma once
// The forgotten-timer limit: a phase that ran longer is questioned before its whole span goes into
// the time log, and a logged interval longer than it is one to check. The limit is kept in whole
// minutes on the first line of "init/timerLimit.txt" (CR LF text); a missing or unreadable file,
// or anything but a positive whole number, means the default of three hours.
#include <cstdint>
#include <string_view>

namespace quilvane {

inline const char* const TimerLimitFile = "init/timerLimit.txt";
inline constexpr std::int32_t DefaultTimerLimitMinutes = 180;

std::int32_t ParseTimerLimit(std::string_view text);
// The limit of the program folder's settings.
std::int32_t LoadTimerLimit();

} // namespace quilvane
