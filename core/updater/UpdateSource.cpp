#include "core/updater/UpdateSource.h"

#include "core/platform/Settings.h"
#include "core/platform/SettingsProfile.h"
#include "core/updater/AcceptedLists.h"
#include "core/updater/MinisignKey.h"
#include "core/updater/UpdateTrust.h"
#include "res/Strings.h"

#include <QString>

namespace korvane {

UpdateSource::UpdateSource(const SettingsProfile& profile, std::optional<std::string> url,
                           std::optional<std::string> keys)
    : m_profile(profile), m_url(url ? std::move(*url) : Settings(profile).UpdateUrl()),
      m_keys(keys ? std::move(*keys) : Settings(profile).PublicKeys())
{}

korvane::Status UpdateSource::Download(CUpdateList& updates,
                                       const CUpdateList::ListProgress& progress) const
{
    using Failure = CUpdateList::DownloadFailure;
    updates.RemoveAll();
    auto keys = MinisignKey::ListFrom(m_keys);
    if (!keys)
        return korvane::Status::Failure(Failure::Refused,
                                        QString::fromUtf8(strings::kReasonPinnedKeyUnusable)
                                            .arg(QString::fromStdString(keys.reason()))
                                            .toStdString());
    const AcceptedLists accepted(m_profile);
    const UpdateTrust trust(std::move(keys).value(), accepted.NewestFrom(m_url));
    if (korvane::Status downloaded = updates.DownloadList(m_url, trust, progress); !downloaded)
        return downloaded;
    const ListSignature& said = updates.Signature();
    if (said.state != ListSignature::State::Verified)
        return korvane::Status::Success();
    if (korvane::Status kept = accepted.Accept(m_url, *said.timestamp); !kept) {
        updates.RemoveAll();
        return korvane::Status::Failure(Failure::Refused, kept.reason());
    }
    return korvane::Status::Success();
}

} // namespace korvane
