#pragma once
// Conversions between the data model's code-page-932 bytes and UTF-8 for the screen, JSON and
// the terminal. glibc iconv ("CP932") does the work.
#include <optional>
#include <string>
#include <string_view>

namespace quilvane {

// For display: bytes that do not decode become U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932);
// For input typed by the user: characters without a CP932 form become '?'.
std::string Utf8ToCp932(std::string_view utf8);

// Strict pair: nothing when a byte does not decode, or a character has no CP932 form.
std::optional<std::string> Cp932ToUtf8Strict(std::string_view cp932);
std::optional<std::string> Utf8ToCp932Strict(std::string_view utf8);

// Lossless pair for interchange (JSON): every character that does not survive the round trip
// through Unicode (undecodable bytes, and the NEC/IBM duplicates that map to one code point) is
// carried byte by byte as U+F700 + byte, a private-use range that CP932 itself never produces.
// Utf8ToCp932Lossless(Cp932ToUtf8Lossless(x)) == x for every byte string x.
std::string Cp932ToUtf8Lossless(std::string_view cp932);
std::optional<std::string> Utf8ToCp932Lossless(std::string_view utf8);

// UTF-16LE text (as old archives may hold it) to CP932; characters without a CP932 form
// become '?'. Fails only on an odd byte count.
std::optional<std::string> Utf16LeToCp932(std::string_view utf16le);

} // namespace quilvane
