#pragma once
// Starting other programs: always with an argument vector, never through a shell command line
// built from user data.
#include <optional>
#include <string>
#include <vector>

namespace quilvane {

// Runs `argv` in `workingDirectory` (empty: the current one) and waits for it. Returns its exit
// code, or nullopt when it could not be started or did not exit normally.
std::optional<int> RunAndWait(const std::vector<std::string>& argv, const std::string& workingDirectory = "");

// Starts `argv` in `workingDirectory` without waiting (a background thread reaps it when it
// ends). Returns false when it could not start.
bool StartDetached(const std::vector<std::string>& argv, const std::string& workingDirectory = "");

// Opens a file or address with the desktop's handler (xdg-open), without waiting.
bool ShellOpen(const std::string& target);

// The full path of `program` found on PATH, or nullopt.
std::optional<std::string> FindOnPath(const std::string& program);

} // namespace quilvane
