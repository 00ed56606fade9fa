#include "statistics/StatTable.h"

#include <cstdint>
#include <string_view>

#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/ProgramFolder.h"

namespace quilvane {
namespace {

std::array<std::int32_t, 9> Numbers(const StatRecord& r)
{
    return {r.planReuse, r.planDelete, r.planNew,    r.planMinutes, r.actReuse,
            r.actDelete, r.actNew,     r.actMinutes, r.bugs};
}

void AppendNumbers(std::string& out, const std::array<std::int64_t, 9>& numbers)
{
    for (std::int64_t v : numbers) {
        out += ',';
        out += std::to_string(v);
    }
    out += "\r\n";
}

// One text field of a CSV line. A spreadsheet would run a field starting with =, +, - or @ as a
// formula, and skips a leading TAB or CR to find one, so such a field gets an apostrophe first, which shows
// it as text. A field holding a comma, a quote or a line break is quoted with its quotes doubled. Others stay
// as they are, so plain rows keep their bytes. None of these bytes is ever the trail byte of a CP932
// character.
void AppendField(std::string& out, const std::string& field)
{
    std::string text = field;
    if (!text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos) {
        text.insert(0, 1, '\'');
    }
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') {
            out += '"';
        }
        out += c;
    }
    out += '"';
}

} // namespace

const std::array<const char*, StatColumnCount>& StatColumnHeadingsUtf8()
{
    static const std::array<const char*, StatColumnCount> headings{
        "",       "名前",   "ベース", "再(計)", "削(計)", "新(計)",  "時(計)",
        "再(実)", "削(実)", "新(実)", "計(実)", "時(実)", "バグ(実)"};
    return headings;
}

std::array<std::string, StatColumnCount> StatRowTexts(const std::string& name, const StatRecord& record)
{
    std::array<std::string, StatColumnCount> texts;
    texts[0].assign(record.present ? 0 : 1, '*');
    texts[1] = name;
    texts[2] = record.baseName;
    auto n = Numbers(record);
    // Columns 3..9 are the plan figures and actual reuse, delete, new; then the derived total.
    for (std::size_t i = 0; i < 7; ++i) {
        texts[3 + i] = std::to_string(n[i]);
    }
    // Computed as the original 32-bit int would, without overflowing.
    texts[StatDerivedColumn] = std::to_string(static_cast<std::int32_t>(
        static_cast<std::uint32_t>(record.actNew) + static_cast<std::uint32_t>(record.actReuse)));
    texts[11] = std::to_string(record.actMinutes);
    texts[12] = std::to_string(record.bugs);
    return texts;
}

std::string FormatStatCsv(const StatStore& store)
{
    std::string out;
    const auto& headings = StatColumnHeadingsUtf8();
    for (std::size_t i = 0; i < StatColumnCount; ++i) {
        if (i == StatDerivedColumn) {
            continue;
        }
        if (i != 0) {
            out += ',';
        }
        out += Utf8ToCp932(headings[i]);
    }
    out += "\r\n";

    // Totals in 64 bits: a sum of 32-bit figures must not wrap into a wrong total.
    std::array<std::int64_t, 9> totals{};
    for (const auto& [name, r] : store.records) {
        out += r.present ? "" : "*";
        out += ',';
        AppendField(out, name);
        out += ',';
        AppendField(out, r.baseName);
        auto n = Numbers(r);
        std::array<std::int64_t, 9> row{};
        for (std::size_t i = 0; i < n.size(); ++i) {
            row[i] = n[i];
            totals[i] += n[i];
        }
        AppendNumbers(out, row);
    }
    out += Utf8ToCp932("計");
    out += ",,";
    AppendNumbers(out, totals);
    return out;
}

Status SaveStatCsv(const StatStore& store)
{
    return WriteFileAtomically(ProgramPath(StatCsvFile), FormatStatCsv(store));
}

} // namespace quilvane
