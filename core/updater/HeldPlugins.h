#pragma once

#include "core/platform/Path.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

class CUpdateInfo;
class SettingsProfile;

// The plug-ins the player holds at their version: updates leave their files alone. Each is known
// by its key as korvane-cli list prints it (a single-byte Windows key as UTF-8), in the letter
// case the catalogue spells it, and compared without regard to letter case, as plug-in keys are
// everywhere. A key given as a record's bytes or as that text is the same key.
class HeldPlugins
{
public:
    // The keys the profile holds, each once; none when the entry is missing or empty.
    static HeldPlugins Load(const SettingsProfile& profile);
    // Writes the keys into the profile, joined by '\'. False when it could not be written.
    bool Store(const SettingsProfile& profile) const;

    bool IsHeld(std::string_view key) const;
    // Holds a key not held yet. A key that could name no plug-in (empty, with a control character
    // or a '\', which joins the keys in the profile) is passed over.
    void Hold(std::string_view key);
    // True when the key was held.
    bool Release(std::string_view key);
    const std::vector<std::string>& Keys() const { return m_keys; }

    // The held keys whose files the update would replace: files whose place lies below storage\ or
    // plugins\ of the Korvane folder and whose name belongs to the key. Each key once, in the
    // order held; none for an update whose places the installation refuses, which installs
    // nothing.
    std::vector<std::string> ReplacedBy(const CUpdateInfo& update, const Path& korvaneFolder) const;

private:
    std::vector<std::string> m_keys; // UTF-8
};

} // namespace korvane
