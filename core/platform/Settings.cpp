#include "core/platform/Settings.h"

#include "core/platform/KPath.h"
#include "core/platform/ProfileEntries.h"
#include "core/platform/SettingsProfile.h"

namespace korvane {

Path Settings::KorvaneFolder() const
{
    std::string stored = m_profile.GetProfileString(profile::kDirectories, profile::kKorvane);
    return Path(stored.empty() ? stored : kpath::WithTrailingSeparator(std::move(stored)));
}

bool Settings::SetKorvaneFolder(const Path& folder) const
{
    return m_profile.WriteProfileString(profile::kDirectories, profile::kKorvane, folder.Stored());
}

Path Settings::TribesFolder() const
{
    return Path(m_profile.GetProfileString(profile::kDirectories, profile::kTribes));
}

bool Settings::SetTribesFolder(const Path& folder) const
{
    return m_profile.WriteProfileString(profile::kDirectories, profile::kTribes, folder.Stored());
}

bool Settings::RefreshPlugins() const
{
    return m_profile.GetProfileInt(profile::kOptions, profile::kRefreshPlugins,
                                   profile::kRefreshPluginsDefault) == 1;
}

bool Settings::SetRefreshPlugins(bool refresh) const
{
    return m_profile.WriteProfileInt(profile::kOptions, profile::kRefreshPlugins, refresh ? 1 : 0);
}

std::string Settings::UpdateUrl() const
{
    return m_profile.GetProfileString(profile::kUpdater, profile::kUrl, profile::kDefaultUpdateUrl);
}

std::string Settings::PublicKeys() const
{
    return m_profile.GetProfileString(profile::kUpdater, profile::kPublicKey);
}

bool Settings::SetPublicKeys(std::string_view keys) const
{
    return m_profile.WriteProfileString(profile::kUpdater, profile::kPublicKey, keys);
}

std::string Settings::HeldKeys() const
{
    return m_profile.GetProfileString(profile::kUpdater, profile::kHeld);
}

bool Settings::SetHeldKeys(std::string_view joined) const
{
    return m_profile.WriteProfileString(profile::kUpdater, profile::kHeld, joined);
}

std::string Settings::AcceptedListTime(std::string_view entry) const
{
    return m_profile.GetProfileString(profile::kAcceptedLists, entry);
}

bool Settings::SetAcceptedListTime(std::string_view entry, std::int64_t seconds) const
{
    return m_profile.WriteProfileString(profile::kAcceptedLists, entry, std::to_string(seconds));
}

std::string Settings::QuickExecMods() const
{
    return m_profile.GetProfileString(profile::kQuickExec, profile::kMods);
}

bool Settings::SetQuickExecMods(std::string_view joined) const
{
    return m_profile.WriteProfileString(profile::kQuickExec, profile::kMods, joined);
}

bool Settings::QuickExecDedicated() const
{
    return m_profile.GetProfileInt(profile::kQuickExec, profile::kDedicated, 0) == 1;
}

bool Settings::SetQuickExecDedicated(bool dedicated) const
{
    return m_profile.WriteProfileInt(profile::kQuickExec, profile::kDedicated, dedicated ? 1 : 0);
}

std::string Settings::QuickExecExtraCommandLine() const
{
    return m_profile.GetProfileString(profile::kQuickExec, profile::kExtraCmdLine);
}

bool Settings::SetQuickExecExtraCommandLine(std::string_view extra) const
{
    return m_profile.WriteProfileString(profile::kQuickExec, profile::kExtraCmdLine, extra);
}

std::string Settings::WineCommand() const
{
    return m_profile.GetProfileString(profile::kWindowsPrograms, profile::kWineCommand);
}

bool Settings::SetWineCommand(std::string_view command) const
{
    return m_profile.WriteProfileString(profile::kWindowsPrograms, profile::kWineCommand, command);
}

Path Settings::WinePrefix() const
{
    return Path(m_profile.GetProfileString(profile::kWindowsPrograms, profile::kWinePrefix));
}

bool Settings::SetWinePrefix(const Path& prefix) const
{
    return m_profile.WriteProfileString(profile::kWindowsPrograms, profile::kWinePrefix,
                                        prefix.Stored());
}

QByteArray Settings::WindowGeometry() const
{
    return QByteArray::fromBase64(QByteArray::fromStdString(
        m_profile.GetProfileString(profile::kWindow, profile::kGeometry)));
}

bool Settings::SetWindowGeometry(const QByteArray& geometry) const
{
    return m_profile.WriteProfileString(profile::kWindow, profile::kGeometry,
                                        geometry.toBase64().toStdString());
}

} // namespace korvane
