#pragma once
// Text put into an HTML page. None of the escaped bytes can be the trail byte of a double-byte
// character, so code-page-932 text stays intact byte for byte, as UTF-8 text does.
#include <string>
#include <string_view>

namespace quilvane {

enum class Apostrophe { Kept, Escaped };

// &, <, > and " as character references, and ' too when asked: with `Escaped` the text is safe
// in content and in attributes quoted either way; with `Kept` in content and in attributes
// quoted with ".
std::string EscapeHtml(std::string_view text, Apostrophe apostrophe = Apostrophe::Kept);

} // namespace quilvane
