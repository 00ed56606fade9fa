#pragma once
// Text forms of moments and spans as the logs and printouts show them.
#include <cstdint>
#include <ctime>
#include <string>

namespace quilvane {

// Local time as "2026/12/07  04:36:20" (two blanks between date and time).
std::string FormatMoment(std::int32_t secondsSince1970);
// A span as "DD HH:MM:SS"; 100 days print with three digits. A span below zero shows as zero and
// one beyond the 32-bit range as its largest value, so damaged or reordered moments never print
// as "-24855 -03:-14:-08".
std::string FormatSpan(std::int64_t seconds);
// The span from `start` to `end`, taken in 64 bits so that the difference cannot wrap.
std::string FormatSpanBetween(std::int32_t start, std::int32_t end);
// The C runtime's ctime() text as the original platform prints it: the day of the month is
// zero-padded ("Mon Dec 07 04:36:20 2026\n"), including the final line feed.
std::string WindowsCtime(std::time_t moment);

} // namespace quilvane
