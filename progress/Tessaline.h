#pragma once
// One run of the progress-report generator over a registration folder.
#include <string>

#include "progress/ProgressPage.h"

namespace tessaline {

// The program's exit codes, its only report: it never prints anything.
inline constexpr int ExitPageWritten = 0;
inline constexpr int ExitFolderUnreadable = 1; // no page is written
inline constexpr int ExitPageUnwritable = 2;   // a previous page stays as it was

// Collects the results registered in `folder` and writes folder/result.htm.
int GenerateProgressReport(const std::string& folder, CalendarDateFn toDate = LocalCalendarDate);

} // namespace tessaline
