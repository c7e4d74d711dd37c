#pragma once

#include "core/platform/Status.h"
#include "core/updater/CUpdateList.h"

#include <optional>
#include <string>

namespace korvane {

class SettingsProfile;

// Where the updates come from: the list's address and the keys pinned for its server, as the
// settings profile holds them or a command line gives them for one run.
class UpdateSource
{
public:
    // The profile's address and keys, each unless given here.
    explicit UpdateSource(const SettingsProfile& profile, std::optional<std::string> url = {},
                          std::optional<std::string> keys = {});

    const std::string& Url() const { return m_url; }

    // Fetches the list into updates under the pinned keys (CUpdateList::DownloadList), refusing
    // a list older than the newest accepted from the address, and keeps the time of a verified
    // list as the newest accepted. Keys that cannot be read refuse every list, as does a time
    // that cannot be kept (the next run could take an older list).
    korvane::Status Download(CUpdateList& updates,
                             const CUpdateList::ListProgress& progress = {}) const;

private:
    const SettingsProfile& m_profile;
    const std::string m_url;
    const std::string m_keys;
};

} // namespace korvane
