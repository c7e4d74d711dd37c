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

// end of updater texts

// ---------------------------------------------------------------------------------------------
// Command-line tool

// end of command-line texts

} // namespace strings
