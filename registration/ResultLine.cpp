#include "registration/ResultLine.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quilvane {
namespace {

// The bytes the original reads of the first line.
constexpr std::size_t LineLimit = 255;

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The next blank-delimited word from `pos`, as "%s" takes it.
std::string NextWord(const std::string& line, std::size_t& pos)
{
    while (pos < line.size() && IsBlank(line[pos])) {
        ++pos;
    }
    std::size_t start = pos;
    while (pos < line.size() && !IsBlank(line[pos])) {
        ++pos;
    }
    return line.substr(start, pos - start);
}

// Up to LineLimit bytes; a FIFO or device named result.txt is neither waited for nor read.
std::optional<std::string> ReadHead(const std::string& path)
{
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return std::nullopt;
    }
    std::string head(LineLimit, '\0');
    std::size_t got = 0;
    while (got < head.size()) {
        ssize_t n = read(fd, head.data() + got, head.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    close(fd);
    head.resize(got);
    return head;
}

} // namespace

std::optional<ResultLine> ParseResultLine(const std::string& text)
{
    std::string line = text.substr(0, std::min(text.size(), LineLimit));
    if (std::size_t end = line.find('\n'); end != std::string::npos) {
        line.resize(end);
    }
    std::size_t pos = 0;
    ResultLine result;
    result.userName = NextWord(line, pos);
    result.projectName = NextWord(line, pos);
    std::string number = NextWord(line, pos);
    if (result.userName.empty() || result.projectName.empty() || number.empty()) {
        return std::nullopt;
    }
    // "%d" takes a sign and the digits after it and stops at anything else.
    const char* begin = number.data();
    const char* end = number.data() + number.size();
    if (*begin == '+' && number.size() > 1 && number[1] != '-') {
        ++begin;
    }
    auto [stop, ec] = std::from_chars(begin, end, result.percent);
    if (ec != std::errc() || stop == begin) {
        return std::nullopt;
    }
    return result;
}

ResultLineCheck CheckResultLine(const std::string& projectFolder, const std::string& userName,
                                const std::string& projectName)
{
    ResultLineCheck check;
    auto head = ReadHead(projectFolder + "/result.txt");
    if (!head) {
        check.state = ResultLineState::Missing;
        return check;
    }
    auto line = ParseResultLine(*head);
    if (!line) {
        check.state = ResultLineState::Malformed;
        return check;
    }
    check.line = *line;
    bool same = line->userName == userName && line->projectName == projectName;
    check.state = same ? ResultLineState::Matches : ResultLineState::OtherNames;
    return check;
}

} // namespace quilvane
