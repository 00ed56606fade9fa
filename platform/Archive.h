#pragma once
// The binary archive layout of project files: little-endian i32 and f64, and strings of code
// page 932 bytes after a length prefix of one, three or seven bytes.
//
// The reader trusts nothing it reads: every length and count is checked against the bytes that
// are left before anything is allocated, and the first failure stops the read with a message.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quilvane {

class ArchiveWriter {
public:
    void WriteI32(std::int32_t value);
    void WriteF64(double value);
    void WriteString(std::string_view text);

    const std::string& Bytes() const { return bytes_; }

private:
    void WriteRaw(const void* data, std::size_t size);

    std::string bytes_;
};

class ArchiveReader {
public:
    explicit ArchiveReader(std::string_view bytes) : bytes_(bytes) {}

    // Each returns false on failure; Error() then says what is wrong and the value is untouched.
    [[nodiscard]] bool ReadI32(std::int32_t& value);
    [[nodiscard]] bool ReadF64(double& value);
    [[nodiscard]] bool ReadString(std::string& text);
    // Reads an i32 count of items that take at least `minItemBytes` each; a negative count or
    // one that cannot fit into the bytes left fails.
    [[nodiscard]] bool ReadCount(std::int32_t& count, std::size_t minItemBytes);

    std::size_t Remaining() const { return bytes_.size() - pos_; }
    std::size_t Position() const { return pos_; }
    const std::string& Error() const { return error_; }
    // Whether the failure was a lack of bytes (a short read, a length or count beyond the end):
    // a reader given only the start of a file then knows that more of it may complete the read.
    bool EndedEarly() const { return endedEarly_; }

private:
    bool Fail(std::string message);
    bool ReadRaw(void* data, std::size_t size);
    bool ReadLength(std::uint32_t& length, bool& utf16);

    std::string_view bytes_;
    std::size_t pos_ = 0;
    std::string error_;
    bool endedEarly_ = false;
};

} // namespace quilvane
