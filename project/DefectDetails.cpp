#include "project/DefectDetails.h"

#include <charconv>

#include "platform/MbString.h"

namespace quilvane {
namespace {

// CP932 for the header's words.
constexpr std::string_view HeaderStart = "[PSP";
constexpr std::string_view TypeKey = "\x8E\xED\x95\xCA\x3D";     // 種別=
constexpr std::string_view FixKey = "\x8F\x43\x90\xB3\x3D";      // 修正=
constexpr std::string_view InjectedKey = "\x8D\xAC\x93\xFC\x3D"; // 混入=
constexpr std::string_view MinuteUnit = "\x95\xAA";              // 分
constexpr std::string_view LineBreak = "\r\n";

// Reads a number of at most six digits; nullopt for anything else.
std::optional<std::int32_t> ReadNumber(std::string_view digits)
{
    if (digits.empty() || digits.size() > 6) {
        return std::nullopt;
    }
    std::int32_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size() || value < 0) {
        return std::nullopt;
    }
    return value;
}

// True when the last byte of `line` is a "]" of its own, not the trail byte of a double-byte
// character (CP932 trail bytes include 0x5D).
bool EndsWithBracket(std::string_view line)
{
    std::size_t pos = 0;
    std::size_t last = std::string_view::npos;
    while (pos < line.size()) {
        std::size_t length = Cp932CharLength(line, pos);
        last = length == 1 && line[pos] == ']' ? pos : std::string_view::npos;
        pos += length;
    }
    return last != std::string_view::npos && last + 1 == line.size();
}

// Parses the fields between "[PSP" and the final "]"; nullopt when anything does not fit.
std::optional<DefectDetails> ParseFields(std::string_view fields)
{
    DefectDetails details;
    while (!fields.empty()) {
        // Fields are separated by one or more blanks; the first one follows "[PSP" by a blank.
        if (fields.front() != ' ') {
            return std::nullopt;
        }
        std::size_t start = fields.find_first_not_of(' ');
        if (start == std::string_view::npos) {
            break;
        }
        fields.remove_prefix(start);
        if (fields.substr(0, InjectedKey.size()) == InjectedKey) {
            if (details.injected) {
                return std::nullopt;
            }
            // The phase name runs to the end: it may hold blanks and brackets itself.
            details.injected = std::string(fields.substr(InjectedKey.size()));
            break;
        }
        std::size_t end = fields.find(' ');
        std::string_view field = fields.substr(0, end);
        fields.remove_prefix(field.size());
        if (field.substr(0, TypeKey.size()) == TypeKey) {
            std::optional<std::int32_t> code = ReadNumber(field.substr(TypeKey.size()));
            if (details.type || !code || !DefectTypeLabel(*code)) {
                return std::nullopt;
            }
            details.type = *code;
        } else if (field.substr(0, FixKey.size()) == FixKey) {
            std::string_view value = field.substr(FixKey.size());
            if (value.size() < MinuteUnit.size() ||
                value.substr(value.size() - MinuteUnit.size()) != MinuteUnit) {
                return std::nullopt;
            }
            std::optional<std::int32_t> minutes =
                ReadNumber(value.substr(0, value.size() - MinuteUnit.size()));
            if (details.fixMinutes || !minutes || *minutes > MaxFixMinutes) {
                return std::nullopt;
            }
            details.fixMinutes = *minutes;
        } else {
            return std::nullopt;
        }
    }
    return details;
}

std::string HeaderLine(const DefectDetails& details)
{
    std::string header(HeaderStart);
    if (details.type) {
        header += ' ';
        header += TypeKey;
        header += std::to_string(*details.type);
    }
    if (details.fixMinutes) {
        header += ' ';
        header += FixKey;
        header += std::to_string(*details.fixMinutes);
        header += MinuteUnit;
    }
    if (details.injected) {
        header += ' ';
        header += InjectedKey;
        for (char c : *details.injected) {
            header += c == '\r' || c == '\n' ? ' ' : c;
        }
    }
    header += ']';
    return header;
}

} // namespace

const std::vector<DefectType>& DefectTypeStandard()
{
    static const std::vector<DefectType> types = {
        {10, "\x83\x68\x83\x4C\x83\x85\x83\x81\x83\x93\x83\x67"},                     // ドキュメント
        {20, "\x8D\x5C\x95\xB6"},                                                     // 構文
        {30, "\x83\x72\x83\x8B\x83\x68\x2F\x83\x70\x83\x62\x83\x50\x81\x5B\x83\x57"}, // ビルド/パッケージ
        {40, "\x91\xE3\x93\xFC"},                                                     // 代入
        {50, "\x83\x43\x83\x93\x83\x5E\x81\x5B\x83\x74\x83\x46\x81\x5B\x83\x58"}, // インターフェース
        {60, "\x83\x60\x83\x46\x83\x62\x83\x4E"},                                 // チェック
        {70, "\x83\x66\x81\x5B\x83\x5E"},                                         // データ
        {80, "\x8B\x40\x94\x5C"},                                                 // 機能
        {90, "\x83\x56\x83\x58\x83\x65\x83\x80"},                                 // システム
        {100, "\x8A\xC2\x8B\xAB"},                                                // 環境
    };
    return types;
}

std::optional<std::string> DefectTypeLabel(int code)
{
    for (const DefectType& type : DefectTypeStandard()) {
        if (type.code == code) {
            return std::string(type.label);
        }
    }
    return std::nullopt;
}

std::string DefectTypeText(std::optional<int> code)
{
    if (!code) {
        return {};
    }
    std::string text = std::to_string(*code);
    if (std::optional<std::string> label = DefectTypeLabel(*code)) {
        text += ' ';
        text += *label;
    }
    return text;
}

std::string FixMinutesText(std::optional<std::int32_t> minutes)
{
    return minutes ? std::to_string(*minutes) : std::string();
}

DefectDetails ParseDefectComment(std::string_view stored)
{
    DefectDetails plain;
    plain.comment = std::string(stored);
    if (stored.substr(0, HeaderStart.size()) != HeaderStart) {
        return plain;
    }
    std::size_t lineEnd = stored.find(LineBreak);
    if (lineEnd == std::string_view::npos) {
        return plain;
    }
    std::string_view line = stored.substr(0, lineEnd);
    if (line.find('\n') != std::string_view::npos || line.find('\r') != std::string_view::npos ||
        !EndsWithBracket(line)) {
        return plain;
    }
    std::optional<DefectDetails> details =
        ParseFields(line.substr(HeaderStart.size(), line.size() - HeaderStart.size() - 1));
    // Only the very line we write counts: anything else (other spacing, order or digits) is kept
    // as the student's text, so every stored comment reads back and is written back unchanged.
    if (!details || HeaderLine(*details) != line) {
        return plain;
    }
    details->comment = std::string(stored.substr(lineEnd + LineBreak.size()));
    return *details;
}

std::string ComposeDefectComment(const DefectDetails& details)
{
    const bool known = details.type || details.injected || details.fixMinutes;
    // A plain comment is stored as it stands unless its first line would read as a header.
    if (!known && ParseDefectComment(details.comment) == details) {
        return details.comment;
    }
    return HeaderLine(details) + std::string(LineBreak) + details.comment;
}

} // namespace quilvane
