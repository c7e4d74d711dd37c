#pragma once

#include "catalogue/CPluginList.h"
#include "platform/Status.h"

#include <string>
#include <vector>

// The two configuration commands, on the folders below a Korvane folder (a full path ending in a
// separator). Both front ends call these; neither shows anything.
namespace pluginconfig {

// Records what the plugins folder holds now as a configuration file. Fails with the reason when
// the file could not be written; a file already there is then left as it was.
korvane::Status SaveConfiguration(const std::string& korvaneFolder, const std::string& configName,
                                  const std::string& file, bool storeDirectory);

// A plug-in of a loaded configuration that could not be put in use, and why.
struct NotCopied
{
    std::string key;
    std::string reason;
};

struct LoadedConfiguration
{
    CPluginList plugins;              // the configuration's plug-ins found in storage
    std::vector<NotCopied> notCopied; // those of them not (wholly) copied into plugins
};

// Makes the plug-ins a configuration file names the ones in use: the plugins folder is emptied
// and filled again with their scripts from storage. Every file the plugins folder holds that
// storage lacks is first copied into storage, so nothing is lost; when one cannot be, nothing is
// deleted and the load fails naming the files. It also fails, with no folder touched, when the
// file cannot be read or storage cannot be made, and when the plugins folder could not be
// emptied (storage then holds a copy of everything). A loaded configuration whose plug-ins could
// not all be copied lists them in notCopied: the load is then incomplete.
korvane::Result<LoadedConfiguration> LoadConfiguration(const std::string& korvaneFolder,
                                                       const std::string& file);

} // namespace pluginconfig
