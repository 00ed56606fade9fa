#pragma once
// The exercise result line a project carries in "result.txt": user name, project name and a
// percentage, blank-separated on the first line. The progress page takes its row and column
// from these fields, so registration checks them against the names it files the copy under.
#include <cstdint>
#include <optional>
#include <string>

namespace quilvane {

struct ResultLine {
    std::string userName;    // stored (CP932) bytes, as written in the file
    std::string projectName; // stored bytes
    std::int32_t percent = 0;
};

// The first line (at most 255 bytes) of `text` read as "%s %s %d"; nothing when a field is
// missing or the number does not fit.
std::optional<ResultLine> ParseResultLine(const std::string& text);

enum class ResultLineState {
    Matches,    // names the user and project it is registered under
    Missing,    // no result.txt (or not a regular file): the page gets no cell
    Malformed,  // the first line lacks a field: the page gets no cell
    OtherNames, // names another user or project: the cell lands elsewhere
};

struct ResultLineCheck {
    ResultLineState state = ResultLineState::Missing;
    ResultLine line; // what the file says, unless Missing or Malformed
};

// Reads `projectFolder`/result.txt (a disk path) without following it into anything but a
// regular file, and compares its names with `userName` and `projectName` byte for byte.
ResultLineCheck CheckResultLine(const std::string& projectFolder, const std::string& userName,
                                const std::string& projectName);

} // namespace quilvane
