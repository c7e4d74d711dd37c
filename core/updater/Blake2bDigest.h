#pragma once

#include <array>
#include <cstdint>
#include <string_view>

struct gcry_md_handle;

namespace korvane {

// The BLAKE2b-512 digest of bytes that arrive piece by piece, as minisign's default (prehashed)
// signatures cover it. From libgcrypt.
class Blake2bDigest
{
public:
    static constexpr std::size_t kBytes = 64;
    using Value = std::array<std::uint8_t, kBytes>;

    Blake2bDigest();
    ~Blake2bDigest();
    Blake2bDigest(const Blake2bDigest&) = delete;
    Blake2bDigest& operator=(const Blake2bDigest&) = delete;

    void Add(std::string_view bytes);
    // The digest of everything added so far.
    Value Finish() const;

    static Value Of(std::string_view bytes);

private:
    gcry_md_handle* m_handle = nullptr;
};

} // namespace korvane
