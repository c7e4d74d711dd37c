#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Writes the little-endian encodings of the update list: bytes, words, double words, counts
// (a word, or 0xFFFF and a double word) and strings (a length of one, three or seven bytes, then
// the bytes).
class ArchiveWriter
{
public:
    void WriteByte(std::uint8_t value);
    void WriteWord(std::uint16_t value);
    void WriteDword(std::uint32_t value);
    // Throws std::length_error for a value that does not fit a double word.
    void WriteCount(std::size_t value);
    // Throws std::length_error for a string of 4 GiB or more.
    void WriteString(std::string_view text);
    void WriteBytes(std::string_view bytes);

    const std::string& Bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};
