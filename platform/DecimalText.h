#pragma once
// Decimal numbers read from texts as the C runtime's atoi reads them, for the counts in settings
// files and the figures read back from list cells.
#include <cstdint>
#include <string>

namespace quilvane {

// Leading blanks and tabs skipped, an optional sign, digits up to the first other character;
// 0 when there are none. Values beyond 32 bits saturate instead of overflowing.
std::int32_t AtoiLike(const std::string& text);

} // namespace quilvane
