#include "platform/Cp932.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

#include "platform/MbString.h"

namespace quilvane {
namespace {

constexpr char32_t RawByteBase = 0xF700;

// One iconv conversion of a whole buffer. Invalid or unconvertible input is replaced by
// `replacement` (already in the target encoding) and conversion goes on with the next unit.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view in,
                                   std::string_view replacement, size_t unitOnError, bool strict)
{
    // Code page 932 and UTF-8 both hold ASCII as it is, and most names are ASCII: opening a
    // converter for each would cost more than everything else done with a name.
    const auto asciiAsItIs = [](std::string_view encoding) {
        return encoding == "CP932" || encoding == "UTF-8";
    };
    if (asciiAsItIs(to) && asciiAsItIs(from) &&
        std::all_of(in.begin(), in.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        return std::string(in);
    }
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(in.size() * 2 + 8);
    char buffer[1024];
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    bool failed = false;
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<size_t>(outPtr - buffer));
        if (rc != static_cast<size_t>(-1)) {
            continue;
        }
        if (errno == E2BIG) {
            continue;
        }
        if (strict) {
            failed = true;
            break;
        }
        out.append(replacement);
        size_t skip = inLeft < unitOnError ? inLeft : unitOnError;
        inPtr += skip;
        inLeft -= skip;
    }
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    iconv_close(cd);
    if (failed) {
        return std::nullopt;
    }
    return out;
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one UTF-8 sequence at `pos`; returns false on malformed input.
bool NextUtf8(std::string_view s, size_t& pos, char32_t& c, size_t& length)
{
    auto b = static_cast<unsigned char>(s[pos]);
    length = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || pos + length > s.size()) {
        return false;
    }
    c = length == 1 ? b : length == 2 ? (b & 0x1F) : length == 3 ? (b & 0x0F) : (b & 0x07);
    for (size_t i = 1; i < length; ++i) {
        auto t = static_cast<unsigned char>(s[pos + i]);
        if ((t & 0xC0) != 0x80) {
            return false;
        }
        c = (c << 6) | (t & 0x3F);
    }
    return true;
}

} // namespace

std::string Cp932ToUtf8(std::string_view cp932)
{
    return Convert("UTF-8", "CP932", cp932, "\xEF\xBF\xBD", 1, false).value_or(std::string(cp932));
}

std::optional<std::string> Cp932ToUtf8Strict(std::string_view cp932)
{
    return Convert("UTF-8", "CP932", cp932, "", 1, true);
}

std::optional<std::string> Utf8ToCp932Strict(std::string_view utf8)
{
    return Convert("CP932", "UTF-8", utf8, "", 1, true);
}

std::string Utf8ToCp932(std::string_view utf8)
{
    std::string out;
    // Walk character by character so one unconvertible character costs exactly one '?'.
    size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t c = 0;
        size_t length = 0;
        if (!NextUtf8(utf8, pos, c, length)) {
            out += '?';
            ++pos;
            continue;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            auto converted = Convert("CP932", "UTF-8", utf8.substr(pos, length), "", 1, true);
            out += converted ? *converted : std::string("?");
        }
        pos += length;
    }
    return out;
}

std::string Cp932ToUtf8Lossless(std::string_view cp932)
{
    // Fast path: most texts survive the round trip whole.
    auto whole = Convert("UTF-8", "CP932", cp932, "", 1, true);
    if (whole) {
        auto back = Convert("CP932", "UTF-8", *whole, "", 1, true);
        if (back && *back == cp932) {
            return *whole;
        }
    }
    std::string out;
    size_t pos = 0;
    while (pos < cp932.size()) {
        size_t length = Cp932CharLength(cp932, pos);
        std::string_view unit = cp932.substr(pos, length);
        auto decoded = Convert("UTF-8", "CP932", unit, "", 1, true);
        std::optional<std::string> again;
        if (decoded && !decoded->empty()) {
            again = Convert("CP932", "UTF-8", *decoded, "", 1, true);
        }
        bool privateRaw = false;
        if (decoded) {
            size_t p = 0;
            char32_t c = 0;
            size_t l = 0;
            privateRaw = NextUtf8(*decoded, p, c, l) && c >= RawByteBase && c < RawByteBase + 0x100;
        }
        if (again && *again == unit && !privateRaw) {
            out += *decoded;
        } else {
            for (char byte : unit) {
                AppendUtf8(out, RawByteBase + static_cast<unsigned char>(byte));
            }
        }
        pos += length;
    }
    return out;
}

std::optional<std::string> Utf8ToCp932Lossless(std::string_view utf8)
{
    std::string out;
    size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t c = 0;
        size_t length = 0;
        if (!NextUtf8(utf8, pos, c, length)) {
            return std::nullopt;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c >= RawByteBase && c < RawByteBase + 0x100) {
            out += static_cast<char>(c - RawByteBase);
        } else {
            auto converted = Convert("CP932", "UTF-8", utf8.substr(pos, length), "", 1, true);
            if (!converted) {
                return std::nullopt;
            }
            out += *converted;
        }
        pos += length;
    }
    return out;
}

std::optional<std::string> Utf16LeToCp932(std::string_view utf16le)
{
    if (utf16le.size() % 2 != 0) {
        return std::nullopt;
    }
    auto utf8 = Convert("UTF-8", "UTF-16LE", utf16le, "\xEF\xBF\xBD", 2, false);
    if (!utf8) {
        return std::nullopt;
    }
    return Utf8ToCp932(*utf8);
}

} // namespace quilvane
