#pragma once
// Multibyte string comparison of code page 932 as the C runtime of the original platform does
// it: a double-byte character (lead byte 0x81-0x9F or 0xE0-0xFC, then a trail byte) is one unit
// whose value is lead * 256 + trail, so it sorts after every single-byte character.
#include <cstddef>
#include <string>
#include <string_view>

namespace quilvane {

bool IsCp932LeadByte(unsigned char byte);

// Length in bytes (1 or 2) of the character that starts at `pos`; a lead byte at the very end
// counts as a single byte.
size_t Cp932CharLength(std::string_view text, size_t pos);

// Like _mbscmp: negative, 0 or positive.
int MbsCmp(std::string_view a, std::string_view b);
// Like _mbsicmp: the same with ASCII letters and full-width Latin letters folded to lower case.
int MbsICmp(std::string_view a, std::string_view b);

// Ordering functors for std::map and std::sort.
struct MbsLess {
    bool operator()(std::string_view a, std::string_view b) const { return MbsCmp(a, b) < 0; }
};
struct MbsILess {
    bool operator()(std::string_view a, std::string_view b) const { return MbsICmp(a, b) < 0; }
};

// A key whose plain byte order is MbsICmp's order, equal exactly when MbsICmp gives 0: every
// folded unit becomes two bytes, high byte first. Sorting thousands of names by keys made once
// is much cheaper than comparing units afresh at every step.
std::string MbsFoldedKey(std::string_view text);

// Whether a CP932 text holds white space: blanks, tabs, line breaks or the ideographic space.
// A student name becomes the first blank-separated field of result.txt and a folder name, so a
// name with a blank would file the student's projects under someone else.
bool HasWhiteSpace(std::string_view cp932);

// Case-insensitive prefix test with the same folding and units as MbsICmp.
bool MbsIStartsWith(std::string_view text, std::string_view prefix);

} // namespace quilvane
