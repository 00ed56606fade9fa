#include "platform/MbString.h"

namespace quilvane {
namespace {

// Reads the unit at `pos` and advances past it.
unsigned NextUnit(std::string_view s, size_t& pos)
{
    auto lead = static_cast<unsigned char>(s[pos]);
    if (IsCp932LeadByte(lead) && pos + 1 < s.size()) {
        auto trail = static_cast<unsigned char>(s[pos + 1]);
        pos += 2;
        return (static_cast<unsigned>(lead) << 8) | trail;
    }
    pos += 1;
    return lead;
}

unsigned FoldCase(unsigned unit)
{
    if (unit >= 'A' && unit <= 'Z') {
        return unit + ('a' - 'A');
    }
    // Full-width Ａ-Ｚ (0x8260-0x8279) fold onto ａ-ｚ (0x8281-0x829A).
    if (unit >= 0x8260 && unit <= 0x8279) {
        return unit + 0x21;
    }
    return unit;
}

template <bool Fold> int Compare(std::string_view a, std::string_view b)
{
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        unsigned ua = NextUnit(a, i);
        unsigned ub = NextUnit(b, j);
        if constexpr (Fold) {
            ua = FoldCase(ua);
            ub = FoldCase(ub);
        }
        if (ua != ub) {
            return ua < ub ? -1 : 1;
        }
    }
    if (i < a.size()) {
        return 1;
    }
    if (j < b.size()) {
        return -1;
    }
    return 0;
}

} // namespace

bool IsCp932LeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

size_t Cp932CharLength(std::string_view text, size_t pos)
{
    return IsCp932LeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

int MbsCmp(std::string_view a, std::string_view b)
{
    return Compare<false>(a, b);
}

int MbsICmp(std::string_view a, std::string_view b)
{
    return Compare<true>(a, b);
}

std::string MbsFoldedKey(std::string_view text)
{
    std::string key;
    key.reserve(text.size() * 2);
    for (size_t i = 0; i < text.size();) {
        unsigned unit = FoldCase(NextUnit(text, i));
        key += static_cast<char>(unit >> 8);
        key += static_cast<char>(unit & 0xFF);
    }
    return key;
}

bool MbsIStartsWith(std::string_view text, std::string_view prefix)
{
    size_t i = 0;
    size_t j = 0;
    while (j < prefix.size()) {
        if (i >= text.size()) {
            return false;
        }
        if (FoldCase(NextUnit(text, i)) != FoldCase(NextUnit(prefix, j))) {
            return false;
        }
    }
    return true;
}

bool HasWhiteSpace(std::string_view cp932)
{
    for (std::size_t pos = 0; pos < cp932.size();) {
        std::size_t length = Cp932CharLength(cp932, pos);
        if (length == 1 && std::string_view(" \t\r\n\v\f").find(cp932[pos]) != std::string_view::npos) {
            return true;
        }
        // U+3000, the ideographic space of Japanese input.
        if (length == 2 && cp932.substr(pos, 2) == "\x81\x40") {
            return true;
        }
        pos += length;
    }
    return false;
}

} // namespace quilvane
