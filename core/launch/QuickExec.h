#pragma once

#include "core/launch/GameCommandLine.h"
#include "core/launch/GameLauncher.h"

#include <string_view>

namespace korvane {

class SettingsProfile;

// QuickExec: a start of the game stored in the profile and run with one command.
namespace launch {

// The stored choices: the names in launch order, dedicated only when the stored value is 1.
LaunchChoices LoadQuickExec(const SettingsProfile& profile);

// Stores the three entries together: the names joined by '\', the dedicated flag as 0 or 1 and
// the extra text as typed. False when the profile could not be written.
bool StoreQuickExec(const SettingsProfile& profile, const LaunchChoices& choices);

// Ok when both folders are set, else the first one missing, Tribes before Korvane.
korvane::Status CheckCanConfigureQuickExec(std::string_view tribesFolder,
                                           std::string_view korvaneFolder);

// Starts the game with the stored choices, or QuickExecNotConfigured when no names are stored.
// The folder settings are not checked: the start uses whatever the Tribes folder holds.
korvane::Status RunQuickExec(const LaunchChoices& stored, std::string_view tribesFolder,
                             const kprocess::WineSettings& wine);

} // namespace launch

} // namespace korvane
