#pragma once

#include "core/platform/Status.h"

#include <cstdint>
#include <optional>
#include <string>

namespace korvane {

class SettingsProfile;

// The newest list time (seconds since 1970, from the list's signature) accepted from each list
// address, kept in the settings profile so that no later run takes an older list from there.
// An address is known by a digest of it without its user information: the profile holds no
// password and no address in clear.
class AcceptedLists
{
public:
    explicit AcceptedLists(const SettingsProfile& profile) : m_profile(profile) {}

    std::optional<std::int64_t> NewestFrom(const std::string& url) const;
    // Keeps time as the newest accepted from url, unless a newer one is kept already.
    korvane::Status Accept(const std::string& url, std::int64_t time) const;

private:
    static std::string EntryName(const std::string& url);

    const SettingsProfile& m_profile;
};

} // namespace korvane
