#pragma once

#include "core/catalogue/CPluginList.h"
#include "core/catalogue/SettleCopies.h"
#include "core/platform/Path.h"
#include "core/platform/Status.h"

#include <string>
#include <vector>

// The two configuration commands, on the folders below a Korvane folder (a full path ending in a
// separator). Both front ends call these; neither shows anything.
namespace korvane::pluginconfig {

// Records what the plugins folder holds now as a configuration file. Fails with the reason when
// the file could not be written; a file already there is then left as it was.
korvane::Status SaveConfiguration(const Path& korvaneFolder, const std::string& configName,
                                  const std::string& file, bool storeDirectory);

// A plug-in of a loaded configuration that could not be put in use, and why.
struct NotCopied
{
    std::string key;
    std::string reason;
};

struct LoadedConfiguration
{
    CPluginList plugins; // the configuration's plug-ins found in storage
    // The plug-ins it names that storage lacks, then those not (wholly) copied into plugins.
    std::vector<NotCopied> notCopied;
    std::string backup; // the file name of the backup of the set it replaced
};

// Makes the plug-ins a configuration file names the ones in use: the plugins folder is emptied
// and filled again with their scripts from storage. Every file the plugins folder holds that
// storage lacks is first copied into storage, so nothing is lost; when one cannot be, nothing is
// deleted and the load fails naming the files. The set in use is then backed up (ConfigBackup.h);
// when the backup cannot be written, the load fails with the reason and nothing is deleted. It also
// fails, with no folder touched, when the file cannot be read or storage cannot be made, and when
// the plugins folder could not be emptied (storage then holds a copy of everything). A loaded
// configuration whose plug-ins could not all be copied lists them in notCopied: the load is then
// incomplete. The backup is recorded as the one to undo to before anything in use changes; when
// the record cannot be written, the load fails with the reason and nothing in use has changed. A
// file of the plugins folder that differs from storage's stops the load too, unless the settlement
// is for it (settle::BelowPlugins lists them): the copies it names are settled first, what gives
// way set aside in the folder named after the backup of the set in use, so that undoing the load
// puts those copies in use back.
korvane::Result<LoadedConfiguration> LoadConfiguration(const Path& korvaneFolder,
                                                       const std::string& file,
                                                       const settle::Settlement& settlement = {});

struct UndoneLoad
{
    std::string backup; // the file name of the backup loaded; empty: there was nothing to undo
    LoadedConfiguration loaded;
};

// Loads the backup the last load made (ConfigBackup.h records it), as LoadConfiguration loads a
// file, so that the set it replaces is backed up in turn and undoing an undo brings that set back.
// Once its plug-ins are all in use and the copies in use its load set aside are back in the
// plugins folder (the settlement is for the set the undo replaces, as a load's), the undo's own
// backup is recorded, and the backup loaded is removed. After a failed or incomplete load, or a
// record that could not be written (the copies put back are then taken back), it stays recorded,
// so that the next undo loads it again. Nothing to undo without a record; a failure when the
// record cannot be read or its backup is gone.
korvane::Result<UndoneLoad> UndoLastLoad(const Path& korvaneFolder,
                                         const settle::Settlement& settlement = {});

// The keys (as first met) of which the plugins folder holds plug-ins in two subfolders, letter
// case aside: a configuration without directory information keeps only the first of each. None
// when the folder cannot be listed whole.
std::vector<std::string> RepeatedKeys(const Path& korvaneFolder);

} // namespace korvane::pluginconfig
