#pragma once

#include "core/platform/Status.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvane {

// Writes the little-endian encodings of the update list: bytes, words, double words, counts
// (a word, or 0xFFFF and a double word) and strings (a length of one, three or seven bytes, then
// the bytes).
//
// A value that its encoding cannot hold (a count beyond a double word, a string of 4 GiB or more)
// spoils the writer: what follows is not written and Take() gives the reason in place of bytes.
class ArchiveWriter
{
public:
    void WriteByte(std::uint8_t value);
    void WriteWord(std::uint16_t value);
    void WriteDword(std::uint32_t value);
    void WriteCount(std::size_t value);
    void WriteString(std::string_view text);
    void WriteBytes(std::string_view bytes);
    // Spoils the writer for a reason of the caller's.
    void Fail(std::string reason);

    // The bytes written, or the reason of the first failure. The writer is empty afterwards.
    korvane::Result<std::string> Take();

private:
    std::optional<std::uint32_t> Dword(std::size_t value);

    std::string m_bytes;
    korvane::Status m_failure = korvane::Status::Success();
};

} // namespace korvane
