#pragma once
// The HTML text of "result.htm": one row per user, one column per project.
#include <ctime>
#include <string>
#include <string_view>

#include "progress/ProgressTables.h"
#include "progress/RegistrationListing.h"

namespace tessaline {

// Converts a file stamp to the calendar date shown in a cell; false when it cannot. Injected so
// that the page can be checked independently of the machine's time zone.
using CalendarDateFn = bool (*)(std::time_t stamp, std::tm& date);

// The local calendar date, as the registration folder's users see it.
bool LocalCalendarDate(std::time_t stamp, std::tm& date);

// Builds the page with LF line ends. The links of each cell are the regular files
// R/user/project/project.* of the registration folder R as `listing` read it (folders found
// ignoring case, links not followed, files listed in name order). Names stay code-page-932 text
// in the page; the folders on disk bear the same names in the system's encoding.
std::string BuildProgressPage(const ProgressTables& tables, const RegistrationListing& listing,
                              CalendarDateFn toDate);

// Writes every LF as CR LF, as the page was always written in text mode.
std::string ToCrLf(std::string_view text);

// A name as one step of a link's path: escaped as quilvane::EscapeHtml does, and '%', '#', '?', '\' and
// control characters written as percent escapes, since a browser would otherwise take them for
// an escape, the start of a fragment or of a query, a separator between folders, or drop them,
// and miss the file or reach another. Double-byte characters are kept whole, so a trail byte
// 0x5C stays part of its character; the browser encodes code-page-932 text itself.
std::string EscapeLinkPath(std::string_view name);

} // namespace tessaline
