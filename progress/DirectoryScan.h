#pragma once
// Directory listing and name matching that behave the same on every file system.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaline {

// The names in `dir` without "." and "..", sorted in plain byte order so that the page never
// depends on the order a file system happens to return. Nothing when the directory cannot be
// opened or a read of it fails.
std::optional<std::vector<std::string>> ListDirectory(const std::string& dir);

// `dir` + "/" + `name`; an empty dir or "." gives `name` alone.
std::string JoinPath(const std::string& dir, const std::string& name);

// Case-insensitive comparison for code-page-932 names: ASCII letters fold, while both bytes of a
// double-byte character compare exactly (a trail byte may look like an ASCII letter).
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);

// The entry of `entries` (sorted) called `name`, ignoring case as the original file system did;
// an exact match wins, otherwise the first match in name order.
std::optional<std::string> FindIgnoringCase(const std::vector<std::string>& entries, std::string_view name);

bool IsDirectory(const std::string& path);

} // namespace tessaline
