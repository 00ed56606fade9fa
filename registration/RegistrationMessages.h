#pragma once
// What registration tells the student, in Japanese (UTF-8): shared by the workbench's button and
// the command-line tool, so both report a registration in the same words.
#include <string>
#include <vector>

#include "registration/Registration.h"

namespace quilvane {

// When R is not set (the workbench goes on to offer its settings).
std::string NoRegistrationFolderMessage();

// The message of an outcome that stopped registration; empty for NoRegistrationFolder,
// Cancelled and Copied.
std::string RegistrationStopMessage(const RegistrationResult& result, const RegistrationRequest& request);

// The warning before copying when result.txt names another user or project than the copy is
// filed under (without the question that follows it on the screen).
std::string ResultLineWarning(const ResultLineCheck& check, const RegistrationRequest& request);

// "確認事項が n 件あります": the data check's count, before the question or note that follows it.
std::string FindingsMessage(std::size_t findings);

// After a copy: the entries that could not be copied and what keeps the page from showing the
// project as expected (a missing or malformed result.txt, a generator that is missing, failed or
// is still running). Empty when the page was rebuilt with the project's cell.
std::vector<std::string> RegistrationNotes(const RegistrationResult& result);

// True when a note of RegistrationNotes says that the page was not rebuilt.
bool GeneratorFailed(const RegistrationResult& result);

// The final message of a copy: the target, "にコピーしました", then the notes.
std::string CopiedMessage(const RegistrationResult& result);

} // namespace quilvane
