#pragma once

#include <functional>

class QWidget;

namespace korvane {
class SettingsProfile;
} // namespace korvane

namespace korvane::mainwindow {

// The "Check for updates" command on one profile's settings, its windows over parent: downloads
// the update list the profile names and shows it in the updater window. A list that cannot be
// read is reported; a failed download is not.
class CheckForUpdates
{
public:
    CheckForUpdates(const SettingsProfile& profile, QWidget* parent);

    // onInstalled runs in parent's thread each time an installation ends, also one that ends
    // after the window has closed, as the folders may have changed; not once parent is gone.
    void run(std::function<void()> onInstalled = {}) const;

private:
    const SettingsProfile& m_profile;
    QWidget* const m_parent;
};

} // namespace korvane::mainwindow
