#pragma once
// The PSP details of a defect (its type from the defect type standard, the phase it was injected
// in and the minutes it took to fix) kept inside the stored comment, so that the project file
// keeps its layout and the original program still reads it: it shows the details as a first
// comment line such as
//
//     [PSP 種別=20 修正=12分 混入=設計]
//
// followed by CR LF and the student's own text. The line starts with "[PSP", ends with "]", and
// holds, each only when known and in this order, 種別=<type>, 修正=<minutes>分 and, last because a
// phase name may hold blanks or brackets, 混入=<phase name up to the final "]">. A comment whose
// first line is not exactly such a line (damaged, or written by hand in another spacing or order)
// is a comment of unknown type kept as it stands, so that every stored comment is written back
// byte for byte. A student's comment whose first line itself reads as a header is written behind
// an empty "[PSP]" line, so it reads back unchanged. All texts are CP932.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "project/SubRecords.h"

namespace quilvane {

// One entry of the PSP defect type standard.
struct DefectType {
    int code;          // 10, 20, ..., 100
    const char* label; // CP932
};

// The ten standard types in ascending order of their codes.
const std::vector<DefectType>& DefectTypeStandard();
// The label of a standard type code, or nullopt for any other number.
std::optional<std::string> DefectTypeLabel(int code);
// "20 構文" for a standard code, the bare number for another one, empty for none (CP932).
std::string DefectTypeText(std::optional<int> code);

// Fix times longer than this many minutes (almost seventy days) are not taken from a header.
inline constexpr std::int32_t MaxFixMinutes = 99999;

struct DefectDetails {
    std::optional<int> type;
    std::optional<std::string> injected;
    std::optional<std::int32_t> fixMinutes;
    std::string comment; // the student's text, lines separated by CR LF

    bool operator==(const DefectDetails&) const = default;
};

// Splits a stored comment into the details of its header line and the student's text. Without
// a well-formed header the details are all unknown and the text is the whole stored comment.
DefectDetails ParseDefectComment(std::string_view stored);

// The stored comment for `details`: the student's text alone when no detail is known and the
// text cannot be taken for a header, otherwise the header line, CR LF and the text. Line breaks
// in the injected phase name become blanks. Only a standard type and minutes from 0 to
// MaxFixMinutes read back; callers accept no others.
std::string ComposeDefectComment(const DefectDetails& details);

// The details of a log entry; shortcuts for ParseDefectComment(entry.comment).
inline DefectDetails DetailsOf(const DefectEntry& entry)
{
    return ParseDefectComment(entry.comment);
}

// "12" for known minutes, empty for unknown.
std::string FixMinutesText(std::optional<std::int32_t> minutes);

} // namespace quilvane
