#pragma once
// The commands of quilvane-cli. Each takes the words after its name and returns the exit code:
// 0 success, 1 a file could not be read or written, 2 wrong usage.
#include <optional>
#include <string>
#include <vector>

namespace quilvane::cli {

using Args = std::vector<std::string>;

inline constexpr int ExitOk = 0;
inline constexpr int ExitFailure = 1;
inline constexpr int ExitUsage = 2;
// `check` found something to look at: neither a success nor a failure of the tool.
inline constexpr int ExitFindings = 3;

// Takes every "OPTION VALUE" pair out of `args`; the last value wins. False when the option
// ends the line without its value.
bool TakeOption(Args& args, const std::string& option, std::string& value);
// Takes every `flag` out of `args`; whether there was one.
bool TakeFlag(Args& args, const std::string& flag);
// Writes "quilvane-cli: MESSAGE" on standard error.
void Report(const std::string& message);
// A folder named on the command line, without its trailing '/', as stored text; nothing, with
// the reason reported, when CP932 cannot hold the name.
std::optional<std::string> StoredFolderArgument(std::string& diskName);
// Makes `folder`, or the working directory when it is empty, the program folder.
bool UseProgramFolder(std::string folder);

int RunShow(const Args& args);
int RunPack(const Args& args);
int RunLoc(const Args& args);
int RunStats(const Args& args);
int RunEstimate(const Args& args);
// Defects of the scanned projects by type and by injected and removal phase; --json for one object.
int RunDefects(const Args& args);
// Yield, A/FR, defects/KLOC and the other PSP measures per finished project and to date.
int RunQuality(const Args& args);
int RunRegister(const Args& args);
// The class report over a registration folder: per exercise, per student, class-wide.
int RunClass(const Args& args);
// The data check of one project; ExitFindings when it found anything.
int RunCheck(const Args& args);
// Creates a project as the new-project dialog's OK does.
int RunNew(const Args& args);
// Only in builds with the GUI libraries (QUILVANE_HAVE_PRINT): printing draws with Qt, so
// RunPrint starts the separate print program, which runs RunPrintDocument.
int RunPrint(const Args& args);
int RunPrintDocument(const Args& args);
inline constexpr const char* PrintUsage =
    "print [--quality] FILE OUT.pdf  PSP 様式と時間・バグ記録 (--quality で品質の指標も) を PDF に印刷します";

} // namespace quilvane::cli
