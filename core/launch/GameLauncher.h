#pragma once

#include "core/platform/GameProcess.h"

#include <string>
#include <string_view>

namespace korvane {

class CProfile;

// Starting tribes.exe, and what stops a launch command.
namespace launch {

// The project's home page, opened by the Help menu.
inline constexpr char kHomePageUrl[] = "http://www.korvane.net/";

enum class LaunchStatus
{
    Ok,
    TribesFolderNotSet,     // QuickExec cannot be configured yet
    KorvaneFolderNotSet,    // QuickExec cannot be configured yet
    QuickExecNotConfigured, // no modification stored for QuickExec
    GameNotFound,           // no tribes.exe program in the Tribes folder
    WineNotFound,           // a Windows tribes.exe on POSIX, and its Wine command is not found
    StartFailed,            // the program would not start
};

// The message the window shows for a status; empty for Ok and for a failed start of the game,
// which the window does not report, and for WineNotFound, whose message is WineNotFoundMessage.
std::string_view MessageFor(LaunchStatus status);

// Why a Windows tribes.exe did not start: the command tried, and where it comes from.
std::string WineNotFoundMessage(const kprocess::WineSettings& wine);

// The Windows programs settings of the profile, and storing them back; false when the profile
// could not be written.
kprocess::WineSettings LoadWineSettings(const CProfile& profile);
bool StoreWineSettings(const CProfile& profile, const kprocess::WineSettings& wine);

// Starts tribes.exe of the Tribes folder (any letter case) with the parameter string and the
// Tribes folder as working folder, and returns at once without waiting for the game. A Windows
// tribes.exe runs through the Wine command, in the prefix that holds it unless one is set.
LaunchStatus LaunchTribes(std::string_view tribesFolder, std::string_view parameters,
                          const kprocess::WineSettings& wine);

} // namespace launch

} // namespace korvane
