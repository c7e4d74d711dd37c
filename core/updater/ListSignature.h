#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace korvane {

// What the update list's signature said when the list was downloaded: shown by the updater
// window and by korvane-cli, so that a player can compare the key with the one the server's
// operator publishes.
struct ListSignature
{
    enum class State
    {
        Unsigned,  // the server offers no signature of the list
        Unchecked, // it offers one, but no key is pinned to check it against
        Verified,  // it verifies against a pinned key
    };

    State state = State::Unsigned;
    // The signing key's ID as minisign prints it (upper-case hex); empty when unsigned.
    std::string keyId;
    // The signature's trusted time (seconds since 1970), when it carries one.
    std::optional<std::int64_t> timestamp;
};

} // namespace korvane
