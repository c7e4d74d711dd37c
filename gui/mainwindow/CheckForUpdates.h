#pragma once

#include <functional>

class QWidget;

namespace korvane {
class SettingsProfile;
} // namespace korvane

namespace korvane::mainwindow {

// The "Check for updates" command: downloads the update list named by the profile and shows
// it in the updater window. A list that cannot be read is reported; a failed download is not.
// onInstalled runs in parent's thread each time an installation ends, also one that ends after
// the window has closed, as the folders may have changed; not once parent is gone.
void OnCheckForUpdates(const SettingsProfile& profile, QWidget* parent,
                       std::function<void()> onInstalled = {});

} // namespace korvane::mainwindow
