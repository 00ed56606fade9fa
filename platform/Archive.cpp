#include "platform/Archive.h"

#include <bit>
#include <cstring>

#include "platform/Cp932.h"

static_assert(std::endian::native == std::endian::little, "the archive code assumes a little-endian host");

namespace quilvane {

void ArchiveWriter::WriteRaw(const void* data, std::size_t size)
{
    bytes_.append(static_cast<const char*>(data), size);
}

void ArchiveWriter::WriteI32(std::int32_t value)
{
    WriteRaw(&value, sizeof value);
}

void ArchiveWriter::WriteF64(double value)
{
    WriteRaw(&value, sizeof value);
}

void ArchiveWriter::WriteString(std::string_view text)
{
    std::size_t n = text.size();
    if (n < 0xFF) {
        auto b = static_cast<std::uint8_t>(n);
        WriteRaw(&b, 1);
    } else if (n < 0xFFFE) {
        std::uint8_t marker = 0xFF;
        auto w = static_cast<std::uint16_t>(n);
        WriteRaw(&marker, 1);
        WriteRaw(&w, 2);
    } else {
        std::uint8_t marker = 0xFF;
        std::uint16_t wide = 0xFFFF;
        auto d = static_cast<std::uint32_t>(n);
        WriteRaw(&marker, 1);
        WriteRaw(&wide, 2);
        WriteRaw(&d, 4);
    }
    WriteRaw(text.data(), n);
}

bool ArchiveReader::Fail(std::string message)
{
    if (error_.empty()) {
        error_ = std::move(message);
    }
    return false;
}

bool ArchiveReader::ReadRaw(void* data, std::size_t size)
{
    if (Remaining() < size) {
        endedEarly_ = true;
        return Fail("ファイルが途中で終わっています (" + std::to_string(pos_) + " バイト目)");
    }
    std::memcpy(data, bytes_.data() + pos_, size);
    pos_ += size;
    return true;
}

bool ArchiveReader::ReadI32(std::int32_t& value)
{
    std::int32_t v = 0;
    if (!ReadRaw(&v, sizeof v)) {
        return false;
    }
    value = v;
    return true;
}

bool ArchiveReader::ReadF64(double& value)
{
    double v = 0;
    if (!ReadRaw(&v, sizeof v)) {
        return false;
    }
    value = v;
    return true;
}

// The prefix 0xFF 0xFFFE announces UTF-16 text and is followed by a prefix of the usual form.
bool ArchiveReader::ReadLength(std::uint32_t& length, bool& utf16)
{
    utf16 = false;
    for (;;) {
        std::uint8_t b = 0;
        if (!ReadRaw(&b, 1)) {
            return false;
        }
        if (b < 0xFF) {
            length = b;
            return true;
        }
        std::uint16_t w = 0;
        if (!ReadRaw(&w, 2)) {
            return false;
        }
        if (w == 0xFFFE) {
            if (utf16) {
                return Fail("文字列の長さの形式が不正です (" + std::to_string(pos_) + " バイト目)");
            }
            utf16 = true;
            continue;
        }
        if (w < 0xFFFF) {
            length = w;
            return true;
        }
        std::uint32_t d = 0;
        if (!ReadRaw(&d, 4)) {
            return false;
        }
        length = d;
        return true;
    }
}

bool ArchiveReader::ReadString(std::string& text)
{
    std::uint32_t length = 0;
    bool utf16 = false;
    std::size_t start = pos_;
    if (!ReadLength(length, utf16)) {
        return false;
    }
    std::uint64_t bytes = utf16 ? std::uint64_t{length} * 2 : length;
    if (bytes > Remaining()) {
        endedEarly_ = true;
        return Fail("文字列の長さ " + std::to_string(length) + " が残りのバイト数を超えています (" +
                    std::to_string(start) + " バイト目)");
    }
    std::string_view raw = bytes_.substr(pos_, static_cast<std::size_t>(bytes));
    pos_ += static_cast<std::size_t>(bytes);
    if (!utf16) {
        text.assign(raw);
        return true;
    }
    auto converted = Utf16LeToCp932(raw);
    if (!converted) {
        return Fail("UTF-16 の文字列を変換できません (" + std::to_string(start) + " バイト目)");
    }
    text = std::move(*converted);
    return true;
}

bool ArchiveReader::ReadCount(std::int32_t& count, std::size_t minItemBytes)
{
    std::size_t start = pos_;
    std::int32_t c = 0;
    if (!ReadI32(c)) {
        return false;
    }
    if (c < 0) {
        return Fail("件数 " + std::to_string(c) + " が負です (" + std::to_string(start) + " バイト目)");
    }
    if (static_cast<std::uint64_t>(c) * minItemBytes > Remaining()) {
        endedEarly_ = true;
        return Fail("件数 " + std::to_string(c) + " が残りのバイト数を超えています (" +
                    std::to_string(start) + " バイト目)");
    }
    count = c;
    return true;
}

} // namespace quilvane
