#pragma once

#include "core/catalogue/FolderListings.h"
#include "core/catalogue/PluginFunctions.h"
#include "core/platform/FailureList.h"
#include "core/platform/Path.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>

namespace korvane {

class CPluginInfo;
class ScriptFunctionCache;

// Reads the functions of plug-ins from their scripts in the plugins or the storage folder of a
// Korvane folder: a plug-in's scripts are the files of its key in its subfolder that end in .cs
// (sniper.cs, sniper.hud.cs). Each subfolder is listed once however many plug-ins are read from
// it, as long as the reader lives: one reader for one look at the folder.
class PluginFunctionReader
{
public:
    // korvaneFolder is a full path ending in a separator; folder is kPluginsFolderName or
    // kStorageFolderName. Why folders and scripts could not be read goes into failures, each
    // named. failures and the cache, when given, must outlive the reader.
    PluginFunctionReader(Path korvaneFolder, std::string_view folder, FailureList& failures,
                         ScriptFunctionCache* cache = nullptr);

    // The functions of the plug-in of this key in this subfolder of the folder. Its scripts (or
    // subfolder) that could not be read are left out.
    PluginFunctions Read(const std::string& subdirectory, const std::string& key);
    PluginFunctions Read(const CPluginInfo& plugin);

private:
    // The subfolder on the disk; its listing's failure goes into the failures the first time.
    const std::filesystem::path& FolderOnDisk(const std::string& subdirectory);

    Path m_korvaneFolder;
    std::string m_folder;
    FailureList& m_failures;
    ScriptFunctionCache* m_cache;
    fileops::FolderListings m_listings;
    std::unordered_map<std::string, std::filesystem::path> m_onDisk; // by subdirectory
};

} // namespace korvane
