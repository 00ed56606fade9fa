#pragma once
// Standard output as a script relies on it: a result that did not arrive is a failure. Both
// programs of the tool (quilvane-cli and quilvane-print) start and end through these.

namespace quilvane::cli {

// Call first in main. A write into a closed pipe becomes an error the command sees (EPIPE)
// instead of a silent death by SIGPIPE, and a standard stream that was closed at the start keeps
// its number taken: otherwise the next file opened would receive what was meant for the
// terminal. The stand-in is /dev/null opened read-only, so every write to it still fails.
void GuardStandardStreams();

// Flushes standard output and checks that everything written reached it. A command that
// succeeded but whose output failed (a full disk, a closed stream, a reader that went away)
// exits 1 with one line on standard error; other exit codes are kept.
[[nodiscard]] int FinishOutput(int exitCode);

} // namespace quilvane::cli
