#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace korvane::ed25519 {

// True when signature is publicKey's Ed25519 signature of message. From libgcrypt.
bool Verifies(const std::array<std::uint8_t, 32>& publicKey, std::string_view message,
              const std::array<std::uint8_t, 64>& signature);

} // namespace korvane::ed25519
