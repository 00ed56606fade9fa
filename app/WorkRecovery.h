#pragma once
// At start-up, the work a crash or kill interrupted: for each journal left beside a project the
// student is asked whether to log the interval that was running and whether to restore the
// unsaved changes; No to both discards them.
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace quilvane {

// The journals to look at: those beside the projects in the program folder, and the one beside
// `projectFile` (a project named on the command line; may be empty).
std::vector<std::string> PendingJournals(const std::string& projectFile);

// Asks about each journal and applies the answers. Returns the project last recovered into
// (something logged or restored), which the start-up then opens; nothing when none was.
std::optional<std::string> RecoverInterruptedWork(QWidget* owner, const std::vector<std::string>& journals);

} // namespace quilvane
