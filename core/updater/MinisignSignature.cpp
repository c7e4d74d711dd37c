#include "core/updater/MinisignSignature.h"

#include "core/updater/Ed25519.h"
#include "res/Strings.h"

#include <algorithm>
#include <charconv>
#include <QByteArray>

namespace korvane {

namespace {

constexpr std::string_view kUntrustedPrefix = "untrusted comment: ";
constexpr std::string_view kTrustedPrefix = "trusted comment: ";
// "ED": a signature of the content's BLAKE2b-512 digest; "Ed", minisign's legacy form, signs the
// content itself.
constexpr std::string_view kPrehashed = "ED";
constexpr std::string_view kLegacy = "Ed";
constexpr std::size_t kSignatureLineBytes = 2 + MinisignKey::kIdBytes + 64;

// The text's lines, each without its line break (LF or CR LF).
std::vector<std::string_view> Lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

std::optional<QByteArray> Base64(std::string_view line, std::size_t bytes)
{
    const auto decoded = QByteArray::fromBase64Encoding(
        QByteArray(line.data(), qsizetype(line.size())), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.size() != qsizetype(bytes))
        return std::nullopt;
    return decoded.decoded;
}

korvane::Status NotASignature()
{
    return korvane::Status::Failure(strings::kReasonSignatureForm);
}

template <std::size_t N> void CopyTo(std::array<std::uint8_t, N>& to, const char* from)
{
    std::copy_n(reinterpret_cast<const std::uint8_t*>(from), N, to.begin());
}

} // namespace

korvane::Result<MinisignSignature> MinisignSignature::Parse(std::string_view text)
{
    if (text.size() > kMostBytes)
        return korvane::Status::Failure(strings::kReasonSignatureTooLong);
    const std::vector<std::string_view> lines = Lines(text);
    if (lines.size() != 4 || !lines[0].starts_with(kUntrustedPrefix) ||
        !lines[2].starts_with(kTrustedPrefix))
        return NotASignature();
    const auto signature = Base64(lines[1], kSignatureLineBytes);
    const auto global = Base64(lines[3], 64);
    if (!signature || !global)
        return NotASignature();
    const std::string_view algorithm(signature->constData(), 2);
    if (algorithm == kLegacy)
        return korvane::Status::Failure(strings::kReasonSignatureLegacy);
    if (algorithm != kPrehashed)
        return NotASignature();
    MinisignSignature parsed;
    CopyTo(parsed.m_keyId, signature->constData() + 2);
    CopyTo(parsed.m_signature, signature->constData() + 2 + MinisignKey::kIdBytes);
    parsed.m_trustedComment = std::string(lines[2].substr(kTrustedPrefix.size()));
    CopyTo(parsed.m_globalSignature, global->constData());
    return parsed;
}

std::optional<std::string> MinisignSignature::Field(std::string_view name) const
{
    std::string_view rest = m_trustedComment;
    while (true) {
        const size_t tab = rest.find('\t');
        const std::string_view field = rest.substr(0, tab);
        if (field.size() > name.size() && field.starts_with(name) && field[name.size()] == ':')
            return std::string(field.substr(name.size() + 1));
        if (tab == std::string_view::npos)
            return std::nullopt;
        rest.remove_prefix(tab + 1);
    }
}

std::optional<std::int64_t> MinisignSignature::Timestamp() const
{
    const auto field = Field("timestamp");
    if (!field || field->empty())
        return std::nullopt;
    std::int64_t seconds = 0;
    const char* const end = field->data() + field->size();
    const auto [stop, error] = std::from_chars(field->data(), end, seconds);
    if (error != std::errc() || stop != end || seconds < 0)
        return std::nullopt;
    return seconds;
}

std::optional<std::string> MinisignSignature::FileName() const
{
    return Field("file");
}

const MinisignKey* MinisignSignature::FindKey(const std::vector<MinisignKey>& keys) const
{
    const auto found = std::find_if(keys.begin(), keys.end(), [this](const MinisignKey& key) {
        return key.KeyId() == m_keyId;
    });
    return found == keys.end() ? nullptr : &*found;
}

bool MinisignSignature::Verifies(const MinisignKey& key, const Blake2bDigest::Value& digest) const
{
    if (key.KeyId() != m_keyId)
        return false;
    const std::string_view content(reinterpret_cast<const char*>(digest.data()), digest.size());
    if (!ed25519::Verifies(key.PublicKey(), content, m_signature))
        return false;
    // The global signature binds the trusted comment (the time, the file's name) to this one.
    std::string global(reinterpret_cast<const char*>(m_signature.data()), m_signature.size());
    global += m_trustedComment;
    return ed25519::Verifies(key.PublicKey(), global, m_globalSignature);
}

} // namespace korvane
