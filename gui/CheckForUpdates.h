#pragma once

class QWidget;

namespace korvane {

class CProfile;

// The "Check for updates" command: downloads the update list named by the profile and shows
// it in the updater window. A list that cannot be read is reported; a failed download is not.
// True when an installation ended while the window was open, so the folders may have changed.
bool OnCheckForUpdates(const CProfile& profile, QWidget* parent);

} // namespace korvane
