#pragma once

#include <string>

class CPluginInfo;

// Putting a stored plug-in in use and taking it out of use, on the folders below a Korvane folder
// (a full path ending in a separator). The window's ">>" and "<<" and the command-line tool both
// call these; neither reports anything itself.
namespace pluginuse {

// Copies the plug-in's scripts from its subfolder of storage into the same subfolder of plugins,
// creating that subfolder one level deep and replacing nothing already there. True when a script
// of the plug-in is in the plugins folder afterwards, whether copied now or there before.
bool UsePlugin(const std::string& korvaneFolder, const CPluginInfo& plugin);

// Deletes the plug-in's files from its subfolder of plugins; the subfolder stays. True when no
// file of the plug-in is left there.
bool UnusePlugin(const std::string& korvaneFolder, const CPluginInfo& plugin);

} // namespace pluginuse
