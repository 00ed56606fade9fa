#pragma once
// One run of the progress-report generator over a registration folder.
#include <string>

#include "progress/ProgressPage.h"

namespace tessaline {

// The program's exit codes. Besides them it reports only what it could not read.
inline constexpr int ExitPageWritten = 0;
inline constexpr int ExitFolderUnreadable = 1; // no page is written
inline constexpr int ExitPageUnwritable = 2;   // a previous page stays as it was

// Receives one line about a folder or result file that could not be read.
using NoteFn = void (*)(const std::string& message);

// Writes the line to standard error, where registration picks it up.
void NoteOnStandardError(const std::string& message);

// Collects the results registered in `folder` and writes folder/result.htm. A folder or result
// file that is there but cannot be read is named through `note`; the page is written all the
// same, without it.
int GenerateProgressReport(const std::string& folder, CalendarDateFn toDate = LocalCalendarDate,
                           NoteFn note = NoteOnStandardError);

} // namespace tessaline
