#pragma once
// The HTML text of "result.htm": one row per user, one column per project.
#include <ctime>
#include <string>
#include <string_view>

#include "ProgressTables.h"

namespace tessaline {

// Converts a file stamp to the calendar date shown in a cell; false when it cannot. Injected so
// that the page can be checked independently of the machine's time zone.
using CalendarDateFn = bool (*)(std::time_t stamp, std::tm& date);

// The local calendar date, as the registration folder's users see it.
bool LocalCalendarDate(std::time_t stamp, std::tm& date);

// Builds the page with LF line ends. The links of each cell are the files
// folder/user/project/project.* (found ignoring case, listed in name order).
std::string BuildProgressPage(const ProgressTables& tables, const std::string& folder, CalendarDateFn toDate);

// Writes every LF as CR LF, as the page was always written in text mode.
std::string ToCrLf(std::string_view text);

// Escapes &, <, > and " so that a name cannot break the markup. None of these bytes can be the
// trail byte of a double-byte character, so code-page-932 names stay intact.
std::string EscapeHtml(std::string_view text);

} // namespace tessaline
