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

inline constexpr char kDescEditTitle[] = "Korvane Description Editor";
inline constexpr char kDescEditFileName[] = "&File Name:";
inline constexpr char kDescEditName[] = "&Name:";
inline constexpr char kDescEditCategory[] = "&Category:";
inline constexpr char kDescEditAuthor[] = "&Author:";
inline constexpr char kDescEditDescription[] = "&Description:";
// The categories the editor offers; any other text typed into the field becomes a category too.
inline constexpr const char* kStockCategories[] = {"Deployable", "Weapon", "Armor",
                                                   "Vehicle",    "Pack",   "Miscellaneous"};
inline constexpr char kDescriptionWriteFailed[] =
    "Korvane Manager failed to create\\overwrite the description file for the specified plugin.";

inline constexpr char kSaveConfigTitle[] = "Save Configuration Options";
inline constexpr char kSaveConfigName[] = "Config &Name:";
inline constexpr char kSaveConfigStoreDirectory[] = "Store directory information";
inline constexpr char kSaveConfigWarning[] =
    "WARNING: If you have two plugins with the same name, you must use Store directory "
    "information. However, with this enabled, you will confuse the program if you rename any "
    "stored directory names under your korvane\\storage dir.";
inline constexpr char kConfigFileFilter[] = "Plugin Config Files (*.pfg);;All Files (*.*)";
inline constexpr char kConfigFileSuffix[] = "pfg";
inline constexpr char kConfigCreateFailed[] = "Korvane Manager could not create the config file.";
inline constexpr char kConfigLoadFailed[] = "Korvane Manager failed to load the config file.";

// end of description editor and configuration texts

// ---------------------------------------------------------------------------------------------
// Launching the game, QuickExec, home page

inline constexpr char kExecTitle[] = "Execute Tribes";
inline constexpr char kExecModifications[] = "Modifications";
inline constexpr char kExecAdd[] = "&Add";
inline constexpr char kExecRemove[] = "&Remove";
inline constexpr char kExecUp[] = "&Up";
inline constexpr char kExecDown[] = "&Down";
inline constexpr char kExecDedicated[] = "D&edicated";
inline constexpr char kExecExtraCommands[] = "&Extra Commands:";
inline constexpr char kExecGo[] = "Go!";
inline constexpr char kExecSave[] = "Save";
inline constexpr char kExecCancel[] = "Cancel";
inline constexpr char kExecChooseMod[] = "Choose a mod:";
inline constexpr char kExecTribesNotFound[] = "Korvane Manager could not find your Tribes folder.";
inline constexpr char kQuickExecNeedsTribes[] =
    "You must set the Tribes folder before you can configure QuickExec.";
inline constexpr char kQuickExecNeedsKorvane[] =
    "You must set the Korvane folder before you can configure QuickExec.";
inline constexpr char kQuickExecNotConfigured[] = "QuickExec has not yet been configured. You can "
                                                  "configure QuickExec from the options dialog.";

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
