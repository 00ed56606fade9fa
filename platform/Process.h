#pragma once
// Starting other programs: always with an argument vector, never through a shell command line
// built from user data.
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "platform/Status.h"

namespace quilvane {

// Runs `argv` in `workingDirectory` (empty: the current one) and waits for it. Returns its exit
// code, or nullopt when it could not be started or did not exit normally.
[[nodiscard]] std::optional<int> RunAndWait(const std::vector<std::string>& argv,
                                            const std::string& workingDirectory = "");

// Starts `argv` in `workingDirectory` without waiting (a background thread reaps it when it
// ends). Fails with the reason when it could not start.
[[nodiscard]] Status StartDetached(const std::vector<std::string>& argv,
                                   const std::string& workingDirectory = "");

// Starts `argv` like StartDetached, then watches it for `grace`: a program that ends within it
// with a failure (a non-zero exit, or killed by a signal) counts as not started. Launchers such
// as xdg-open report a missing file or handler only through their exit, and do so at once; one
// still running after `grace` is taken to be doing its work. Fails with the reason.
[[nodiscard]] Status StartWatched(const std::vector<std::string>& argv, std::chrono::milliseconds grace,
                                  const std::string& workingDirectory = "");

// How long ShellOpen waits for the desktop's handler to refuse a target.
inline constexpr std::chrono::milliseconds ShellOpenGrace{1500};

// Opens a file or address with the desktop's handler (xdg-open). Fails with the reason when
// there is no handler program or it refused the target (see StartWatched); it is not waited for
// otherwise.
[[nodiscard]] Status ShellOpen(const std::string& target, std::chrono::milliseconds grace = ShellOpenGrace);

// The full path of `program` found on PATH, or nullopt.
std::optional<std::string> FindOnPath(const std::string& program);

} // namespace quilvane
