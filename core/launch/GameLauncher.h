#pragma once

#include <string_view>

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
    WineNotFound,           // a Windows tribes.exe on POSIX, and no wine on PATH
    StartFailed,            // the program would not start
};

// The message the window shows for a status; empty for Ok and for a failed start of the game,
// which the window does not report.
std::string_view MessageFor(LaunchStatus status);

// Starts tribes.exe of the Tribes folder (any letter case) with the parameter string and the
// Tribes folder as working folder, and returns at once without waiting for the game.
LaunchStatus LaunchTribes(std::string_view tribesFolder, std::string_view parameters);

} // namespace launch
