#include "estimate/LocScanners.h"

#include <algorithm>
#include <array>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace quilvane {
namespace {

constexpr unsigned char EndMark = 0xFF;

bool HighBit(unsigned char c)
{
    return (c & 0x80) != 0;
}

// What a byte means to the scanner in code, in a literal and in a block comment. Ordinary bytes
// are 0, so that runs of them are passed over in a tight loop. The zero byte is marked because
// one follows the data: where it stands inside the data it is ordinary.
enum Role : unsigned char {
    Ordinary = 0,
    LineEnd,
    Mark,       // ; {
    DoubleMark, // : #  (a pair of them is no mark)
    Backslash,
    Quote, // " '
    Slash,
    EndOfData, // 0xFF
    Zero,
    Star,
};

using RoleTable = std::array<unsigned char, 256>;

constexpr RoleTable CodeRoles()
{
    RoleTable t{};
    t['\n'] = LineEnd;
    t[';'] = Mark;
    t['{'] = Mark;
    t[':'] = DoubleMark;
    t['#'] = DoubleMark;
    t['\\'] = Backslash;
    t['"'] = Quote;
    t['\''] = Quote;
    t['/'] = Slash;
    t[EndMark] = EndOfData;
    t[0] = Zero;
    return t;
}

constexpr RoleTable LiteralRoles()
{
    RoleTable t{};
    t['\n'] = LineEnd;
    t['\\'] = Backslash;
    t['"'] = Quote;
    t['\''] = Quote;
    t[EndMark] = EndOfData;
    t[0] = Zero;
    return t;
}

constexpr RoleTable CommentRoles()
{
    RoleTable t{};
    t['\n'] = LineEnd;
    t['*'] = Star;
    t[0] = Zero;
    return t;
}

constexpr RoleTable CodeRole = CodeRoles();
constexpr RoleTable LiteralRole = LiteralRoles();
constexpr RoleTable CommentRole = CommentRoles();

// Walks C# bytes. The rules are those of the original counter, quirks included: it knows no
// verbatim strings, and it tests only a backslash for being the second byte of a double-byte
// character (by the high bit of the byte before it). Over raw bytes a CR before an LF changes
// nothing but one case, an escaped line end in a literal, which takes the CR LF pair.
class CsScanner {
public:
    CsScanner(const ByteBuffer& bytes, Newlines newlines, const MatchFlags& flags)
        : data_(reinterpret_cast<const unsigned char*>(bytes.Data())), size_(bytes.Size()),
          raw_(newlines == Newlines::Raw), flags_(flags)
    {
    }

    // Aligned, so that the speed of its tight loops does not depend on where unrelated code
    // changes place it (a loop across a 32-byte boundary ran half as fast).
    [[gnu::aligned(64)]] UnitCounts Run()
    {
        for (;;) {
            unsigned char role;
            while ((role = CodeRole[data_[pos_]]) == Ordinary) {
                ++pos_;
            }
            switch (role) {
            case Zero:
                if (pos_ >= size_) {
                    return counts_;
                }
                ++pos_;
                break;
            case EndOfData:
                return counts_;
            case Backslash:
                if (pos_ > 0 && HighBit(data_[pos_ - 1])) {
                    ++pos_;
                } else if (++pos_ < size_) {
                    // The escaped byte never opens a literal or a comment.
                    Plain();
                } else {
                    return counts_;
                }
                break;
            case Quote:
                Literal(data_[pos_]);
                break;
            case Slash:
                if (data_[pos_ + 1] == '/') {
                    LineComment();
                } else if (data_[pos_ + 1] == '*') {
                    BlockComment();
                } else {
                    ++pos_; // the following byte is looked at on its own
                }
                break;
            default:
                Plain();
                break;
            }
        }
    }

private:
    void Count()
    {
        if (line_ < flags_.size() && flags_[line_] == 1) {
            ++counts_.matched;
        } else {
            ++counts_.unmatched;
        }
    }

