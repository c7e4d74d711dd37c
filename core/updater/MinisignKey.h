#pragma once

#include "core/platform/Status.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// A minisign public key: the base64 line of a .pub file ("RW..."), which holds the algorithm
// ("Ed"), the key's 8-byte ID and its 32-byte Ed25519 key.
class MinisignKey
{
public:
    static constexpr std::size_t kIdBytes = 8;
    static constexpr std::size_t kKeyBytes = 32;
    using Id = std::array<std::uint8_t, kIdBytes>;

    // Fails, saying what is wrong, for anything but one key's base64 line.
    static korvane::Result<MinisignKey> FromBase64(std::string_view line);
    // The keys of a profile value: base64 lines separated by blanks; none for an empty text.
    // Fails naming the first that is no key.
    static korvane::Result<std::vector<MinisignKey>> ListFrom(std::string_view text);

    const Id& KeyId() const { return m_id; }
    // The ID as minisign prints it: upper-case hex without leading zeros.
    std::string IdText() const { return IdText(m_id); }
    static std::string IdText(const Id& id);
    const std::array<std::uint8_t, kKeyBytes>& PublicKey() const { return m_key; }

private:
    MinisignKey() = default;

    Id m_id{};
    std::array<std::uint8_t, kKeyBytes> m_key{};
};

} // namespace korvane
