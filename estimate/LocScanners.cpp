#include "estimate/LocScanners.h"

#include <algorithm>

namespace quilvane {
namespace {

constexpr unsigned char EndMark = 0xFF;

bool HighBit(char c)
{
    return (static_cast<unsigned char>(c) & 0x80) != 0;
}

bool IsEndMark(char c)
{
    return static_cast<unsigned char>(c) == EndMark;
}

// Walks a C# image byte by byte. The rules are those of the original counter, quirks included:
// it knows no verbatim strings, and it tests only a backslash for being the second byte of a
// double-byte character (by the high bit of the byte before it).
class CsScanner {
public:
    CsScanner(const CsImage& image, const MatchFlags& flags)
        : data_(image.Bytes()), flags_(flags), lineCount_(image.LineCount())
    {
    }

    UnitCounts Run()
    {
        while (pos_ < data_.size() && !IsEndMark(data_[pos_])) {
            char c = data_[pos_];
            if (c == '\\') {
                if (pos_ > 0 && HighBit(data_[pos_ - 1])) {
                    ++pos_;
                } else if (++pos_ < data_.size()) {
                    // The escaped byte never opens a literal or a comment.
                    Plain();
                }
            } else if (c == '"' || c == '\'') {
                Literal(c);
            } else if (c == '/' && At(pos_ + 1) == '/') {
                LineComment();
            } else if (c == '/' && At(pos_ + 1) == '*') {
                BlockComment();
            } else if (c == '/') {
                ++pos_; // the following byte is looked at on its own
            } else {
                Plain();
            }
        }
        return counts_;
    }

private:
    char At(std::size_t i) const { return i < data_.size() ? data_[i] : '\0'; }

    void Count()
    {
        if (line_ < lineCount_ && line_ < flags_.size() && flags_[line_] == 1) {
            ++counts_.matched;
        } else {
            ++counts_.unmatched;
        }
    }

    // One byte outside literals and comments, at pos_.
    void Plain()
    {
        char c = data_[pos_];
        if (c == '\n') {
            ++line_;
        } else if (c == ';' || c == '{') {
            Count();
        } else if (c == ':' || c == '#') {
            if (At(pos_ + 1) == c) {
                ++pos_; // "::" and "##" pass over both bytes
            } else {
                Count();
            }
        }
        ++pos_;
    }

    void Literal(char quote)
    {
        ++pos_;
        while (pos_ < data_.size()) {
            char c = data_[pos_++];
            if (c == quote || IsEndMark(c)) {
                return;
            }
            if (c == '\n') {
                ++line_;
                return;
            }
            if (c == '\\' && !HighBit(data_[pos_ - 2]) && pos_ < data_.size()) {
                if (data_[pos_++] == '\n') {
                    ++line_; // an escaped line end continues the literal
                }
            }
        }
    }

    void LineComment()
    {
        pos_ += 2;
        while (pos_ < data_.size()) {
            if (data_[pos_++] == '\n') {
                ++line_;
                return;
            }
        }
    }

    void BlockComment()
    {
        pos_ += 2;
        while (pos_ < data_.size()) {
            char c = data_[pos_];
            if (c == '*' && At(pos_ + 1) == '/') {
                pos_ += 2;
                return;
            }
            if (c == '\n') {
                ++line_;
            }
            ++pos_;
        }
    }

    std::string_view data_;
    const MatchFlags& flags_;
    std::size_t lineCount_;
    std::size_t pos_ = 0;
    std::size_t line_ = 0;
    UnitCounts counts_;
};

bool IsVbWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

} // namespace

std::string TextModeBytes(std::string raw)
{
    std::size_t out = 0;
    for (std::size_t in = 0; in < raw.size(); ++in) {
        if (raw[in] == '\r' && in + 1 < raw.size() && raw[in + 1] == '\n') {
            continue;
        }
        raw[out++] = raw[in];
    }
    raw.resize(out);
    return raw;
}

CsImage::CsImage(std::string bytes) : bytes_(std::move(bytes))
{
    lineStarts_.push_back(0);
    for (std::size_t i = 0; i < bytes_.size(); ++i) {
        if (bytes_[i] == '\n') {
            lineStarts_.push_back(i + 1);
        }
    }
}

std::vector<std::string_view> CsImage::LineKeys() const
{
    std::vector<std::string_view> keys;
    keys.reserve(lineStarts_.size());
    std::string_view data(bytes_);
    for (std::size_t i = 0; i < lineStarts_.size(); ++i) {
        std::size_t start = lineStarts_[i];
        std::size_t end = i + 1 < lineStarts_.size() ? lineStarts_[i + 1] - 1 : data.size();
        std::string_view line = data.substr(start, end - start);
        keys.push_back(line.substr(0, line.find(static_cast<char>(EndMark))));
    }
    return keys;
}

VbImage::VbImage(std::string bytes) : bytes_(std::move(bytes))
{
    std::size_t start = 0;
    while (start < bytes_.size()) {
        std::size_t limit = std::min(bytes_.size(), start + MaxPiece);
        std::size_t lf = bytes_.find('\n', start);
        std::size_t end = lf < limit ? lf + 1 : limit;
        pieces_.push_back({start, end - start});
        start = end;
    }
}

std::string_view VbImage::Line(std::size_t i) const
{
    return std::string_view(bytes_).substr(pieces_[i].start, pieces_[i].length);
}

std::vector<std::string_view> VbImage::LineKeys() const
{
    std::vector<std::string_view> keys;
    keys.reserve(pieces_.size());
    for (std::size_t i = 0; i < pieces_.size(); ++i) {
        keys.push_back(Line(i));
    }
    return keys;
}

UnitCounts CountCsStatements(const CsImage& image, const MatchFlags& flags)
{
    return CsScanner(image, flags).Run();
}

UnitCounts CountVbLines(const VbImage& image, const MatchFlags& flags)
{
    UnitCounts counts;
    for (std::size_t i = 0; i < image.LineCount(); ++i) {
        std::string_view line = image.Line(i);
        std::size_t first = 0;
        while (first < line.size() && IsVbWhiteSpace(line[first])) {
            ++first;
        }
        if (first == line.size() || line[first] == '\'') {
            continue;
        }
        if (i < flags.size() && flags[i] == 1) {
            ++counts.matched;
        } else {
            ++counts.unmatched;
        }
    }
    return counts;
}

} // namespace quilvane
