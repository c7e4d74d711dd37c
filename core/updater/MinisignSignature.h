#pragma once

#include "core/platform/Status.h"
#include "core/updater/Blake2bDigest.h"
#include "core/updater/MinisignKey.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// A signature file as minisign writes it (FILE.minisig): an untrusted comment, the signature of
// the file's BLAKE2b-512 digest (minisign's default, "prehashed"), a trusted comment and the
// global signature over the first signature and the trusted comment. The trusted comment of
// `minisign -S` reads "timestamp:SECONDS<tab>file:NAME<tab>hashed".
class MinisignSignature
{
public:
    // The longest signature file read: a few hundred bytes are usual, the rest is a comment.
    static constexpr std::size_t kMostBytes = 64 * 1024;

    // Fails, saying why, for anything but a signature file in minisign's default form; a
    // signature in its legacy form (of the whole file rather than of its digest) is refused.
    static korvane::Result<MinisignSignature> Parse(std::string_view text);

    const MinisignKey::Id& KeyId() const { return m_keyId; }
    std::string KeyIdText() const { return MinisignKey::IdText(m_keyId); }
    // The trusted comment's text, after "trusted comment: ".
    const std::string& TrustedComment() const { return m_trustedComment; }
    // The trusted comment's "timestamp:" field, when it has a valid one.
    std::optional<std::int64_t> Timestamp() const;
    // The trusted comment's "file:" field, when it has one.
    std::optional<std::string> FileName() const;

    // The key among keys whose ID this signature names; null when there is none.
    const MinisignKey* FindKey(const std::vector<MinisignKey>& keys) const;
    // True when key made both the signature of the content with this digest and the global
    // signature over the trusted comment.
    bool Verifies(const MinisignKey& key, const Blake2bDigest::Value& digest) const;

private:
    MinisignSignature() = default;
    std::optional<std::string> Field(std::string_view name) const;

    MinisignKey::Id m_keyId{};
    std::array<std::uint8_t, 64> m_signature{};
    std::string m_trustedComment;
    std::array<std::uint8_t, 64> m_globalSignature{};
};

} // namespace korvane
