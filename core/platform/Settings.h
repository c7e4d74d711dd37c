#pragma once

#include "core/platform/Path.h"

#include <cstdint>
#include <QByteArray>
#include <string>
#include <string_view>

namespace korvane {

class SettingsProfile;

// The program's settings, each profile entry with its name and its default in one place. Reads
// and writes go to the profile at once; a write says whether it was stored.
class Settings
{
public:
    explicit Settings(const SettingsProfile& profile) : m_profile(profile) {}

    // The Korvane folder, ending in a separator also when the settings file was edited by hand,
    // the form every folder below it is built on. Empty: not set.
    Path KorvaneFolder() const;
    bool SetKorvaneFolder(const Path& folder) const;
    // The Tribes folder as it was set. Empty: not set.
    Path TribesFolder() const;
    bool SetTribesFolder(const Path& folder) const;

    // Whether storage is refreshed from the copies in use when the Korvane folder is opened.
    bool RefreshPlugins() const;
    bool SetRefreshPlugins(bool refresh) const;

    // Where the update list is fetched, and the keys it must be signed by (minisign public keys
    // separated by blanks; empty: none pinned).
    std::string UpdateUrl() const;
    std::string PublicKeys() const;
    bool SetPublicKeys(std::string_view keys) const;

    // The plug-ins held at their version: their keys joined by '\'. Empty: none.
    std::string HeldKeys() const;
    bool SetHeldKeys(std::string_view joined) const;
    // The newest list time accepted from the list address an entry name stands for (seconds
    // since 1970, as text). Empty: none accepted yet.
    std::string AcceptedListTime(std::string_view entry) const;
    bool SetAcceptedListTime(std::string_view entry, std::int64_t seconds) const;

    // QuickExec: the modification folders joined by '\', whether the game runs as a dedicated
    // server, and what goes after the command line.
    std::string QuickExecMods() const;
    bool SetQuickExecMods(std::string_view joined) const;
    bool QuickExecDedicated() const;
    bool SetQuickExecDedicated(bool dedicated) const;
    std::string QuickExecExtraCommandLine() const;
    bool SetQuickExecExtraCommandLine(std::string_view extra) const;

    // How a Windows tribes.exe runs elsewhere: the command as typed (empty: wine) and the prefix
    // (empty: the one holding Tribes).
    std::string WineCommand() const;
    bool SetWineCommand(std::string_view command) const;
    Path WinePrefix() const;
    bool SetWinePrefix(const Path& prefix) const;

    // The main window's size, position and state as Qt saves them. Empty: none saved.
    QByteArray WindowGeometry() const;
    bool SetWindowGeometry(const QByteArray& geometry) const;

private:
    const SettingsProfile& m_profile;
};

} // namespace korvane
