#pragma once

// Every text the program shows or prints, in one place so that the wording can be checked.
// Each subsystem keeps its own section.
namespace korvane::strings {

// ---------------------------------------------------------------------------------------------
// Application and main window, options, start-up

// %1: the version (res/Version.h).
inline constexpr char kAppTitle[] = "Korvane Manager v%1";
// Before the version in KorvaneMgr --version.
inline constexpr char kProgramName[] = "Korvane Manager";

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
// The filter above the tree, how many plug-ins it leaves in view, and the line under the lists.
inline constexpr char kFilterPlaceholder[] = "Filter plug-ins";
inline constexpr char kFilterClear[] = "Clear the filter";
inline constexpr char kFilterCount[] = "%1 of %2 plug-ins";
inline constexpr char kFilterCountOfOne[] = "%1 of 1 plug-in";
inline constexpr char kStoredCount[] = "%1 plug-ins stored, %2 in use";
inline constexpr char kStoredCountOne[] = "1 plug-in stored, %1 in use";
// Beside them while the last look at the folders could not read everything; it shows why.
inline constexpr char kReadFailuresButton[] = "Some files could not be read...";
// The tooltip of a plug-in whose key another subfolder of storage holds too.
inline constexpr char kSameKeyOne[] = "Another plug-in has this file name: %1";
inline constexpr char kSameKeyMany[] = "Other plug-ins have this file name: %1";
// A file or folder of storage as the window names it (%1: its path below storage).
inline constexpr char kInStorage[] = "storage\\%1";
// A twin, a stored plug-in that the scan passes over because one of the same file name comes
// first: its name in the tree (%1: its name, %2: its folder), and why (%1: the name of the one
// that comes first, %2: that one's folder).
inline constexpr char kTwinItem[] = "%1 (%2)";
inline constexpr char kTwinPassedOver[] =
    "Passed over: \"%1\" in %2 has the same file name and comes first. A configuration, an "
    "update and \">>\" take that one.";
// A category holding such plug-ins.
inline constexpr char kCategoryHasTwins[] = "Some plug-ins here share a file name with another.";

inline constexpr char kMenuFile[] = "&File";
inline constexpr char kMenuQuickExec[] = "&QuickExec";
inline constexpr char kMenuExecuteTribes[] = "Execute &Tribes...";
inline constexpr char kMenuSaveConfig[] = "&Save Configuration...";
inline constexpr char kMenuLoadConfig[] = "&Load Configuration...";
inline constexpr char kMenuUndoLoad[] = "&Undo Last Load";
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

// Opening the Korvane folder (and korvane-cli sync) could not copy into storage every file it
// was to receive; the reason follows. The files stay in the plugins folder.
inline constexpr char kStorageIncomplete[] =
    "Korvane Manager could not copy these files from your plugins directory into the storage "
    "directory; they remain in the plugins directory:";

// A scan (the window's, korvane-cli list and sync) could not read folders, or passed over folders
// and scripts under names the program cannot keep; the reasons follow.
inline constexpr char kFoldersUnreadable[] =
    "Korvane Manager could not read these folders and scripts; the plug-ins there are not listed:";
inline constexpr char kDescriptionsUnreadable[] =
    "Korvane Manager could not read these description files; their plug-ins are listed without "
    "the names and descriptions they hold:";

// ">>", "<<" and the popup commands that failed (%1: the plug-in's name); the reason follows.
inline constexpr char kUsePluginFailed[] = "Korvane Manager could not put \"%1\" in use.";
inline constexpr char kUnusePluginFailed[] = "Korvane Manager could not take \"%1\" out of use.";
// The choice for files in use that differ from storage's copies, where a command found them.
inline constexpr char kSettleTitle[] = "Files changed in use";
inline constexpr char kSettleText[] =
    "These files in your plugins directory differ from their copies in the storage directory. "
    "Which copies should Korvane Manager keep? The other copy of each file is saved in the "
    "backups directory first, and Undo Last Load puts a load's copies back.";
inline constexpr char kSettleListName[] = "Changed files";
inline constexpr char kSettleKeepMine[] = "&Keep my copy";
inline constexpr char kSettleUseStorage[] = "&Use storage's copy";
// After an update that kept copies the player changed: those copies settled could not be.
inline constexpr char kSettleFailed[] = "Korvane Manager could not settle the changed files.";
// Why a command that changes the Korvane folder's files cannot run before one is chosen.
inline constexpr char kNoKorvaneFolder[] = "No Korvane folder is chosen in the Options.";
// Why a command refused to change the files of the folder that follows: it has no modification's
// script, so it may be any folder.
inline constexpr char kNotKorvaneFolder[] =
    "This folder is not a Korvane folder (it holds no korvane*.cs), so nothing was changed:";
// In place of the tree while no Korvane folder is set, with a button that opens the Options.
inline constexpr char kNoKorvaneFolderHint[] =
    "No Korvane folder is set. Choose one in Options to see your plug-ins.";
inline constexpr char kNoKorvaneFolderOptions[] = "Options...";

inline constexpr char kOk[] = "OK";
inline constexpr char kCancel[] = "Cancel";

inline constexpr char kAboutTitle[] = "About Korvane Manager";
inline constexpr char kAboutVersion[] = "Korvane Manager Version %1";
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
inline constexpr char kOptionsWindowsPrograms[] = "&Windows programs";
inline constexpr char kOptionsWineCommand[] = "Co&mmand:";
inline constexpr char kOptionsWinePrefix[] = "&Prefix:";
inline constexpr char kOptionsWinePrefixAuto[] = "the prefix that holds the Tribes folder";
inline constexpr char kBrowseWinePrefixTitle[] = "Select the Wine prefix Tribes runs in:";
inline constexpr char kWinePrefixFound[] = "The folder is a Wine prefix.";
inline constexpr char kWinePrefixNotFound[] = "The folder is NOT a Wine prefix.";
inline constexpr char kWineNotFound[] =
    "tribes.exe is a Windows program, and the command that runs Windows programs, \"%1\", was "
    "not found. The wine package provides it; another command can be set under Windows programs "
    "in Korvane Manager's Options.";
// The minisign public keys updates are checked against, and what the field makes of its text.
inline constexpr char kOptionsUpdates[] = "Updates";
inline constexpr char kOptionsPublicKeys[] = "Public &keys:";
inline constexpr char kOptionsPublicKeysHint[] =
    "the line starting with RW of each key's .pub file, blanks between keys";
inline constexpr char kOptionsNoKey[] = "No key is pinned: the update list is not checked.";
inline constexpr char kOptionsKeyId[] = "Key ID %1";
inline constexpr char kOptionsKeyIds[] = "Key IDs %1";
// %1: why the text is no key (MinisignKey's reason).
inline constexpr char kOptionsNotAKey[] = "Not a key: %1";
inline constexpr char kOptionsKeysRefused[] =
    "The public keys are not minisign public keys, so the options were not saved.";
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
// Why a description file is not written: the record names no place in storage.
inline constexpr char kReasonPluginNotInStorage[] = "the plug-in is not in the storage folder";
// After the description file's path, why an edit does not replace it.
inline constexpr char kReasonDescriptionTooLarge[] =
    "larger than 64 KiB, so only its beginning was read; it is not replaced";
// Below a description of which only the beginning was read.
inline constexpr char kDescriptionCut[] =
    "[The description file is larger than 64 KiB: only its beginning is shown.]";

inline constexpr char kSaveConfigTitle[] = "Save Configuration Options";
inline constexpr char kSaveConfigName[] = "Config &Name:";
inline constexpr char kSaveConfigStoreDirectory[] = "Store directory information";
inline constexpr char kSaveConfigWarning[] =
    "WARNING: If you have two plugins with the same name, you must use Store directory "
    "information. However, with this enabled, you will confuse the program if you rename any "
    "stored directory names under your korvane\\storage dir.";
// After a configuration file's path.
inline constexpr char kReasonConfigTooLarge[] =
    "larger than 16 MiB, which no configuration file is; it is not read";
inline constexpr char kReasonConfigWouldBeTooLarge[] =
    "the configuration would be larger than 16 MiB, more than a configuration file may hold";
inline constexpr char kConfigFileFilter[] = "Plugin Config Files (*.pfg);;All Files (*.*)";
inline constexpr char kConfigFileSuffix[] = "pfg";
inline constexpr char kConfigCreateFailed[] = "Korvane Manager could not create the config file.";
inline constexpr char kConfigLoadFailed[] = "Korvane Manager failed to load the config file.";
inline constexpr char kConfigNotAllInUse[] =
    "The configuration is loaded, but these of its plug-ins could not be put in use:";
// Why a load or its undo did nothing, and why a plug-in a configuration names is missing.
inline constexpr char kReasonNoKorvaneFolderSet[] = "no Korvane folder is set";
inline constexpr char kReasonNotInStorage[] = "not in storage";
inline constexpr char kReasonInUseNotBackedUp[] = "the plug-ins in use could not be backed up: ";
// After a path, why a file of the folders is not copied, settled or put in use.
inline constexpr char kReasonScriptNotInStorage[] = ": the script is not in storage";
inline constexpr char kReasonNotInPluginsFolder[] = ": not a file of the plugins folder";
inline constexpr char kReasonFolderInTheWay[] = ": a folder stands where the file belongs";
inline constexpr char kReasonCopyIsLink[] =
    ": its copy in storage is this same file, through a link";
inline constexpr char kReasonDiffersFromStorage[] = ": the file differs from its copy in storage";
// After the Korvane folder's path or its lock file's, why the folder's lock cannot be had.
inline constexpr char kReasonFolderMissing[] = ": the folder does not exist";
inline constexpr char kReasonLockFileNotCreated[] = ": the lock file could not be created";
// Undo Last Load (korvane-cli undo-load) with no backup of an earlier set.
inline constexpr char kNothingToUndo[] = "There is nothing to undo.";
// After the path of backups\last-load.txt, which names the backup the last load made.
inline constexpr char kReasonNotARecord[] = "it names no backup";
// After the path of the backup that record names.
inline constexpr char kReasonRecordedBackupMissing[] =
    "the backup the last load made is not there any more";
// Why a load made no backup: each name of this second is taken in the backups folder.
inline constexpr char kReasonNoBackupName[] =
    "every name for a backup made in this second is taken in the backups folder";
// Why a load changed nothing after its backup: the record of it could not be written.
inline constexpr char kReasonNotRecorded[] =
    "the backup of the plug-ins in use could not be recorded as the one to undo to: ";
// Why an undo is not complete though its plug-ins are in use: its own backup is not recorded.
inline constexpr char kReasonUndoNotRecorded[] =
    "the backup of the plug-ins the undo replaced could not be recorded as the one to undo to, "
    "so the next undo loads the same backup again: ";
// Shown while a configuration load (or Undo Last Load) runs for more than a second.
inline constexpr char kLoadingConfig[] = "Putting the configuration's plug-ins in use...";
// Undo Last Load put every plug-in of the backup back in use (%1: the backup's file name).
inline constexpr char kUndoneLoad[] =
    "The plug-ins in use before the last load are back in use, from the backup %1.";
// Save Configuration without directory information while the plugins folder holds plug-ins of
// one key in two subfolders; %1: the keys.
inline constexpr char kSaveConfigRepeatedKeys[] =
    "The plugins folder holds more than one plug-in with the key %1. Without directory "
    "information the configuration names only the first of each.\n\nSave it anyway?";

// Another program holds the Korvane folder's lock for longer than a command waits.
inline constexpr char kFoldersBusy[] =
    "Another Korvane Manager is changing these folders. Nothing was changed; try again when it "
    "has finished.";

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
// What a screen reader calls the list of updates.
inline constexpr char kUpdatesListName[] = "Available updates";
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
inline constexpr char kListDownloading[] = "Downloading the update list: %1 bytes received";
inline constexpr char kUpdateListUnreadable[] =
    "The update list from the server is incomplete or damaged, so no updates can be shown. "
    "Please try again later.";
inline constexpr char kUpdateListRefused[] =
    "The update list from the server was refused, so no updates can be shown.";

// Why a transfer or a list failed: fragments placed in a message, after a colon or in brackets.
inline constexpr char kReasonHttpStatus[] = "HTTP %1";
inline constexpr char kReasonNotHttp[] = "not an http or https address";
inline constexpr char kReasonConnectionRefused[] = "connection refused";
inline constexpr char kReasonHostNotFound[] = "host not found";
inline constexpr char kReasonConnectionLost[] = "connection lost";
inline constexpr char kReasonStalled[] = "stalled below %1";
// The rate kReasonStalled names, after its number.
inline constexpr char kUnitKiBPerSecond[] = " KiB/s";
inline constexpr char kUnitBytesPerSecond[] = " bytes/s";
inline constexpr char kReasonRedirectLoop[] = "redirect loop";
inline constexpr char kReasonTooManyRedirects[] = "more than %1 redirects";
inline constexpr char kReasonRedirectWithoutLocation[] = "redirect without a usable location";
inline constexpr char kReasonRedirectScheme[] = "redirect to a non-http address (%1:)";
inline constexpr char kReasonRedirectToHttp[] = "redirect from https to http";
inline constexpr char kReasonCertificateNotTrusted[] = "certificate not trusted";
inline constexpr char kReasonCertificate[] = "certificate refused (%1)";
inline constexpr char kReasonCompressedRefused[] = "compressed body refused: %1";
inline constexpr char kReasonExpandsTooFar[] = "it would expand beyond the safe limits";
inline constexpr char kReasonNotAList[] = "not an update list";
inline constexpr char kReasonListTooLarge[] = "list larger than 64 MiB";
inline constexpr char kReasonTooManyUpdates[] = "more than 100,000 updates";
inline constexpr char kReasonTooManyFiles[] = "more than 100,000 files";
inline constexpr char kReasonStringTooLong[] = "a text longer than the rest of the list";
inline constexpr char kReasonEndsEarly[] = "the list ends inside an update";
inline constexpr char kReasonTextForm[] = "a text in UTF-16 or with a 64-bit length";
// Why a file could not be read, when the system gives no reason of its own.
inline constexpr char kReasonUnreadable[] = "the file cannot be read";
// Why a path that names a folder, or a file closed before, is not written.
inline constexpr char kReasonNotAFile[] = "it is not a file";
inline constexpr char kReasonAlreadyClosed[] = "the file was already closed";
// Why the list that updlist writes cannot be written in the list's format.
inline constexpr char kReasonTooManyUpdatesToWrite[] = "too many updates for one list";
inline constexpr char kReasonValueTooLarge[] = "an update list value does not fit 32 bits";
inline constexpr char kReasonStringTooLongToWrite[] = "an update list string is too long";
// Why a file is not replaced (nor, on Windows, removed).
inline constexpr char kReasonWriteProtected[] = "the file is write-protected";
// Why a file could not be replaced or removed on Windows: another program holds it open.
inline constexpr char kReasonFileInUse[] = "the file is open in another program";
inline constexpr char kReasonSizeDiffers[] = "%1 is %2 bytes on the server, %3 in the list";
inline constexpr char kReasonSizeExceeds[] =
    "%1 is larger on the server than the %2 bytes in the list";
inline constexpr char kReasonNoSuchUpdate[] = "no update with the index %1";
inline constexpr char kReasonUnsafeName[] = "%1 would leave the Korvane folder";
// Why a name from an update list, a configuration file or the command line is refused, and a
// Windows entry so named is not opened: Windows would reach another entry, or a device, by it.
inline constexpr char kReasonNotWindowsName[] =
    "not a name Windows keeps as written: it names a device (con, nul, com1...), is a short 8.3 "
    "form (SNIPER~1.CS), ends in a dot or a blank, or holds < > \" | ? or *";
// Why a Linux entry is not listed: the program's paths would read its name as folders.
inline constexpr char kReasonBackslashInName[] =
    "its name holds a backslash, which Korvane Manager reads as a separator between folders";
inline constexpr char kReasonIntoBackups[] =
    "%1 would go into the backups folder, which holds the program's own copies";
inline constexpr char kReasonDotName[] =
    "%1 has a name that starts with a dot, as the program's own files do";
inline constexpr char kReasonInUseDiffers[] =
    "%1: the copy in use differs from its copy in storage; it was not updated";
// Why an update was not installed: its name and version, the file as the list names it, and the
// cause; the second form where the cause names its file itself or concerns no one file.
inline constexpr char kReasonUpdateFile[] = "%1 %2, file %3: %4";
inline constexpr char kReasonUpdate[] = "%1 %2: %3";
inline constexpr char kReasonInterrupted[] = "interrupted";
// After a file could not be put in place: what became of the files replaced before it.
inline constexpr char kReasonPutBack[] =
    "%1; the files already replaced hold their old version again";
inline constexpr char kReasonNotPutBack[] =
    "%1; these files hold the new version and every other file its old one: %2";
// Why a minisign public key or signature file is no use: fragments placed after its name.
inline constexpr char kReasonKeyNotBase64[] = "\"%1\" is no minisign public key (the line after "
                                              "its untrusted comment, starting with RW)";
inline constexpr char kReasonKeyAlgorithm[] = "\"%1\" is a key for another signature algorithm";
inline constexpr char kReasonSignatureForm[] = "not a minisign signature file";
inline constexpr char kReasonSignatureTooLong[] = "a signature file longer than 64 KiB";
inline constexpr char kReasonSignatureLegacy[] =
    "a signature in minisign's legacy form; sign with minisign's default (prehashed) form";
// Why a list or a file is refused while a key is pinned; %1 is kTheUpdateList or a file's name.
inline constexpr char kTheUpdateList[] = "the update list";
inline constexpr char kReasonNotSigned[] = "%1 is not signed";
inline constexpr char kReasonSignedByAnother[] = "%1 is signed by another key (ID %2)";
inline constexpr char kReasonSignatureDiffers[] = "%1 does not match its signature";
inline constexpr char kReasonSignatureUnusable[] = "the signature of %1 cannot be used: %2";
inline constexpr char kReasonSignatureNoTime[] = "the signature of %1 carries no time";
inline constexpr char kReasonSignedAsAnother[] = "%1 is signed as the file %2";
inline constexpr char kReasonListOlder[] = "this list is older than the one accepted on %1";
inline constexpr char kReasonPinnedKeyUnusable[] = "the pinned public key cannot be used: %1";
inline constexpr char kReasonListTimeNotKept[] =
    "the time of the accepted list could not be kept in the settings";
inline constexpr char kReasonHttpUnderHttps[] =
    "%1 would come over plain http, while the list came over https";

// What the list's signature said, in the updater window, the update's information and
// korvane-cli; %1: the signing key's ID as minisign prints it.
inline constexpr char kListUnsigned[] = "The update list is not signed.";
inline constexpr char kListUnchecked[] =
    "The update list is signed by key ID %1; no key is pinned to check it.";
inline constexpr char kListVerified[] = "The update list is verified: signed by key ID %1.";

// View Info: what an update would write below the Korvane folder (%1: its name, %2: its version).
inline constexpr char kUpdateInfoTitle[] = "%1 %2";
inline constexpr char kUpdateInfoFiles[] = "The files of %1 %2 and where they go:";
inline constexpr char kUpdateInfoNoFiles[] = "%1 %2 holds no files.";
inline constexpr char kUpdateFilesName[] = "Files of the update";
inline constexpr char kPlaceColumn[] = "Place";
inline constexpr char kSizeColumn[] = "Bytes";
inline constexpr char kReplacesColumn[] = "Replaces?";
inline constexpr char kNoteColumn[] = "Note";
inline constexpr char kReplacesYes[] = "Yes";
inline constexpr char kReplacesNo[] = "No";
// Replaces? of a file that will not be written, and the note that says why (%1: the reason).
inline constexpr char kReplacesRefused[] = "Refused";
inline constexpr char kNoteRefused[] = "Refused: %1";
// The note of a file that goes somewhere else than storage\, where plug-ins belong.
inline constexpr char kNoteOutsideStorage[] = "Outside storage\\";

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
inline constexpr char kUpdListNotSingleByte[] =
    "holds a character that Windows-1252, the list's text encoding, cannot hold";
inline constexpr char kUpdListNoUpdates[] = "the description names no update";
inline constexpr char kUpdListWritten[] = "%1: %2 updates, %3 files";
inline constexpr char kUpdListDumpHeader[] =
    "list: %1, %2 updates, %3 bytes read, %4 bytes after the last record";
inline constexpr char kUpdListComplete[] = "complete";
inline constexpr char kUpdListNotAList[] = "not an update list (no UPDATE magic or another format "
                                           "version): the program reports it and shows nothing";
inline constexpr char kUpdListEndsEarly[] =
    "ends inside a record: the program reports it and shows nothing";
inline constexpr char kUpdListUnreadable[] =
    "holds a string in UTF-16 or with a 64-bit length: the program reports it and shows nothing";
inline constexpr char kUpdListTooLarge[] =
    "beyond what the program reads (%1): the program reports it and shows nothing";
inline constexpr char kUpdListDumpUpdate[] =
    "update %1: name \"%2\", version %3, target \"%4\", base URL \"%5\", %6 files";
inline constexpr char kUpdListDumpFile[] = "  file \"%1\", subfolder \"%2\", %3 bytes";

// end of updater texts

// ---------------------------------------------------------------------------------------------
// Command-line tool

inline constexpr char kCliName[] = "korvane-cli";

inline constexpr char kCliUsage[] =
    "usage: korvane-cli [--korvane DIR] [--tribes DIR] COMMAND [ARGS]";
inline constexpr char kCliHelp[] =
    "usage: korvane-cli [--korvane DIR] [--tribes DIR] COMMAND [ARGS]\n"
    "\n"
    "Korvane Manager without a window: the same folders, settings and commands.\n"
    "\n"
    "Options:\n"
    "  --korvane DIR  use DIR as the Korvane folder for this run\n"
    "  --tribes DIR   use DIR as the Tribes folder for this run\n"
    "  -h, --help     show this help; 'korvane-cli COMMAND --help' shows a command's\n"
    "  --version      show the version\n"
    "\n"
    "Commands:\n"
    "  sync           bring the storage folder up to date, as the window does at start-up\n"
    "  list           list the stored plug-ins, or those in use\n"
    "  use            put plug-ins in use\n"
    "  unuse          take plug-ins out of use\n"
    "  describe       edit a plug-in's description file\n"
    "  conflicts      list the functions that two or more plug-ins in use define\n"
    "  save-config    save the plug-ins in use as a configuration file\n"
    "  load-config    make a configuration file's plug-ins the ones in use\n"
    "  undo-load      put back the plug-ins in use before the last load\n"
    "  command-line   print the parameters the game would be started with\n"
    "  launch         start the game\n"
    "  quickexec      start the game as QuickExec, or store QuickExec\n"
    "  updates        list the updates the server offers\n"
    "  install        install updates\n"
    "  hold           hold plug-ins at their version: updates leave them alone\n"
    "  release        let updates replace held plug-ins again\n"
    "\n"
    "Without --korvane and --tribes the folders are those chosen in Korvane Manager's Options.\n"
    "Exit status: 0 on success, 1 on failure (the reason on standard error), 2 on wrong usage.\n";

inline constexpr char kCliSyncUsage[] = "usage: korvane-cli [--korvane DIR] sync";
inline constexpr char kCliSyncHelp[] =
    "Creates the storage folder when it is missing and fills it from the plugins folder, or, when\n"
    "it exists and the start-up refresh is on in the Options, copies into it every file of the\n"
    "plugins folder that it lacks. Then copies into storage every plug-in in use that storage\n"
    "lacks. No file storage has is ever replaced.\n";

inline constexpr char kCliListUsage[] =
    "usage: korvane-cli [--korvane DIR] list [--in-use] [--json]";
inline constexpr char kCliListHelp[] =
    "Lists the plug-ins of the storage folder in scan order, one a line: key, name, category,\n"
    "author, subdirectory, and yes or no for in use, separated by tabs.\n"
    "\n"
    "  --in-use  list the plug-ins of the plugins folder instead\n"
    "  --json    print a JSON array of objects with the fields key, name, category, author,\n"
    "            description, subdirectory, icon and inUse\n";

inline constexpr char kCliUseUsage[] = "usage: korvane-cli [--korvane DIR] use KEY...";
inline constexpr char kCliUseHelp[] =
    "Puts each stored plug-in named by its key (in any letter case) in use: its scripts are\n"
    "copied into the same subfolder of the plugins folder, replacing nothing already there.\n";

inline constexpr char kCliUnuseUsage[] =
    "usage: korvane-cli [--korvane DIR] unuse KEY... [--keep-mine | --use-storage]";
inline constexpr char kCliUnuseHelp[] =
    "Takes each stored plug-in named by its key (in any letter case) out of use: its files are\n"
    "deleted from its subfolder of the plugins folder. Storage keeps them. A file in use that\n"
    "differs from storage's copy is not deleted, and the command fails naming it, unless:\n"
    "\n"
    "  --keep-mine    the copy in use becomes storage's copy (storage's is kept in backups/)\n"
    "  --use-storage  storage's copy stays (the copy in use is kept in backups/)\n";

inline constexpr char kCliDescribeUsage[] =
    "usage: korvane-cli [--korvane DIR] describe KEY [--name T] [--category T] [--author T] "
    "[--description T]";
inline constexpr char kCliDescribeHelp[] =
    "Writes the description file of a stored plug-in, as the description editor saves it. Fields\n"
    "not given keep their current values; an empty value removes the field from the file.\n"
    "\n"
    "  --name T         the name shown for the plug-in\n"
    "  --category T     the category it is listed under\n"
    "  --author T       its author\n"
    "  --description T  its description; line breaks are kept\n";

inline constexpr char kCliSaveConfigUsage[] =
    "usage: korvane-cli [--korvane DIR] save-config FILE [--name T] [--store-directory]";
inline constexpr char kCliSaveConfigHelp[] =
    "Saves the plug-ins the plugins folder holds now as the configuration file FILE.\n"
    "\n"
    "  --name T           the configuration's name\n"
    "  --store-directory  record each plug-in's subfolder too (needed when two plug-ins share a\n"
    "                     key)\n";

inline constexpr char kCliLoadConfigUsage[] =
    "usage: korvane-cli [--korvane DIR] load-config FILE [--keep-mine | --use-storage]";
inline constexpr char kCliLoadConfigHelp[] =
    "Makes the plug-ins the configuration file FILE names the ones in use: the plugins folder is\n"
    "emptied (whatever storage lacks is first copied into storage) and filled again with their\n"
    "scripts from storage. The plug-ins in use before are first backed up (see undo-load). A\n"
    "file of the plugins folder that differs from storage's copy stops the load, naming it,\n"
    "unless:\n"
    "\n"
    "  --keep-mine    the copy in use becomes storage's copy (storage's is kept in backups/)\n"
    "  --use-storage  storage's copy stays (the copy in use is kept in backups/)\n"
    "\n"
    "Either way undo-load puts the copies in use back.\n";

inline constexpr char kCliUndoLoadUsage[] =
    "usage: korvane-cli [--korvane DIR] undo-load [--keep-mine | --use-storage]";
inline constexpr char kCliUndoLoadHelp[] =
    "Every load first saves the plug-ins in use as a backup in the backups folder of the Korvane\n"
    "folder (the newest 10 are kept) and records it in backups/last-load.txt. This loads the\n"
    "backup the last load made, whatever else the folder holds, which backs up the set it\n"
    "replaces in turn, so that undo-load again brings that set back, and puts back the copies in\n"
    "use that the load settled (--keep-mine, --use-storage). An undo that fails or leaves\n"
    "plug-ins out keeps its backup recorded, so that the next undo-load loads it again.\n"
    "Fails when no load is recorded. Files in use that differ from storage's copies stop it as\n"
    "they stop load-config, unless:\n"
    "\n"
    "  --keep-mine    the copy in use becomes storage's copy (storage's is kept in backups/)\n"
    "  --use-storage  storage's copy stays (the copy in use is kept in backups/)\n";
// What undo-load prints; %1: the backup's file name.
inline constexpr char kCliUndoneLoad[] = "Loaded the backup %1";
// save-config without --store-directory while the plugins folder holds plug-ins of one key in
// two subfolders; %1: the keys.
inline constexpr char kCliRepeatedKeys[] =
    "Warning: the plugins folder holds more than one plug-in with the key %1; the\n"
    "configuration names only the first of each (--store-directory keeps them apart)";

inline constexpr char kCliCommandLineUsage[] =
    "usage: korvane-cli [--korvane DIR] command-line [--dedicated] [--mod NAME]... [--extra TEXT]";
inline constexpr char kCliCommandLineHelp[] =
    "Prints the parameters the game would be started with.\n"
    "\n"
    "  --dedicated   start a dedicated server\n"
    "  --mod NAME    a modification folder to load, in order; without any, the Korvane folder's\n"
    "                name\n"
    "  --extra TEXT  text appended after the modifications, exactly as given\n";

inline constexpr char kCliLaunchUsage[] =
    "usage: korvane-cli [--korvane DIR] [--tribes DIR] launch [--dedicated] [--mod NAME]... "
    "[--extra TEXT]";
inline constexpr char kCliLaunchHelp[] =
    "Starts tribes.exe of the Tribes folder with the parameters command-line prints, as Go! in\n"
    "the Execute dialog does, and returns without waiting for the game.\n"
    "\n"
    "  --dedicated   start a dedicated server\n"
    "  --mod NAME    a modification folder to load, in order; without any, the Korvane folder's\n"
    "                name\n"
    "  --extra TEXT  text appended after the modifications, exactly as given\n";

inline constexpr char kCliQuickExecUsage[] =
    "usage: korvane-cli [--korvane DIR] [--tribes DIR] quickexec [--set [--dedicated] "
    "[--mod NAME]... [--extra TEXT]]";
inline constexpr char kCliQuickExecHelp[] =
    "Without --set, starts the game with the stored QuickExec choices. With --set, stores the\n"
    "choices given as QuickExec instead, as Save in the Configure QuickExec dialog does.\n"
    "\n"
    "  --set         store QuickExec\n"
    "  --dedicated   start a dedicated server\n"
    "  --mod NAME    a modification folder to load, in order; without any, the Korvane folder's\n"
    "                name\n"
    "  --extra TEXT  text appended after the modifications, exactly as given\n";

inline constexpr char kCliUpdatesUsage[] =
    "usage: korvane-cli [--korvane DIR] updates [--url URL] [--key KEYS] [--files]";
inline constexpr char kCliUpdatesHelp[] =
    "Downloads the update list and prints one update a line: its index, name, version, and Yes\n"
    "or No for installed, separated by tabs; Held in place of Yes or No when the update would\n"
    "replace files of a plug-in held at its version (see hold).\n"
    "\n"
    "  --url URL   the update list's address, instead of the one in the settings\n"
    "  --key KEYS  the server's minisign public keys (each the line after the untrusted comment\n"
    "              of its .pub file, separated by blanks), instead of those in the settings; the\n"
    "              list and every file must be signed by one of them\n"
    "  --files     print instead each file of each update, one a line, as View Info in the\n"
    "              window shows it: the update's index; where the file goes below the Korvane\n"
    "              folder (storage\\weapons\\sniper.cs); its size in bytes; Yes when it\n"
    "              replaces a file there now, No when not, Refused when the update cannot be\n"
    "              installed for it; and a note: empty, \"Outside storage\\\" for a file that "
    "goes\n"
    "              elsewhere than storage\\, or \"Refused: \" and why. Fields are separated by\n"
    "              tabs.\n";

inline constexpr char kCliInstallUsage[] =
    "usage: korvane-cli [--korvane DIR] install INDEX... [--url URL] [--key KEYS] [--keep-mine | "
    "--use-storage] [--include-held]";
inline constexpr char kCliInstallHelp[] =
    "Downloads the update list and installs the updates of those indexes (as updates prints\n"
    "them), one after the other, printing \"Installed NAME VERSION\" for each that is in place.\n"
    "Progress is shown on standard error when it is a terminal.\n"
    "An update is installed whole or not at all; SIGINT, SIGTERM or SIGHUP stops it, leaving\n"
    "its files as they were. An update that would replace files of a plug-in held at its\n"
    "version (see hold) is not installed, and the command fails naming it. A plug-in in use\n"
    "gets the update too, but a copy in use that was changed on its own is kept, and the\n"
    "update fails naming it, unless:\n"
    "\n"
    "  --url URL       the update list's address, instead of the one in the settings\n"
    "  --key KEYS      the server's public keys, instead of those in the settings (see updates)\n"
    "  --keep-mine     the copy in use becomes storage's copy (the update's is kept in backups/)\n"
    "  --use-storage   the copy in use gets the update (the changed copy is kept in backups/)\n"
    "  --include-held  install also the updates of held plug-ins, which stay held\n";

// install, for each update it put in place: its name and version.
inline constexpr char kCliInstalled[] = "Installed %1 %2";
// An update being installed, on a terminal: the update, the file, bytes received, bytes listed.
inline constexpr char kCliInstallProgress[] = "%1: %2, %3 of %4 bytes";

// Wrong usage: the reason, then the usage line and kCliTryHelp.
inline constexpr char kCliUsageError[] = "korvane-cli: %1";
inline constexpr char kCliTryHelp[] = "Try 'korvane-cli %1--help' for more.";
inline constexpr char kCliNoCommand[] = "no command given.";
inline constexpr char kCliUnknownCommand[] = "unknown command '%1'.";
inline constexpr char kCliMissingArgument[] = "missing %1.";
inline constexpr char kCliUnexpectedArgument[] = "unexpected argument '%1'.";
inline constexpr char kCliEmptyFolder[] = "%1 needs a folder.";
// %1: the file name given to save-config or load-config; %2: kReasonNotWindowsName.
inline constexpr char kCliBadConfigName[] = "'%1' is no configuration file's name: %2.";
inline constexpr char kCliBadModName[] =
    "'%1' is not a modification folder's name: it is empty, holds a backslash, or is not a name "
    "Windows keeps as written.";
inline constexpr char kCliOnlyWithSet[] = "--dedicated, --mod and --extra go with --set.";
inline constexpr char kCliBadIndex[] = "'%1' is not an update index.";

// After a command that refused for files in use that differ from storage's copies.
inline constexpr char kCliSettleHint[] =
    "To settle them, run the command again with --keep-mine (each copy in use becomes storage's\n"
    "copy) or --use-storage (storage's copy is used); the other copy is kept in backups/.";
inline constexpr char kCliSettleBoth[] = "--keep-mine and --use-storage cannot go together.";

// Failures the window has no message for.
inline constexpr char kCliNoKorvaneFolder[] =
    "No Korvane folder is set. Choose it in Korvane Manager's Options or give --korvane DIR.";
inline constexpr char kCliKorvaneFolderMissing[] = "The Korvane folder %1 does not exist.";
inline constexpr char kNoTribesFolderToLaunch[] =
    "No Tribes folder is set. Choose it in Korvane Manager's Options or give --tribes DIR.";
inline constexpr char kCliNoSuchPlugin[] = "No plug-in with the key \"%1\".";
// A key that names several plug-ins only beyond the letters A to Z, and those it names.
inline constexpr char kCliAmbiguousKey[] =
    "The key \"%1\" could name any of the plug-ins %2: type it as list prints it.";
inline constexpr char kCliUseFailed[] = "The plug-in \"%1\" could not be put in use.";
inline constexpr char kCliUnuseFailed[] = "The plug-in \"%1\" could not be taken out of use.";
inline constexpr char kGameNotFound[] = "There is no tribes.exe in the Tribes folder %1.";
inline constexpr char kGameNotStarted[] = "tribes.exe could not be started.";
// The system's reason follows: "C:\Tribes\tribes.exe is not a valid Win32 application."
inline constexpr char kGameNotStartedBecause[] = "tribes.exe could not be started: %1";
inline constexpr char kCliSettingsNotWritten[] = "The settings could not be written.";
inline constexpr char kCliListNotDownloaded[] = "The update list could not be downloaded from %1.";
inline constexpr char kCliListRefused[] = "The update list from %1 was refused.";
// On stderr after the list came, when no key is pinned.
inline constexpr char kCliListNotSigned[] =
    "The update list is not signed, so anyone between this computer and the server can change "
    "what it installs.";
inline constexpr char kCliListSignedUnchecked[] =
    "The update list is signed by the key with the ID %1, but no key is pinned to check it: "
    "compare the ID with the one the server's operator publishes, then pin the key "
    "(--key, or Options in the window).";
// A failure's message and, after it, why.
inline constexpr char kCliFailedBecause[] = "%1 Reason: %2.";
inline constexpr char kCliNoSuchUpdate[] = "There is no update with the index %1.";
// After the failure's message, when a signal ended the command.
inline constexpr char kCliStoppedBySignal[] = "Stopped by %1.";

// end of command-line texts

// ---------------------------------------------------------------------------------------------
// Plug-ins that clash: two plug-ins in use that define the same function

// After a script's path: why its functions are not read.
inline constexpr char kReasonTooManyFunctions[] =
    "it defines more than 100,000 functions, more than any plug-in's script; it is not read";
// korvane-cli conflicts could not read folders or scripts of the plugins folder; the reasons
// follow.
inline constexpr char kClashesUnreadable[] =
    "Korvane Manager could not read these folders and scripts; the functions they define are not "
    "compared:";
inline constexpr char kCliConflictsUsage[] =
    "usage: korvane-cli [--korvane DIR] conflicts [--json]";
inline constexpr char kCliConflictsHelp[] =
    "Lists the functions that two or more plug-ins in use define, each with the plug-ins that\n"
    "define it: the game keeps the definition it loads last, so the other plug-ins lose theirs.\n"
    "One line a function: the function as its first plug-in writes it, then the key of each\n"
    "plug-in that defines it, in scan order, separated by tabs. Functions are sorted by name\n"
    "without regard to letter case, which the game does not regard either. A definition inside a\n"
    "comment or a string does not count. The modification's own scripts outside storage and\n"
    "plugins are not compared: plug-ins are meant to replace their functions. Exits with 0\n"
    "whether or not plug-ins clash, and with 1, naming them after the list, when folders or\n"
    "scripts could not be read.\n"
    "\n"
    "  --json  print a JSON array of objects with the fields function and plugins, each plug-in\n"
    "          an object with the fields key, file (below the Korvane folder) and line (of its\n"
    "          first definition of the function)\n";

// The window's marks: a plug-in in use that clashes carries the warning sign, and as its tool
// tip and accessible description this head and a line for each function it shares (%1: the
// function, %2: the other plug-ins that define it), the first few of them.
inline constexpr char kClashMarkHead[] =
    "Clashes with plug-ins in use (the game keeps the definition it loads last):";
inline constexpr char kClashMarkFunction[] = "%1, also defined by %2";
// After the first few functions' lines (%1: how many more).
inline constexpr char kClashMarkMore[] = "and %1 more (View > Clashes... lists them all)";
// Names in a sentence: the last of a few (%1: those before it, %2: the last), and the first few
// of many (%1) and how many more (%2).
inline constexpr char kFewAnd[] = "%1 and %2";
inline constexpr char kFewAndMore[] = "%1 and %2 more";
// A category that holds a plug-in that clashes.
inline constexpr char kCategoryHasClashes[] = "Some plug-ins here clash with others in use.";
// The panel, for a stored plug-in that ">>" would make clash (%1: the plug-ins in use it would
// clash with, %2: the functions).
inline constexpr char kClashWouldMake[] =
    "Putting this plug-in in use makes it clash with %1 over %2.";

// View > Clashes...: every function that plug-ins in use define alike, each with its plug-ins.
inline constexpr char kMenuView[] = "&View";
inline constexpr char kMenuClashes[] = "&Clashes...";
inline constexpr char kClashesTitle[] = "Plug-ins That Clash";
inline constexpr char kClashesHeading[] =
    "Functions that two or more plug-ins in use define. The game keeps the definition it loads "
    "last: the other plug-ins' code for the function never runs.";
inline constexpr char kClashesNone[] = "No two plug-ins in use define the same function.";
inline constexpr char kClashesListName[] = "Clashing functions";
inline constexpr char kClashFunctionColumn[] = "Function and Plug-ins";
inline constexpr char kClashFileColumn[] = "File";
inline constexpr char kClashLineColumn[] = "Line";
// A plug-in under its function: its name and its key.
inline constexpr char kClashPlugin[] = "%1 (%2)";
inline constexpr char kCopyButton[] = "&Copy";
// Copy puts the list on the clipboard as text to post: a line a function, then a line for each
// of its plug-ins (%1: as kClashPlugin, %2: its file, %3: the line there).
inline constexpr char kClashCopyPlugin[] = "    %1: %2:%3";

// end of texts for clashes

// ---------------------------------------------------------------------------------------------
// Holding a plug-in at its version: updates leave its files alone

// The updater's Installed? column and korvane-cli updates, for an update that would replace files
// of a held plug-in.
inline constexpr char kInstalledHeld[] = "Held";
// In the popups of the tree and the list, checked while the plug-in is held.
inline constexpr char kPopupHold[] = "&Hold at This Version";
// A held plug-in in the tree (%1: the item's text otherwise), and its tool tip.
inline constexpr char kHeldItem[] = "%1 (held)";
inline constexpr char kHeldMark[] = "Held at its version: updates leave it alone.";
// %1: the plug-in's name.
inline constexpr char kHoldNotStored[] =
    "The settings could not be written, so \"%1\" is not held.";
inline constexpr char kReleaseNotStored[] =
    "The settings could not be written, so \"%1\" is still held.";
// The tool tip of an update's row and of Install in the updater while such an update is
// selected; %1: the held keys, each in quotes.
inline constexpr char kUpdateHeldOne[] =
    "This update would replace files of the plug-in %1, which is held at its version. Release it "
    "(right-click it in the main window) to install this update.";
inline constexpr char kUpdateHeldMany[] =
    "This update would replace files of the plug-ins %1, which are held at their version. Release "
    "them (right-click them in the main window) to install this update.";

inline constexpr char kCliHoldUsage[] = "usage: korvane-cli [--korvane DIR] hold KEY...";
inline constexpr char kCliHoldHelp[] =
    "Holds each stored plug-in named by its key (in any letter case) at its version: install\n"
    "leaves its files below storage and plugins alone, and updates shows Held for the updates\n"
    "that would replace them. The keys are kept in the settings, shared with the window, as\n"
    "list prints them; release lets updates replace them again.\n";
inline constexpr char kCliReleaseUsage[] = "usage: korvane-cli release KEY...";
inline constexpr char kCliReleaseHelp[] =
    "Lets updates replace the held plug-ins of those keys again (in any letter case), also one\n"
    "that storage no longer holds. A key that is not held changes nothing; a note on standard\n"
    "error says so.\n";
// release of a key not held: a note, not a failure.
inline constexpr char kCliNotHeld[] = "Note: \"%1\" is not held; nothing to release.";
// install, for each update of held plug-ins it passed over; %1: the update's name and version,
// %2: the keys, each in quotes.
inline constexpr char kCliUpdateHeldOne[] =
    "%1 was not installed: it would replace files of the plug-in %2, which is held at its version.";
inline constexpr char kCliUpdateHeldMany[] =
    "%1 was not installed: it would replace files of the plug-ins %2, which are held at their "
    "version.";
inline constexpr char kCliHeldHint[] =
    "To install it, release the plug-in first (korvane-cli release KEY), or run install again\n"
    "with --include-held, which installs it and keeps the plug-in held.";

// end of texts for holding plug-ins

} // namespace korvane::strings
