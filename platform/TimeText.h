#pragma once
// Text forms of moments and spans as the logs and printouts show them.
#include <cstdint>
#include <ctime>
#include <string>

namespace quilvane {

// Local time as "2026/12/07  04:36:20" (two blanks between date and time).
std::string FormatMoment(std::int32_t secondsSince1970);
// A span as "DD HH:MM:SS" with C integer division; 100 days print with three digits.
std::string FormatSpan(std::int32_t seconds);
// The C runtime's ctime() text as the original platform prints it: the day of the month is
// zero-padded ("Mon Dec 07 04:36:20 2026\n"), including the final line feed.
std::string WindowsCtime(std::time_t moment);

} // namespace quilvane