    // One byte outside literals and comments, at pos_ (before the end).
    void Plain()
    {
        unsigned char c = data_[pos_];
        if (c == '\n') {
            ++line_;
        } else if (c == ';' || c == '{') {
            Count();
        } else if (c == ':' || c == '#') {
            if (data_[pos_ + 1] == c) {
                ++pos_; // "::" and "##" pass over both bytes
            } else {
                Count();
            }
        }
        ++pos_;
    }

    void Literal(unsigned char quote)
    {
        ++pos_;
        for (;;) {
            unsigned char role;
            while ((role = LiteralRole[data_[pos_]]) == Ordinary) {
                ++pos_;
            }
            unsigned char c = data_[pos_];
            if (role == Zero && pos_ >= size_) {
                return;
            }
            ++pos_;
            if (c == quote || role == EndOfData) {
                return;
            }
            if (role == LineEnd) {
                ++line_;
                return;
            }
            if (role == Backslash && !HighBit(data_[pos_ - 2]) && pos_ < size_) {
                unsigned char escaped = data_[pos_++];
                if (escaped == '\n') {
                    ++line_; // an escaped line end continues the literal
                } else if (raw_ && escaped == '\r' && pos_ < size_ && data_[pos_] == '\n') {
                    ++pos_;
                    ++line_;
                }
            }
        }
    }

    void LineComment()
    {
        pos_ += 2;
        const void* lf = std::memchr(data_ + pos_, '\n', size_ - pos_);
        if (lf == nullptr) {
            pos_ = size_;
            return;
        }
        pos_ = static_cast<std::size_t>(static_cast<const unsigned char*>(lf) - data_) + 1;
        ++line_;
    }

    void BlockComment()
    {
        pos_ += 2;
        for (;;) {
            unsigned char role;
            while ((role = CommentRole[data_[pos_]]) == Ordinary) {
                ++pos_;
            }
            if (role == Zero) {
                if (pos_ >= size_) {
                    return;
                }
            } else if (role == Star) {
                if (data_[pos_ + 1] == '/') {
                    pos_ += 2;
                    return;
                }
            } else {
                ++line_;
            }
            ++pos_;
        }
    }

    const unsigned char* data_; // followed by a zero byte
    std::size_t size_;
    bool raw_;
    const MatchFlags& flags_;
    std::size_t pos_ = 0;
    std::size_t line_ = 0;
    UnitCounts counts_;
};

bool IsVbWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::size_t CountLineEnds(std::string_view data)
{
    std::size_t count = 0;
    std::size_t i = 0;
#ifdef __SSE2__
    // Sixteen bytes at a time: each LF adds one to its byte lane (a compare yields -1, which is
    // subtracted), and the lanes are summed before any of them can overflow.
    const __m128i lf = _mm_set1_epi8('\n');
    while (data.size() - i >= 16) {
        __m128i lanes = _mm_setzero_si128();
        for (int round = 0; round < 255 && data.size() - i >= 16; ++round, i += 16) {
            __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data.data() + i));
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(block, lf));
        }
        __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
        count += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
                 static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
    }
#endif
    return count + static_cast<std::size_t>(
                       std::count(data.begin() + static_cast<std::ptrdiff_t>(i), data.end(), '\n'));
}

} // namespace

std::string TextModeBytes(const std::string& raw)
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

ByteBuffer::ByteBuffer(std::string_view bytes) : ByteBuffer(bytes.size())
{
    std::memcpy(Data(), bytes.data(), bytes.size());
    SetSize(bytes.size());
}

void ByteBuffer::Grow(std::size_t capacity)
{
    if (capacity <= Capacity()) {
        return;
    }
    BulkArray<char> block(capacity + 1);
    std::memcpy(block.data(), block_.data(), size_ + 1);
    block_ = std::move(block);
}

