#pragma once

// Every text the program shows or prints, in one place so that the wording can be checked.
// Each subsystem keeps its own section.
namespace strings {

// ---------------------------------------------------------------------------------------------
// Application and main window, options, start-up

inline constexpr char kAppTitle[] = "Korvane Manager v1.0";

inline constexpr char kAvailablePlugins[] = "Available Plug-ins:";
inline constexpr char kUsedPlugins[] = "Currently Used Plug-ins:";
inline constexpr char kUseButton[] = ">>";
inline constexpr char kUnuseButton[] = "<<";
inline constexpr char kPluginInformation[] = "Plug-in Information";
inline constexpr char kPanelName[] = "Name:";
inline constexpr char kPanelFileName[] = "File Name:";
inline constexpr char kPanelSubdirectory[] = "Subdirectory:";
inline constexpr char kPanelAuthor[] = "Author:";
inline constexpr char kPanelDescription[] = "Description:";

inline constexpr char kMenuFile[] = "&File";
inline constexpr char kMenuQuickExec[] = "&QuickExec";
inline constexpr char kMenuExecuteTribes[] = "Execute &Tribes...";
inline constexpr char kMenuSaveConfig[] = "&Save Configuration...";
inline constexpr char kMenuLoadConfig[] = "&Load Configuration...";
inline constexpr char kMenuEditDescription[] = "Edit &Description...";
inline constexpr char kMenuExit[] = "E&xit";
inline constexpr char kMenuOptions[] = "&Options";
inline constexpr char kMenuOptionsCommand[] = "&Options...";
inline constexpr char kMenuConfigureQuickExec[] = "Configure &QuickExec...";
inline constexpr char kMenuHelp[] = "&Help";
inline constexpr char kMenuCheckForUpdates[] = "&Check for updates\\plugins...";
inline constexpr char kMenuHomePage[] = "Display &Korvane Home Page";
inline constexpr char kMenuAbout[] = "&About Korvane Manager...";
inline constexpr char kPopupAddToList[] = "&Add to list";
inline constexpr char kPopupEditDescription[] = "Edit &Description...";
inline constexpr char kPopupRemoveFromList[] = "&Remove from list";

inline constexpr char kStorageNotCreated[] =
    "Korvane Manager could not create the storage subdirectory of your Korvane directory. Please "
    "manually create the directory and copy all of the plugins from your plugins directory into "
    "the storage directory.";

inline constexpr char kOk[] = "OK";
inline constexpr char kCancel[] = "Cancel";

inline constexpr char kAboutTitle[] = "About Korvane Manager";
inline constexpr char kAboutVersion[] = "Korvane Manager Version 1.1";
inline constexpr char kAboutLine[] = "Plug-ins for the Korvane modification";

inline constexpr char kOptionsTitle[] = "Options";
inline constexpr char kOptionsDirectories[] = "&Directories";
inline constexpr char kOptionsTribesDir[] = "&Tribes Directory:";
inline constexpr char kOptionsKorvaneDir[] = "Korvane Directory:";
inline constexpr char kOptionsBrowse[] = "...";
inline constexpr char kOptionsRefresh[] = "&Update storage folder from plugins folder at startup";
inline constexpr char kBrowseKorvaneTitle[] = "Select the folder containing the Korvane plugin:";
inline constexpr char kBrowseTribesTitle[] = "Select the folder containing your Tribes executable:";
inline constexpr char kKorvaneFound[] = "The Korvane script file is in the specified directory.";
inline constexpr char kKorvaneNotFound[] =
    "The Korvane script file is NOT in the specified directory.";
inline constexpr char kTribesFound[] = "Tribes is in the specified directory.";
inline constexpr char kTribesNotFound[] = "Tribes is NOT in the specified directory.";
inline constexpr char kNeedTribesFolder[] = "You must specify your Tribes folder.";
inline constexpr char kNeedKorvaneFolder[] = "You must specify your Korvane folder.";
inline constexpr char kKorvaneFolderChanged[] =
    "You have changed the path to your Korvane folder. For QuickExec to work, you must edit your "
    "QuickExec options by going to Configure QuickExec in the Options Menu. Remove your old "
    "Korvane directory and add the new one.";

// end of main window texts

// ---------------------------------------------------------------------------------------------
// Description editor and configurations

// end of description editor and configuration texts

// ---------------------------------------------------------------------------------------------
// Launching the game, QuickExec, home page

// end of launch texts

// ---------------------------------------------------------------------------------------------
// Updater

// end of updater texts

// ---------------------------------------------------------------------------------------------
// Command-line tool

// end of command-line texts

} // namespace strings
