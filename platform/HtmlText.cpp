#include "platform/HtmlText.h"

#include <algorithm>

namespace quilvane {

std::string EscapeHtml(std::string_view text, Apostrophe apostrophe)
{
    const bool escapeApostrophe = apostrophe == Apostrophe::Escaped;
    const auto special = [escapeApostrophe](char c) {
        return c == '&' || c == '<' || c == '>' || c == '"' || (escapeApostrophe && c == '\'');
    };
    // Most names need nothing; they are copied whole.
    if (std::none_of(text.begin(), text.end(), special)) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size() + 16);
    for (const char c : text) {
        switch (special(c) ? c : '\0') {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

} // namespace quilvane
