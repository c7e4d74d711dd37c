#pragma once

#include "core/catalogue/CPluginList.h"
#include "core/platform/Path.h"
#include "core/platform/Status.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Backups of the set of plug-ins in use, made before a configuration load replaces it, so that a
// load never destroys a set. Each is a configuration file with directory information in
// backups\ under the Korvane folder, named by the local date and time it was made
// ("2026-12-07 06-30-12.pfg"; a later one of the same second gets "_001", "_002"... before the
// extension), so that sorting the names sorts the backups by age. A folder of such a name beside
// them holds the files a settlement of differing copies set aside (SettleCopies.h); a load's
// folder has its backup's name without the extension. Other files in that folder are not backups
// and are never touched, and the folders are never removed: they may hold the only copy of a file.
namespace korvane::configbackup {

// How many backups are kept; the oldest beyond these are removed.
inline constexpr std::size_t kKept = 10;

Path BackupFolder(const std::string& korvaneFolder);

// A backup's file name without its extension: the name of the folder of the files its load set
// aside. Empty for a name that is no backup's.
std::string BackupStem(std::string_view name);

// The file names of the backups, oldest first; a failure when the folder could not be listed whole.
korvane::Result<std::vector<std::string>> Backups(const std::string& korvaneFolder);

// A name, without extension, that sorts after every backup's and every backup folder's: for the
// next backup, or for a folder of files set aside. Nothing is made.
korvane::Result<std::string> NewStem(const std::string& korvaneFolder,
                                     std::chrono::system_clock::time_point now);

// The folder of files set aside under that name, ending in a separator.
Path SetAsideFolder(const std::string& korvaneFolder, const std::string& stem);

// Writes what the plugins folder holds now as a new backup whose name sorts after every other
// (stem, when given, is one NewStem gave for it), creating the folder when missing, and only then
// removes the oldest beyond kKept. The new backup's file name, or why it could not be written (no
// backup is then removed).
korvane::Result<std::string> BackUpPluginsInUse(const std::string& korvaneFolder,
                                                std::chrono::system_clock::time_point now,
                                                const std::string& stem = {});

// Gives the backup of that file name a name that sorts after every other backup's, unless it has
// one already: the backup an undo could not restore stays the one the next undo restores, though
// the undo backed up the set it was replacing. Its folder of files set aside, if any, is renamed
// with it. The backup's file name now, or why it could not be renamed.
korvane::Result<std::string> MakeNewest(const std::string& korvaneFolder, const std::string& name,
                                        std::chrono::system_clock::time_point now);

} // namespace korvane::configbackup
