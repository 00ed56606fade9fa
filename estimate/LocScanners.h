#pragma once
// File images and unit counters of the LOC counter: C# counts statement marks, VB counts lines.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "estimate/LineMatcher.h"

namespace quilvane {

// Counted units of one file, split by whether the line they stand on found a partner.
struct UnitCounts {
    std::int64_t matched = 0;
    std::int64_t unmatched = 0;
};

// What reading in text mode on the original platform delivers: every CR LF becomes LF; a lone
// CR stays.
std::string TextModeBytes(const std::string& raw);

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

// The bytes of one file in a single block from AllocateBulk, always followed by a zero byte, so
// that the scanners find the end without testing the position at every byte.
class ByteBuffer {
public:
    explicit ByteBuffer(std::size_t capacity = 0) : block_(capacity + 1) { block_[0] = '\0'; }
    explicit ByteBuffer(std::string_view bytes);

    char* Data() { return block_.data(); }
    const char* Data() const { return block_.data(); }
    std::size_t Size() const { return size_; }
    std::size_t Capacity() const { return block_.size() - 1; }
    std::string_view View() const { return {block_.data(), size_}; }

    // Sets the size (at most the capacity) and writes the zero byte after it.
    void SetSize(std::size_t size)
    {
        size_ = size;
        block_[size] = '\0';
    }
    // Makes room for at least `capacity` bytes, keeping the content.
    void Grow(std::size_t capacity);

private:
    BulkArray<char> block_;
    std::size_t size_ = 0;
};

// How the bytes handed to an image end their lines.
enum class Newlines {
    Text, // already read in text mode: CR LF has become LF
    Raw,  // as stored: a CR right before an LF is part of the line end, as text mode drops it
};

// Translates raw bytes to text mode in place (see TextModeBytes).
void ToTextMode(ByteBuffer& bytes);

// A C# file: its bytes and one entry per line (n LF bytes make n + 1 entries, the last possibly
// empty). Each entry holds the text-mode bytes that take part in line comparison: up to the LF,
// a 0xFF byte or the end of the data, so a last line without LF equals the same line with one.
// Raw bytes are scanned as they are, a CR before an LF standing for nothing, so a file read
// from disk is never copied. The entries point into the image's own bytes, which is why an
// image cannot be copied. Building an image throws std::bad_alloc when the memory is not there
// and std::length_error for a file of 4 GiB or more.
class CsImage {
public:
    explicit CsImage(std::string textBytes) : CsImage(ByteBuffer(textBytes), Newlines::Text) {}
    CsImage(ByteBuffer bytes, Newlines newlines);
    CsImage(const CsImage&) = delete;
    CsImage& operator=(const CsImage&) = delete;

    const ByteBuffer& Bytes() const { return bytes_; }
    Newlines LineEnds() const { return newlines_; }
    std::size_t LineCount() const { return keys_.size(); }
    const LineTable& LineKeys() const { return keys_; }

private:
    ByteBuffer bytes_;
    Newlines newlines_;
    LineTable keys_;
};

// A VB file as fgets with a 1024-byte buffer reads it in text mode: pieces of at most 1023
// bytes, each keeping its LF when it has one, so an overlong line yields several entries. Whole
// entries are compared, LF included: a last line without LF differs from one with it.
class VbImage {
public:
    static constexpr std::size_t MaxPiece = 1023;

    explicit VbImage(std::string textBytes) : VbImage(ByteBuffer(textBytes), Newlines::Text) {}
    VbImage(ByteBuffer bytes, Newlines newlines);
    VbImage(const VbImage&) = delete;
    VbImage& operator=(const VbImage&) = delete;

    std::size_t LineCount() const { return pieces_.size(); }
    std::string_view Line(std::size_t i) const { return pieces_[i]; }
    const LineTable& LineKeys() const { return pieces_; }

private:
    ByteBuffer bytes_;
    LineTable pieces_;
};

// Counts `;`, `{`, single `:` and single `#` outside literals and comments, each on the line
// its scanner stands on. `flags` holds one entry per line (or is empty: nothing matched).
UnitCounts CountCsStatements(const CsImage& image, const MatchFlags& flags);

// The same over bytes without a line table, all units unmatched.
UnitCounts CountCsStatements(const ByteBuffer& bytes, Newlines newlines);

// Counts the lines that are neither blank nor start with the comment quote after trimming.
UnitCounts CountVbLines(const VbImage& image, const MatchFlags& flags);

// The same over bytes without a line table, all units unmatched.
UnitCounts CountVbLines(ByteBuffer bytes, Newlines newlines);

} // namespace quilvane
