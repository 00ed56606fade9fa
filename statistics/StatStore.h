#pragma once
// The statistics history: one row of plan and actual figures per project, keyed by the project's
// folder name, with the statistics dialog's geometry. A store is a short-lived value that each
// user builds, fills and drops; "init/statInfo.txt" keeps the rows of projects once seen.
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "platform/MbString.h"
#include "platform/Status.h"

namespace quilvane {

struct StatRecord {
    bool present = false; // the project folder was found by the last scan; never stored
    std::string baseName;
    std::int32_t planReuse = 0;
    std::int32_t planDelete = 0;
    std::int32_t planNew = 0;
    std::int32_t planMinutes = 0;
    std::int32_t actReuse = 0;
    std::int32_t actDelete = 0;
    std::int32_t actNew = 0;
    std::int32_t actMinutes = 0;
    std::int32_t bugs = 0;

    bool operator==(const StatRecord&) const = default;
};

// Keys compare as _mbscmp does: case-sensitive, double-byte characters as units.
using StatMap = std::map<std::string, StatRecord, MbsLess>;

inline constexpr std::size_t StatColumnCount = 13;
// A width that line 3 of the file does not give.
inline constexpr std::int32_t MissingColumnWidth = 30;

struct StatStore {
    StatMap records;
    // The dialog's outer rectangle in screen pixels. These defaults apply only while no file
    // exists; they fit the default column widths below.
    std::int32_t x = 40;
    std::int32_t y = 40;
    std::int32_t width = 760;
    std::int32_t height = 420;
    // Mark column, name, base, then the ten number columns.
    std::array<std::int32_t, StatColumnCount> columnWidths{20, 100, 100, 50, 50, 50, 50,
                                                           50, 50,  50,  50, 50, 60};

    bool operator==(const StatStore&) const = default;
};

inline const char* const StatInfoFile = "init/statInfo.txt";

// Fails when the file cannot be opened or read (the store is then untouched).
Status LoadStatInfo(StatStore& store);
// Fails when the file cannot be created. The old file survives a failed write.
Status SaveStatInfo(const StatStore& store);

// The text behind the two file operations. Parsing replaces every record of the store; numbers
// that the text does not hold are 0, except geometry numbers, which keep their values.
void ParseStatInfoText(std::string_view text, StatStore& store);
std::string FormatStatInfoText(const StatStore& store);

} // namespace quilvane
