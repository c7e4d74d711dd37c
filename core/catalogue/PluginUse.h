#pragma once

#include "core/catalogue/SettleCopies.h"
#include "core/platform/Path.h"
#include "core/platform/Status.h"

#include <string>

namespace korvane {

class CPluginInfo;

// Putting a stored plug-in in use and taking it out of use, on the folders below a Korvane folder
// (a full path ending in a separator). The window's ">>" and "<<" and the command-line tool both
// call these and show the reason of a failure, which names the file and the cause.
namespace pluginuse {

// Copies the plug-in's scripts from its subfolder of storage into the same subfolder of plugins,
// creating every level of that subfolder it lacks and replacing nothing already there. Succeeds
// when every script was copied or there before and a script of the plug-in is in the plugins
// folder.
korvane::Status UsePlugin(const Path& korvaneFolder, const CPluginInfo& plugin);

// Takes the plug-in's key out of use wherever plugins holds scripts of it, deleting the key's
// files from those subfolders and from the record's own; the subfolders stay. A file there that
// the same subfolder of storage lacks is first copied into storage (a file storage has, in any
// letter case, is never replaced: storage stays authoritative), and a file is deleted only when
// storage holds the same bytes; otherwise nothing of that subfolder is deleted. The copies the
// settlement names (DifferingCopies lists them) are settled first. Succeeds when no file of the
// key is left in those subfolders.
korvane::Status UnusePlugin(const Path& korvaneFolder, const CPluginInfo& plugin,
                            const settle::Settlement& settlement = {});

// The files UnusePlugin would delete that differ from storage's, so that it refuses for them.
// Fails, naming them, when folders or files could not be read.
korvane::Result<settle::Copies> DifferingCopies(const Path& korvaneFolder,
                                                const CPluginInfo& plugin);

// True when plugins holds scripts of the plug-in's key in another subfolder than the record's:
// taking it out of use then changes more than the record's own subfolder.
bool InUseElsewhere(const Path& korvaneFolder, const CPluginInfo& plugin);

} // namespace pluginuse

} // namespace korvane
