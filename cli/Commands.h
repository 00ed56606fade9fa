#pragma once
// The commands of quilvane-cli. Each takes the words after its name and returns the exit code:
// 0 success, 1 a file could not be read or written, 2 wrong usage.
#include <string>
#include <vector>

namespace quilvane::cli {

using Args = std::vector<std::string>;

inline constexpr int ExitOk = 0;
inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsage = 2;

int RunShow(const Args& args);
int RunPack(const Args& args);
int RunLoc(const Args& args);
int RunStats(const Args& args);
int RunEstimate(const Args& args);
int RunRegister(const Args& args);
// Only in builds with the GUI libraries (QUILVANE_HAVE_PRINT): printing draws with Qt.
int RunPrint(const Args& args);

} // namespace quilvane::cli
