#include "progress/ResultFile.h"

#include <cerrno>
#include <cstring>
#include <limits>
#include <unistd.h>

#include "platform/MbString.h"
#include "progress/DirectoryScan.h"

namespace tessaline {

namespace {

constexpr std::string_view ResultFileName = "result.txt";

// The C locale's isspace: blank, tab, LF, VT, FF, CR. Double-byte characters never contain these
// bytes, so a byte-wise scan splits code-page-932 text correctly.
bool IsBlank(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

void SkipBlanks(std::string_view text, std::size_t& pos)
{
    while (pos < text.size() && IsBlank(text[pos])) {
        ++pos;
    }
}

std::optional<std::string> ReadWord(std::string_view text, std::size_t& pos)
{
    SkipBlanks(text, pos);
    const std::size_t start = pos;
    while (pos < text.size() && !IsBlank(text[pos])) {
        ++pos;
    }
    if (pos == start || pos - start > MaxResultFieldBytes) {
        return std::nullopt;
    }
    return std::string(text.substr(start, pos - start));
}

std::optional<std::int32_t> ReadInteger(std::string_view text, std::size_t& pos)
{
    SkipBlanks(text, pos);
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::size_t start = pos;
    std::int64_t value = 0;
    constexpr std::int64_t Limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos] - '0');
        if (value > Limit || pos - start >= MaxResultFieldBytes) {
            return std::nullopt;
        }
        ++pos;
    }
    if (pos == start || (!negative && value == Limit)) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

// The project's result file, found case-insensitively when the exact name is missing, since
// registered copies made on a case-insensitive file system may spell it otherwise. A name that
// is there but is not a regular file counts as absent; it is not replaced by another spelling.
OpenedFile OpenResultFile(const Folder& projectFolder)
{
    OpenedFile exact = projectFolder.OpenRegularFile(std::string(ResultFileName));
    if (exact.kind != EntryKind::Missing) {
        return exact;
    }
    const auto entries = projectFolder.List();
    if (!entries) {
        return exact;
    }
    for (const FolderEntry& entry : *entries) {
        if (quilvane::MbsICmp(entry.name, ResultFileName) == 0) {
            return projectFolder.OpenRegularFile(entry.name);
        }
    }
    return exact;
}

} // namespace

std::optional<ResultLine> ParseResultLine(std::string_view line)
{
    std::size_t pos = 0;
    auto user = ReadWord(line, pos);
    if (!user) {
        return std::nullopt;
    }
    auto project = ReadWord(line, pos);
    if (!project) {
        return std::nullopt;
    }
    const auto percentage = ReadInteger(line, pos);
    if (!percentage) {
        return std::nullopt;
    }
    return ResultLine{std::move(*user), std::move(*project), *percentage};
}

std::optional<std::string> ReadFirstLine(int fd)
{
    // One byte more than the line may hold tells whether a CR at the limit belongs to a CR LF.
    char buffer[MaxResultLineBytes + 1];
    std::size_t filled = 0;
    while (filled < sizeof buffer) {
        const ssize_t got = ::read(fd, buffer + filled, sizeof buffer - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        if (got == 0) {
            break;
        }
        const bool lineEnded = std::memchr(buffer + filled, '\n', static_cast<std::size_t>(got)) != nullptr;
        filled += static_cast<std::size_t>(got);
        if (lineEnded) {
            break; // the rest of the file is never looked at
        }
    }
    std::string line;
    for (std::size_t i = 0; i < filled && line.size() < MaxResultLineBytes; ++i) {
        const char c = buffer[i];
        if (c == '\n' || (c == '\r' && i + 1 < filled && buffer[i + 1] == '\n')) {
            break;
        }
        if (c == '\0') {
            break; // the parser of the original stopped at the end of a C string
        }
        line.push_back(c);
    }
    return line;
}

std::optional<ResultFile> ReadResultFile(const Folder& projectFolder)
{
    const OpenedFile file = OpenResultFile(projectFolder);
    if (file.kind != EntryKind::RegularFile) {
        return std::nullopt;
    }
    const auto text = ReadFirstLine(file.fd.Get());
    if (!text) {
        return std::nullopt;
    }
    auto line = ParseResultLine(*text);
    if (!line) {
        return std::nullopt;
    }
    return ResultFile{std::move(*line), file.modified};
}

std::optional<ResultFile> ReadResultFile(const std::string& dir)
{
    const auto folder = Folder::Open(dir);
    return folder ? ReadResultFile(*folder) : std::nullopt;
}

} // namespace tessaline
