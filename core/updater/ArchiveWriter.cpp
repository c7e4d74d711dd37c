#include "core/updater/ArchiveWriter.h"

#include "res/Strings.h"

#include <limits>
#include <utility>

namespace korvane {

namespace {

constexpr std::uint16_t kLongCount = 0xFFFF;
constexpr std::uint8_t kWordLength = 0xFF;
constexpr std::uint16_t kLongestWordLength = 0xFFFD; // 0xFFFE would announce UTF-16 text

} // namespace

std::optional<std::uint32_t> ArchiveWriter::Dword(std::size_t value)
{
    if (value > std::numeric_limits<std::uint32_t>::max()) {
        Fail(strings::kReasonValueTooLarge);
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(value);
}

void ArchiveWriter::Fail(std::string reason)
{
    if (m_failure.ok())
        m_failure = korvane::Status::Failure(std::move(reason));
}

korvane::Result<std::string> ArchiveWriter::Take()
{
    korvane::Status failure = std::exchange(m_failure, korvane::Status::Success());
    std::string bytes = std::exchange(m_bytes, std::string());
    if (!failure.ok())
        return failure;
    return bytes;
}

void ArchiveWriter::WriteByte(std::uint8_t value)
{
    if (!m_failure.ok())
        return;
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
    const auto dword = Dword(value);
    if (!dword)
        return;
    WriteWord(kLongCount);
    WriteDword(*dword);
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
        const auto dword = Dword(length);
        if (!dword)
            return;
        if (*dword == std::numeric_limits<std::uint32_t>::max()) {
            Fail(strings::kReasonStringTooLongToWrite);
            return;
        }
        WriteByte(kWordLength);
        WriteWord(0xFFFF);
        WriteDword(*dword);
    }
    WriteBytes(text);
}

void ArchiveWriter::WriteBytes(std::string_view bytes)
{
    if (!m_failure.ok())
        return;
    m_bytes.append(bytes);
}

} // namespace korvane
