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

// The update list tool, for whoever runs the project's web server.
inline constexpr char kUpdListUsage[] =
    "usage: updlist write DESCRIPTION OUTPUT\n"
    "       updlist dump LIST\n"
    "\n"
    "write  writes the update list OUTPUT from the description file DESCRIPTION, whose lines are\n"
    "       'key = value' pairs; each 'update' line starts a record:\n"
    "         update  = display name\n"
    "         version = major.minor (each 0 to 255)\n"
    "         target  = folder below the Korvane folder, empty or ending in \\ (storage\\)\n"
    "         url     = base URL of the update's files, ending in /\n"
    "         folder  = folder whose files and subfolders make up the update (relative to the\n"
    "                   description file)\n"
    "       Blank lines and lines starting with # are ignored.\n"
    "dump   prints any update list as text, and how far it could be read.\n";
inline constexpr char kUpdListCannotRead[] = "cannot read %1";
inline constexpr char kUpdListCannotWrite[] = "cannot write %1";
inline constexpr char kUpdListBadLine[] = "%1:%2: %3";
inline constexpr char kUpdListNoUpdateYet[] = "a value before the first 'update' line";
inline constexpr char kUpdListUnknownKey[] = "unknown key '%1'";
inline constexpr char kUpdListNotKeyValue[] = "not a 'key = value' line";
inline constexpr char kUpdListBadVersion[] = "the version must be major.minor, each 0 to 255";
inline constexpr char kUpdListBadTarget[] =
    "the target must stay below the Korvane folder and be empty or end in \\";
inline constexpr char kUpdListBadUrl[] = "the base URL must be an http URL ending in /";
inline constexpr char kUpdListMissingKey[] = "update '%1' lacks its '%2' line";
inline constexpr char kUpdListBadFolder[] = "update '%1': %2 is not a folder";
inline constexpr char kUpdListBadFile[] = "update '%1': %2 cannot be part of an update (%3)";
inline constexpr char kUpdListNoUpdates[] = "the description names no update";
inline constexpr char kUpdListWritten[] = "%1: %2 updates, %3 files";
inline constexpr char kUpdListDumpHeader[] =
    "list: %1, %2 updates, %3 bytes read, %4 bytes after the last record";
inline constexpr char kUpdListComplete[] = "complete";
inline constexpr char kUpdListNotAList[] =
    "not an update list (no UPDATE magic, another format version or no records): empty";
inline constexpr char kUpdListEndsEarly[] =
    "ends inside a record: the program reports it and shows nothing";
inline constexpr char kUpdListUnreadable[] =
    "holds a string in UTF-16 or with a 64-bit length: the program reports it and shows nothing";
inline constexpr char kUpdListDumpUpdate[] =
    "update %1: name \"%2\", version %3, target \"%4\", base URL \"%5\", %6 files";
inline constexpr char kUpdListDumpFile[] = "  file \"%1\", subfolder \"%2\", %3 bytes";

// end of updater texts

// ---------------------------------------------------------------------------------------------
// Command-line tool

// end of command-line texts

} // namespace strings
