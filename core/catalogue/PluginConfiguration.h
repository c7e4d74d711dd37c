#pragma once

#include "core/catalogue/CPluginList.h"

#include <optional>
#include <string>

// The two configuration commands, on the folders below a Korvane folder (a full path ending in a
// separator). Both front ends call these; neither shows anything.
namespace pluginconfig {

// Records what the plugins folder holds now as a configuration file. False when the file could
// not be written; a file already there is then left as it was.
bool SaveConfiguration(const std::string& korvaneFolder, const std::string& configName,
                       const std::string& file, bool storeDirectory);

// Makes the plug-ins a configuration file names the ones in use: the plugins folder is emptied
// and filled again with their scripts from storage. Anything the plugins folder held that storage
// lacked is first copied into storage, so nothing is lost. Returns the configuration's plug-ins,
// or nothing, with no folder touched, when the file cannot be read or storage cannot be made.
std::optional<CPluginList> LoadConfiguration(const std::string& korvaneFolder,
                                             const std::string& file);

} // namespace pluginconfig
