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
