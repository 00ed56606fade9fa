#pragma once
// The HTML text of "result.htm": one row per user, one column per project.
#include <ctime>
#include <string>
#include <string_view>

#include "progress/DirectoryScan.h"
#include "progress/ProgressTables.h"

namespace tessaline {

// Converts a file stamp to the calendar date shown in a cell; false when it cannot. Injected so
// that the page can be checked independently of the machine's time zone.
using CalendarDateFn = bool (*)(std::time_t stamp, std::tm& date);

// The local calendar date, as the registration folder's users see it.
bool LocalCalendarDate(std::time_t stamp, std::tm& date);

// Builds the page with LF line ends. The links of each cell are the regular files
// R/user/project/project.* of the registration folder R (folders found ignoring case, links
// not followed, files listed in name order). Names stay code-page-932 text in the page; the
// folders on disk bear the same names in the system's encoding.
std::string BuildProgressPage(const ProgressTables& tables, const Folder& registrationFolder,
                              CalendarDateFn toDate);

// Writes every LF as CR LF, as the page was always written in text mode.
std::string ToCrLf(std::string_view text);

// Escapes &, <, > and " so that a name cannot break the markup. None of these bytes can be the
// trail byte of a double-byte character, so code-page-932 names stay intact.
std::string EscapeHtml(std::string_view text);

// A name as one step of a link's path: escaped as EscapeHtml does, and '%', '#' and '?' written
// as percent escapes, since a browser would otherwise take them for an escape, the start of a
// fragment or of a query, and miss the file. No trail byte of a double-byte character is one of
// these bytes; everything else stays code-page-932 text, which the browser encodes itself.
std::string EscapeLinkPath(std::string_view name);

} // namespace tessaline
