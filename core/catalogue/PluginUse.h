#pragma once

#include "core/platform/Status.h"

#include <string>

namespace korvane {

class CPluginInfo;

// Putting a stored plug-in in use and taking it out of use, on the folders below a Korvane folder
// (a full path ending in a separator). The window's ">>" and "<<" and the command-line tool both
// call these and show the reason of a failure, which names the file and the cause.
namespace pluginuse {

// Copies the plug-in's scripts from its subfolder of storage into the same subfolder of plugins,
// creating that subfolder one level deep and replacing nothing already there. Succeeds when every
// script was copied or there before and a script of the plug-in is in the plugins folder.
korvane::Status UsePlugin(const std::string& korvaneFolder, const CPluginInfo& plugin);

// Deletes the plug-in's files from its subfolder of plugins; the subfolder stays. A file there
// that the same subfolder of storage lacks is first copied into storage (a file storage has, in
// any letter case, is never replaced: storage stays authoritative); when that fails nothing is
// deleted. Succeeds when no file of the plug-in is left in plugins.
korvane::Status UnusePlugin(const std::string& korvaneFolder, const CPluginInfo& plugin);

} // namespace pluginuse

} // namespace korvane
