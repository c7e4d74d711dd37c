#pragma once

#include "core/catalogue/CPluginInfo.h"
#include "core/platform/FolderListing.h"
#include "core/platform/FolderReader.h"
#include "core/platform/Status.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

// The one walk of a folder tree that finds plug-ins, and the one way their records are made: the
// scans of storage and plugins, the look at every copy in use and the description of a twin all
// see a plug-in alike.
namespace korvane::pluginwalk {

struct Options
{
    // Read each plug-in's description file and name its icon; without, a record holds its key
    // and subfolder only.
    bool describe = true;
    // Take nothing of a folder that could not be listed to its end, rather than what was listed.
    bool wholeFolders = false;
    // Name each folder below the root with a separator at its end, as a stored folder's path
    // reaches the disk (Path::OnDisk); else as its parent's listing names it. Only the folders
    // and failures the walk tells of show which.
    bool endFoldersWithSeparator = true;
};

// A script the walk met.
struct Script
{
    const std::string& subdirectory; // below the walk's root, as a record's
    std::string_view fileName;
    const std::string& key;
};

// What the walk tells its caller; each may be left empty, but for takes and found.
struct Handlers
{
    // A folder listed to its end.
    std::function<void(const std::filesystem::path& folder)> listed;
    // Why a folder could not be listed, or not to its end, naming it.
    std::function<void(const korvane::Status& failure)> unlisted;
    // Why a folder or script was passed over for a name the stored form cannot keep, naming it:
    // it would be found again somewhere else (a name "..\storage" leads back up, without end),
    // or would open a device.
    std::function<void(std::string reason)> unstorable;
    // Whether the script makes a record; false passes it over.
    std::function<bool(const Script& script)> takes;
    // The record of a script taken.
    std::function<void(std::unique_ptr<CPluginInfo> plugin)> found;
    // Why the description file beside a script taken could not be read, naming it: its record
    // has the texts of a plug-in without one.
    std::function<void(std::string reason)> undescribed;
};

// Walks root + subdirectory (stored form) and every folder below it, each in listing order
// (alphabetical without regard to case), a folder entered where the listing names it: the order
// of the scans' records. Links to folders are not entered.
void Walk(const std::string& root, const std::string& subdirectory, const Options& options,
          const Handlers& handlers);

// The record of the plug-in key found in root + subdirectory, completed by the name and bytes of
// its description file and the name of its icon in that folder when there are such.
std::unique_ptr<CPluginInfo> MakeRecord(const std::string& root, const std::string& subdirectory,
                                        const std::string& key, std::string_view descriptionFile,
                                        const std::string* description, std::string_view icon);

// A record made with descriptions, and why its description file could not be read: ok when
// there was none or it was read.
struct Described
{
    std::unique_ptr<CPluginInfo> record;
    korvane::Status undescribed = korvane::Status::Success();
};
// The record of the plug-in key whose script is entry script of a listing of root +
// subdirectory, as the walk makes it with descriptions: its description file read through the
// reader of that folder into bytes, whose storage many records reuse.
Described Describe(const std::string& root, const std::string& subdirectory, const std::string& key,
                   const kfs::FolderListing& entries, size_t script,
                   const kfs::FolderReader& reader, std::string& bytes);

} // namespace korvane::pluginwalk
