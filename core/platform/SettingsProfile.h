#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace korvane {

// The per-user settings profile: sections of typed entries, every read with the caller's default,
// every write stored at once. On Windows this is the registry key
// HKEY_CURRENT_USER\Software\<organisation>\<application>; elsewhere Qt's per-user settings file.
// Each operation opens the store afresh, so a second thread may read at any time.
class SettingsProfile
{
public:
    // The platform's native store for this organisation and application.
    SettingsProfile(QString organisation, QString application);
    // A settings file at an explicit location (tests, scratch runs).
    static SettingsProfile AtFile(const QString& iniFile);

    std::string GetProfileString(std::string_view section, std::string_view key,
                                 std::string_view defaultValue = {}) const;
    int GetProfileInt(std::string_view section, std::string_view key, int defaultValue) const;
    // False when the store could not be written; the value is then lost, as callers expect.
    bool WriteProfileString(std::string_view section, std::string_view key,
                            std::string_view value) const;
    bool WriteProfileInt(std::string_view section, std::string_view key, int value) const;

private:
    SettingsProfile() = default;

    QString m_organisation;
    QString m_application;
    QString m_file; // set when the profile lives in an explicit file
};

} // namespace korvane
