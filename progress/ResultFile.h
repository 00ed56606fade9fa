#pragma once
// Reading of a registered project's "result.txt": user name, project name and percentage.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "progress/DirectoryScan.h"

namespace tessaline {

// Only this much of the first line is read, as the line reader of the original program kept.
inline constexpr std::size_t MaxResultLineBytes = 255;
// A field longer than this is refused rather than cut, so no name is silently shortened.
inline constexpr std::size_t MaxResultFieldBytes = 255;

struct ResultLine {
    std::string userName;
    std::string projectName;
    std::int32_t percentage = 0;
};

struct ResultFile {
    ResultLine line;
    std::time_t stamp = 0; // modification time of the file
};

// Parses "user project percentage" the way the format "%s %s %d" reads it: blank-separated words,
// then an optional sign and leading digits (so "80%" gives 80). Returns nothing when a field is
// missing, a field is too long or the number does not fit 32 bits.
std::optional<ResultLine> ParseResultLine(std::string_view line);

// The first line of the file, read as text (CR LF counts as a line end), at most
// MaxResultLineBytes bytes including its line end, and cut at a NUL byte. Nothing when the
// file cannot be opened or read.
std::optional<std::string> ReadFirstLine(int fd);

// Reads "result.txt" in the project folder. The name is found case-insensitively, as on the file
// system the program was written for; an exact match is preferred. Nothing when the file is
// absent, is not a regular file (a link, a FIFO, a device), is unreadable or its first line does
// not parse. `error`, when given, receives the errno of a result file that is there but could not
// be opened or read (0 otherwise).
std::optional<ResultFile> ReadResultFile(const Folder& projectFolder, int* error = nullptr);
// The result file `diskName` that a listing of `projectFolder` gave as a regular file, read with
// as few calls as the file allows: open, status, one read, close. `error` as above; an opening
// refused because a link took the name (ELOOP) counts as absent.
std::optional<ResultFile> ReadListedResultFile(const Folder& projectFolder, const std::string& diskName,
                                               int* error = nullptr);
// The same for the project folder at `dir`.
std::optional<ResultFile> ReadResultFile(const std::string& dir);

} // namespace tessaline
