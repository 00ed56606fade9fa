#pragma once
// File images and unit counters of the LOC counter: C# counts statement marks, VB counts lines.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "estimate/LineMatcher.h"

namespace quilvane {

// Counted units of one file, split by whether the line they stand on found a partner.
struct UnitCounts {
    std::int64_t matched = 0;
    std::int64_t unmatched = 0;
};

// What reading in text mode on the original platform delivers: every CR LF becomes LF; a lone
// CR stays.
std::string TextModeBytes(std::string raw);

// The same for text that arrives in chunks: a CR at the end of a chunk is held back until the
// next chunk shows whether an LF follows it.
class TextModeDecoder {
public:
    void Append(std::string& out, std::string_view chunk);
    // Gives back a CR still held at the end of the text.
    void Finish(std::string& out);

private:
    bool pendingCr_ = false;
};

// A C# file: its text-mode bytes and one entry per line (n LF bytes make n + 1 entries, the
// last possibly empty). Each entry holds the bytes that take part in line comparison: up to the
// LF, a 0xFF byte or the end of the data, so a last line without LF equals the same line with one.
// The entries point into the image's own bytes, so an image is never copied or moved.
class CsImage {
public:
    explicit CsImage(std::string bytes);
    CsImage(const CsImage&) = delete;
    CsImage& operator=(const CsImage&) = delete;

    const std::string& Bytes() const { return bytes_; }
    std::size_t LineCount() const { return keys_.size(); }
    const std::vector<std::string_view>& LineKeys() const { return keys_; }

private:
    std::string bytes_;
    std::vector<std::string_view> keys_;
};

// A VB file as fgets with a 1024-byte buffer reads it: pieces of at most 1023 bytes, each
// keeping its LF when it has one, so an overlong line yields several entries. Whole entries
// are compared, LF included: a last line without LF differs from one with it.
class VbImage {
public:
    static constexpr std::size_t MaxPiece = 1023;

    explicit VbImage(std::string bytes);
    VbImage(const VbImage&) = delete;
    VbImage& operator=(const VbImage&) = delete;

    std::size_t LineCount() const { return pieces_.size(); }
    std::string_view Line(std::size_t i) const { return pieces_[i]; }
    const std::vector<std::string_view>& LineKeys() const { return pieces_; }

private:
    std::string bytes_;
    std::vector<std::string_view> pieces_;
};

// Counts `;`, `{`, single `:` and single `#` outside literals and comments, each on the line
// its scanner stands on. `flags` holds one entry per line (or is empty: nothing matched).
UnitCounts CountCsStatements(const CsImage& image, const MatchFlags& flags);

// Counts the lines that are neither blank nor start with the comment quote after trimming.
UnitCounts CountVbLines(const VbImage& image, const MatchFlags& flags);

} // namespace quilvane
