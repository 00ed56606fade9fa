#pragma once
// Decimal numbers read from texts as the C runtime's atoi reads them, for the counts in settings
// files and the figures read back from list cells.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quilvane {

// Leading blanks and tabs skipped, an optional sign, digits up to the first other character;
// 0 when there are none. Values beyond 32 bits saturate instead of overflowing.
std::int32_t AtoiLike(const std::string& text);

// Digits only, without sign or blanks; nothing when empty or longer than six digits (no count or
// part of a time the programs read is larger).
std::optional<std::int32_t> DigitsOnly(std::string_view text);

} // namespace quilvane
