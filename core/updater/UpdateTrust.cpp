#include "core/updater/UpdateTrust.h"

#include "res/Strings.h"

#include <QDateTime>
#include <QString>

namespace korvane {

namespace {

template <class... Args> korvane::Status Refused(const char* text, const Args&... args)
{
    return korvane::Status::Failure(QString::fromUtf8(text).arg(args...).toStdString());
}

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

// How a refusal names a time: in UTC, so that it reads the same wherever the list was accepted.
QString TimeText(std::int64_t secondsSince1970)
{
    return QDateTime::fromSecsSinceEpoch(secondsSince1970, Qt::UTC)
               .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) +
           QStringLiteral(" UTC");
}

} // namespace

UpdateTrust::UpdateTrust(std::vector<MinisignKey> keys, std::optional<std::int64_t> newestAccepted)
    : m_keys(std::move(keys)), m_newestAccepted(newestAccepted)
{}

korvane::Result<const MinisignSignature*>
UpdateTrust::Verified(const korvane::Result<std::optional<MinisignSignature>>& signature,
                      const std::string& what, const Blake2bDigest::Value& digest) const
{
    if (!signature)
        return Refused(strings::kReasonSignatureUnusable, Q(what), Q(signature.reason()));
    if (!*signature)
        return Refused(strings::kReasonNotSigned, Q(what));
    const MinisignSignature& found = **signature;
    const MinisignKey* key = found.FindKey(m_keys);
    if (!key)
        return Refused(strings::kReasonSignedByAnother, Q(what), Q(found.KeyIdText()));
    if (!found.Verifies(*key, digest))
        return Refused(strings::kReasonSignatureDiffers, Q(what));
    return &found;
}

korvane::Result<ListSignature>
UpdateTrust::CheckList(const korvane::Result<std::optional<MinisignSignature>>& signature,
                       const Blake2bDigest::Value& digest) const
{
    ListSignature said;
    if (!IsPinned()) {
        // Nothing to check against: the player is only told which key the server names.
        if (signature && *signature) {
            said.state = ListSignature::State::Unchecked;
            said.keyId = (*signature)->KeyIdText();
            said.timestamp = (*signature)->Timestamp();
        }
        return said;
    }
    const auto verified = Verified(signature, strings::kTheUpdateList, digest);
    if (!verified)
        return verified.status();
    const MinisignSignature& found = **verified;
    // A list without a time could be served again after a newer one, forever.
    const auto timestamp = found.Timestamp();
    if (!timestamp)
        return Refused(strings::kReasonSignatureNoTime, QString::fromUtf8(strings::kTheUpdateList));
    if (m_newestAccepted && *timestamp < *m_newestAccepted)
        return Refused(strings::kReasonListOlder, TimeText(*m_newestAccepted));
    said.state = ListSignature::State::Verified;
    said.keyId = found.KeyIdText();
    said.timestamp = timestamp;
    return said;
}

korvane::Status
UpdateTrust::CheckFile(const korvane::Result<std::optional<MinisignSignature>>& signature,
                       const std::string& name, const Blake2bDigest::Value& digest) const
{
    if (!IsPinned())
        return korvane::Status::Success();
    const auto verified = Verified(signature, name, digest);
    if (!verified)
        return verified.status();
    // Without this, the signed bytes of one file could be served in place of another's.
    const auto signedAs = (*verified)->FileName();
    if (signedAs != name)
        return Refused(strings::kReasonSignedAsAnother, Q(name), Q(signedAs.value_or("")));
    return korvane::Status::Success();
}

} // namespace korvane
