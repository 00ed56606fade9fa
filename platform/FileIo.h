#pragma once
// Whole-file reads, atomic writes and the text-mode line rules shared by every text file.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Status.h"

namespace quilvane {

std::optional<std::string> ReadWholeFile(const std::string& path);

// Writes to a temporary file in the same folder, flushes it to disk and renames it over `path`,
// so a failed or interrupted write leaves the previous file intact.
Status WriteFileAtomically(const std::string& path, std::string_view bytes);

// The names in `folder` (without "." and "..") in byte order, so that results never depend on
// the file system's own order; nullopt when the folder cannot be read.
std::optional<std::vector<std::string>> ListFolder(const std::string& folder);

// Splits text into lines: CR LF, a lone LF and a lone CR each end a line. A last line without
// a line end still counts; an empty text has no lines.
std::vector<std::string> SplitLines(std::string_view text);

// Joins lines, each followed by CR LF, as text-mode writing on the original platform does.
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

} // namespace quilvane
