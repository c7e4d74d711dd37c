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
// ("2026-12-07 06-30-12.pfg"; a name that is taken already, by anything, gets "_001", "_002"...
// before the extension). A folder of such a name beside them holds the files a settlement of
// differing copies set aside (SettleCopies.h); a load's folder has its backup's name without the
// extension. The record last-load.txt beside them names the backup the last load made: the one
// an undo loads, whatever else the folder holds (a backup from a clock set wrong, a file put
// there by hand). It only ever names a backup that is whole on the disk. Other files in that
// folder are not backups and are never touched, and the folders are never removed: they may hold
// the only copy of a file.
namespace korvane::configbackup {

// How many backups are kept; the oldest beyond these are removed.
inline constexpr std::size_t kKept = 10;

Path BackupFolder(const Path& korvaneFolder);

// A backup's file name without its extension: the name of the folder of the files its load set
// aside. Empty for a name that is no backup's.
std::string BackupStem(std::string_view name);

// The file names of the backups, oldest first; a failure when the folder could not be listed whole.
korvane::Result<std::vector<std::string>> Backups(const Path& korvaneFolder);

// A name, without extension, that no entry of backups\ has, with or without the extension, in any
// letter case: for the next backup, or for a folder of files set aside. Nothing is made.
korvane::Result<std::string> NewStem(const Path& korvaneFolder,
                                     std::chrono::system_clock::time_point now);

// The folder of files set aside under that name, ending in a separator.
Path SetAsideFolder(const Path& korvaneFolder, const std::string& stem);

// Writes what the plugins folder holds now as a new backup (stem, when given, is one NewStem gave
// for it), creating the folder when missing, and only then removes the oldest by name beyond
// kKept, never the new one nor the one the record names. The new backup's file name, or why it
// could not be written (no backup is then removed).
korvane::Result<std::string> BackUpPluginsInUse(const Path& korvaneFolder,
                                                std::chrono::system_clock::time_point now,
                                                const std::string& stem = {});

// The file name of the backup the record names: empty when there is no record (no load was made,
// or none since an older version of the program). Fails, naming the record, when it cannot be
// read or names no backup.
korvane::Result<std::string> LastLoad(const Path& korvaneFolder);

// Makes the record name the backup of that file name, which must be whole on the disk already.
// On failure the record may name either backup, and the caller must say so.
korvane::Status RecordLastLoad(const Path& korvaneFolder, const std::string& name);

} // namespace korvane::configbackup
