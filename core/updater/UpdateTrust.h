#pragma once

#include "core/platform/Status.h"
#include "core/updater/Blake2bDigest.h"
#include "core/updater/ListSignature.h"
#include "core/updater/MinisignKey.h"
#include "core/updater/MinisignSignature.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// What the player trusts an update server with: the keys pinned for it, and the newest list time
// already accepted from the list's address. With no key pinned nothing is checked; with one, a
// list or a file is used only when one of the keys signed exactly its bytes, and a list only when
// it is no older than the newest accepted, so that nobody can serve an old list again.
class UpdateTrust
{
public:
    UpdateTrust() = default;
    UpdateTrust(std::vector<MinisignKey> keys, std::optional<std::int64_t> newestAccepted);

    bool IsPinned() const { return !m_keys.empty(); }
    const std::vector<MinisignKey>& Keys() const { return m_keys; }

    // What the list's signature says of the list whose bytes have this digest. signature is
    // what fetching it gave: nothing when the server has none, a failure when it could not be
    // fetched or read. With a key pinned, fails with the reason the list is refused.
    korvane::Result<ListSignature>
    CheckList(const korvane::Result<std::optional<MinisignSignature>>& signature,
              const Blake2bDigest::Value& digest) const;
    // Success when no key is pinned, or when the file's signature verifies against a pinned key
    // and its trusted comment names the file (name, UTF-8, as the list gives it).
    korvane::Status CheckFile(const korvane::Result<std::optional<MinisignSignature>>& signature,
                              const std::string& name, const Blake2bDigest::Value& digest) const;

private:
    // The signature that one of the keys made of these bytes, or why there is none.
    korvane::Result<const MinisignSignature*>
    Verified(const korvane::Result<std::optional<MinisignSignature>>& signature,
             const std::string& what, const Blake2bDigest::Value& digest) const;

    std::vector<MinisignKey> m_keys;
    std::optional<std::int64_t> m_newestAccepted;
};

} // namespace korvane
