#pragma once

#include "core/platform/GameProcess.h"
#include "core/platform/Status.h"

#include <string>
#include <string_view>

namespace korvane {

class SettingsProfile;

// Starting tribes.exe, and what stops a launch command.
namespace launch {

// The project's home page, opened by the Help menu.
inline constexpr char kHomePageUrl[] = "http://www.korvane.net/";

// Why a launch command did not start the game. Each failure's reason is the message for it.
enum class LaunchFailure
{
    TribesFolderNotSet,     // QuickExec cannot be configured yet
    KorvaneFolderNotSet,    // QuickExec cannot be configured yet
    QuickExecNotConfigured, // no modification stored for QuickExec
    GameNotFound,           // no tribes.exe in the Tribes folder (elsewhere than on Windows: no
                            // tribes.exe program, which Windows tells as StartFailed)
    WineNotFound,           // a Windows tribes.exe on POSIX, and its Wine command is not found
    StartFailed,            // the program would not start; the system's reason when it gave one
};

// The Windows programs settings of the profile, and storing them back; false when the profile
// could not be written.
kprocess::WineSettings LoadWineSettings(const SettingsProfile& profile);
bool StoreWineSettings(const SettingsProfile& profile, const kprocess::WineSettings& wine);

// Starts tribes.exe of the Tribes folder (any letter case) with the parameter string and the
// Tribes folder as working folder, and returns at once without waiting for the game. A Windows
// tribes.exe runs through the Wine command, in the prefix that holds it unless one is set.
// Fails with GameNotFound, WineNotFound (naming the command tried) or StartFailed.
korvane::Status LaunchTribes(std::string_view tribesFolder, std::string_view parameters,
                             const kprocess::WineSettings& wine);

} // namespace launch

} // namespace korvane
