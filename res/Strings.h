#pragma once

// Every text the program shows or prints, in one place so that the wording can be checked.
// Each subsystem keeps its own section.
namespace strings {

// ---------------------------------------------------------------------------------------------
// Application and main window, options, start-up

inline constexpr char kAppTitle[] = "Korvane Manager v1.0";

// end of main window texts

// ---------------------------------------------------------------------------------------------
// Description editor and configurations

// end of description editor and configuration texts

// ---------------------------------------------------------------------------------------------
// Launching the game, QuickExec, home page

// end of launch texts

// ---------------------------------------------------------------------------------------------
// Updater

inline constexpr char kUpdaterTitle[] = "Korvane Updater";
inline constexpr char kUpdateNameColumn[] = "Update Name";
inline constexpr char kVersionColumn[] = "Version";
inline constexpr char kInstalledColumn[] = "Installed?";
inline constexpr char kInstalledYes[] = "Yes";
inline constexpr char kInstalledNo[] = "No";
inline constexpr char kInstallButton[] = "&Install!";
inline constexpr char kViewInfoButton[] = "&View Info";
inline constexpr char kCloseButton[] = "Close";
inline constexpr char kInstallFailed[] = "The update was NOT completed successfully.";
inline constexpr char kCloseWhileInstalling[] =
    "It is recommended that you do not close the window until the current update is finished. "
    "The update will NOT stop when you close the window. Would you still like to close the window?";
inline constexpr char kUpdateListUnreadable[] =
    "The update list from the server is incomplete or damaged, so no updates can be shown. "
    "Please try again later.";

// end of updater texts

// ---------------------------------------------------------------------------------------------
// Command-line tool

// end of command-line texts

} // namespace strings
