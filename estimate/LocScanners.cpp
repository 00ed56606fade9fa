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
    std::string text;
    text.reserve(raw.size());
    TextModeDecoder decoder;
    decoder.Append(text, raw);
    decoder.Finish(text);
    return text;
}

void TextModeDecoder::Append(std::string& out, std::string_view chunk)
{
    if (chunk.empty()) {
        return;
    }
    if (pendingCr_ && chunk.front() != '\n') {
        out += '\r';
    }
    pendingCr_ = false;
    while (!chunk.empty()) {
        std::size_t cr = chunk.find('\r');
        if (cr == std::string_view::npos) {
            out.append(chunk);
            return;
        }
        out.append(chunk.substr(0, cr));
        if (cr + 1 == chunk.size()) {
            pendingCr_ = true;
            return;
        }
        if (chunk[cr + 1] != '\n') {
            out += '\r';
        }
        chunk.remove_prefix(cr + 1);
    }
}

void TextModeDecoder::Finish(std::string& out)
{
    if (pendingCr_) {
        out += '\r';
    }
    pendingCr_ = false;
}

CsImage::CsImage(std::string bytes) : bytes_(std::move(bytes))
{
    std::string_view data(bytes_);
    // Reserved up front: growing by doubling would touch twice the memory for a large file.
    keys_.reserve(static_cast<std::size_t>(std::count(data.begin(), data.end(), '\n')) + 1);
    std::size_t start = 0;
    for (;;) {
        std::size_t lf = data.find('\n', start);
        std::string_view line = data.substr(start, lf == std::string_view::npos ? lf : lf - start);
        keys_.push_back(line.substr(0, line.find(static_cast<char>(EndMark))));
        if (lf == std::string_view::npos) {
            break;
        }
        start = lf + 1;
    }
}

VbImage::VbImage(std::string bytes) : bytes_(std::move(bytes))
{
    std::string_view data(bytes_);
    pieces_.reserve(static_cast<std::size_t>(std::count(data.begin(), data.end(), '\n')) + 1);
    std::size_t start = 0;
    while (start < data.size()) {
        std::string_view piece = data.substr(start, MaxPiece);
        std::size_t lf = piece.find('\n');
        if (lf != std::string_view::npos) {
            piece = piece.substr(0, lf + 1);
        }
        pieces_.push_back(piece);
        start += piece.size();
    }
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