void ToTextMode(ByteBuffer& bytes)
{
    char* data = bytes.Data();
    std::size_t size = bytes.Size();
    const void* cr = std::memchr(data, '\r', size);
    if (cr == nullptr) {
        return;
    }
    std::size_t out = static_cast<std::size_t>(static_cast<const char*>(cr) - data);
    for (std::size_t in = out; in < size;) {
        char c = data[in++];
        if (c != '\r' || in == size || data[in] != '\n') {
            data[out++] = c;
        }
    }
    bytes.SetSize(out);
}

CsImage::CsImage(ByteBuffer bytes, Newlines newlines)
    : bytes_(std::move(bytes)), newlines_(newlines), keys_(bytes_.Data(), bytes_.Size())
{
    const char* start = bytes_.Data();
    const char* end = start + bytes_.Size();
    // Reserved up front: growing by doubling would touch twice the memory for a large file.
    keys_.reserve(CountLineEnds(bytes_.View()) + 1);
    // The next 0xFF byte at or after `start`, looked for again only once a line has passed it.
    auto nextEndMark = [end](const char* from) {
        const void* mark = std::memchr(from, EndMark, static_cast<std::size_t>(end - from));
        return mark == nullptr ? end : static_cast<const char*>(mark);
    };
    const char* mark = nextEndMark(start);
    for (;;) {
        const void* found = std::memchr(start, '\n', static_cast<std::size_t>(end - start));
        const char* lf = found == nullptr ? end : static_cast<const char*>(found);
        const char* keyEnd = lf;
        if (newlines_ == Newlines::Raw && found != nullptr && lf > start && lf[-1] == '\r') {
            --keyEnd;
        }
        keyEnd = std::min(keyEnd, mark);
        keys_.Add(start, static_cast<std::size_t>(keyEnd - start));
        if (found == nullptr) {
            break;
        }
        start = lf + 1;
        if (mark < start) {
            mark = nextEndMark(start);
        }
    }
}

namespace {

// Calls `take` with each piece of text-mode VB bytes, in order.
template <class Take> void ForEachVbPiece(std::string_view data, Take take)
{
    std::size_t start = 0;
    while (start < data.size()) {
        std::string_view piece = data.substr(start, VbImage::MaxPiece);
        std::size_t lf = piece.find('\n');
        if (lf != std::string_view::npos) {
            piece = piece.substr(0, lf + 1);
        }
        take(piece);
        start += piece.size();
    }
}

// A piece that is neither blank nor starts with the comment quote after trimming.
bool IsVbCodeLine(std::string_view line)
{
    std::size_t first = 0;
    while (first < line.size() && IsVbWhiteSpace(line[first])) {
        ++first;
    }
    return first < line.size() && line[first] != '\'';
}

} // namespace

VbImage::VbImage(ByteBuffer bytes, Newlines newlines)
    : bytes_(std::move(bytes)), pieces_(bytes_.Data(), bytes_.Size())
{
    if (newlines == Newlines::Raw) {
        ToTextMode(bytes_);
    }
    std::string_view data = bytes_.View();
    pieces_.reserve(CountLineEnds(data) + 1);
    ForEachVbPiece(data, [this](std::string_view piece) { pieces_.Add(piece.data(), piece.size()); });
}

UnitCounts CountCsStatements(const CsImage& image, const MatchFlags& flags)
{
    return CsScanner(image.Bytes(), image.LineEnds(), flags).Run();
}

UnitCounts CountCsStatements(const ByteBuffer& bytes, Newlines newlines)
{
    const MatchFlags none;
    return CsScanner(bytes, newlines, none).Run();
}

UnitCounts CountVbLines(ByteBuffer bytes, Newlines newlines)
{
    if (newlines == Newlines::Raw) {
        ToTextMode(bytes);
    }
    UnitCounts counts;
    ForEachVbPiece(bytes.View(),
                   [&counts](std::string_view piece) { counts.unmatched += IsVbCodeLine(piece) ? 1 : 0; });
    return counts;
}

UnitCounts CountVbLines(const VbImage& image, const MatchFlags& flags)
{
    UnitCounts counts;
    for (std::size_t i = 0; i < image.LineCount(); ++i) {
        if (!IsVbCodeLine(image.Line(i))) {
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
