#include "statistics/StatStore.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <new>
#include <vector>

#include "platform/FileIo.h"
#include "platform/ProgramFolder.h"

namespace quilvane {
namespace {

// The file was written in text mode: a line ends at LF and a CR before it is dropped. A lone CR
// inside a line is kept, since a name may in principle hold one.
std::vector<std::string_view> SplitAtLf(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = std::min(text.find('\n', start), text.size());
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// One "%d" conversion from `pos`: blanks, an optional sign, at least one digit. Values beyond
// 32 bits saturate instead of wrapping.
bool ScanInt(std::string_view text, std::size_t& pos, std::int32_t& value)
{
    std::size_t p = pos;
    while (p < text.size() && IsSpace(text[p])) {
        ++p;
    }
    bool negative = false;
    if (p < text.size() && (text[p] == '+' || text[p] == '-')) {
        negative = text[p] == '-';
        ++p;
    }
    if (p >= text.size() || text[p] < '0' || text[p] > '9') {
        return false;
    }
    constexpr std::int64_t Limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    while (p < text.size() && text[p] >= '0' && text[p] <= '9') {
        magnitude = std::min<std::int64_t>(magnitude * 10 + (text[p] - '0'), Limit);
        ++p;
    }
    std::int64_t signedValue = negative ? -magnitude : magnitude;
    signedValue = std::min<std::int64_t>(signedValue, std::numeric_limits<std::int32_t>::max());
    value = static_cast<std::int32_t>(signedValue);
    pos = p;
    return true;
}

// Reads integers in turn into `targets` until one is missing; the rest keep their values.
template <std::size_t N> void ScanInts(std::string_view line, std::int32_t* const (&targets)[N])
{
    std::size_t pos = 0;
    for (std::int32_t* target : targets) {
        if (!ScanInt(line, pos, *target)) {
            return;
        }
    }
}

void AppendInt(std::string& out, std::int32_t value)
{
    out += std::to_string(value);
}

// Names and base names take one line each; an LF inside one would shift every later record
// by a line when the file is read back, so it is written as a blank.
void AppendLine(std::string& out, std::string_view text)
{
    for (char c : text) {
        out += c == '\n' ? ' ' : c;
    }
    out += "\r\n";
}

} // namespace

void ParseStatInfoText(std::string_view text, StatStore& store)
{
    std::vector<std::string_view> lines = SplitAtLf(text);
    auto line = [&lines](std::size_t i) { return i < lines.size() ? lines[i] : std::string_view(); };

    // Line 1 holds the format number 100; it is not checked.
    ScanInts(line(1), {&store.x, &store.y, &store.width, &store.height});

    std::size_t pos = 0;
    std::string_view widths = line(2);
    for (auto& w : store.columnWidths) {
        w = MissingColumnWidth;
        std::int32_t value = 0;
        if (ScanInt(widths, pos, value)) {
            w = value;
        }
    }

    std::int32_t count = 0;
    ScanInts(line(3), {&count});

    store.records.clear();
    std::size_t next = 4;
    for (std::int32_t i = 0; i < count; ++i) {
        // A count larger than the records that follow must not invent empty names.
        if (next >= lines.size()) {
            break;
        }
        StatRecord& r = store.records[std::string(lines[next])];
        r = StatRecord();
        r.baseName = std::string(line(next + 1));
        ScanInts(line(next + 2), {&r.planReuse, &r.planDelete, &r.planNew, &r.planMinutes, &r.actReuse,
                                  &r.actDelete, &r.actNew, &r.actMinutes, &r.bugs});
        next += 3;
    }
}

std::string FormatStatInfoText(const StatStore& store)
{
    std::string out = "100\r\n";
    for (std::int32_t v : {store.x, store.y, store.width, store.height}) {
        AppendInt(out, v);
        out += ' ';
    }
    out.back() = '\r';
    out += '\n';
    // Every width is followed by a blank, the last one too, so line 3 ends in a blank.
    for (std::int32_t w : store.columnWidths) {
        AppendInt(out, w);
        out += ' ';
    }
    out += "\r\n";
    AppendInt(out, static_cast<std::int32_t>(std::min<std::size_t>(
                       store.records.size(), std::numeric_limits<std::int32_t>::max())));
    out += "\r\n";
    for (const auto& [name, r] : store.records) {
        AppendLine(out, name);
        AppendLine(out, r.baseName);
        const std::int32_t numbers[] = {r.planReuse, r.planDelete, r.planNew,    r.planMinutes, r.actReuse,
                                        r.actDelete, r.actNew,     r.actMinutes, r.bugs};
        for (std::int32_t v : numbers) {
            AppendInt(out, v);
            out += ' ';
        }
        out.back() = '\r';
        out += '\n';
    }
    return out;
}

Status LoadStatInfo(StatStore& store)
{
    const std::string path = ProgramPath(StatInfoFile);
    std::string text;
    if (Status read = ReadRegularFile(path, text); !read) {
        return read;
    }
    try {
        ParseStatInfoText(text, store);
    } catch (const std::bad_alloc&) {
        // One row per project is built from the text; a huge file can need more than is left.
        return Status::Failure(path + " を読めません: " + ErrorText(ENOMEM));
    }
    return Status::Success();
}

Status SaveStatInfo(const StatStore& store)
{
    return WriteFileAtomically(ProgramPath(StatInfoFile), FormatStatInfoText(store));
}

} // namespace quilvane
