#include "core/updater/ArchiveWriter.h"

#include <limits>
#include <stdexcept>

namespace {

constexpr std::uint16_t kLongCount = 0xFFFF;
constexpr std::uint8_t kWordLength = 0xFF;
constexpr std::uint16_t kLongestWordLength = 0xFFFD; // 0xFFFE would announce UTF-16 text

std::uint32_t CheckedDword(std::size_t value)
{
    if (value > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("an update list value does not fit 32 bits");
    return static_cast<std::uint32_t>(value);
}

} // namespace

void ArchiveWriter::WriteByte(std::uint8_t value)
{
    m_bytes.push_back(static_cast<char>(value));
}

void ArchiveWriter::WriteWord(std::uint16_t value)
{
    WriteByte(static_cast<std::uint8_t>(value & 0xFF));
    WriteByte(static_cast<std::uint8_t>(value >> 8));
}

void ArchiveWriter::WriteDword(std::uint32_t value)
{
    WriteWord(static_cast<std::uint16_t>(value & 0xFFFF));
    WriteWord(static_cast<std::uint16_t>(value >> 16));
}

void ArchiveWriter::WriteCount(std::size_t value)
{
    if (value < kLongCount) {
        WriteWord(static_cast<std::uint16_t>(value));
        return;
    }
    const std::uint32_t checked = CheckedDword(value);
    WriteWord(kLongCount);
    WriteDword(checked);
}

void ArchiveWriter::WriteString(std::string_view text)
{
    const std::size_t length = text.size();
    if (length < kWordLength) {
        WriteByte(static_cast<std::uint8_t>(length));
    } else if (length <= kLongestWordLength) {
        WriteByte(kWordLength);
        WriteWord(static_cast<std::uint16_t>(length));
    } else {
        const std::uint32_t checked = CheckedDword(length);
        if (checked == std::numeric_limits<std::uint32_t>::max())
            throw std::length_error("an update list string is too long");
        WriteByte(kWordLength);
        WriteWord(0xFFFF);
        WriteDword(checked);
    }
    WriteBytes(text);
}

void ArchiveWriter::WriteBytes(std::string_view bytes)
{
    m_bytes.append(bytes);
}
