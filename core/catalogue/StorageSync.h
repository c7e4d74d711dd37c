#pragma once

#include "core/catalogue/CPluginList.h"

#include <string>

// Bringing the storage folder into step with the plugins folder before the catalogue is shown:
// storage keeps every plug-in the player has ever had, so whatever is in use must also be there.
namespace korvane::storagesync {

enum class StorageState
{
    Created,    // storage was missing and now holds a copy of the plugins folder
    Existing,   // storage was there already (a file of that name counts)
    NotCreated, // storage was missing and could not be created
};

enum class Outcome
{
    Ready,             // both catalogues describe the folders as they now are
    NoKorvaneFolder,   // no Korvane folder is set: nothing was created or scanned
    StorageNotCreated, // the storage folder could not be created: nothing else was done
};

// Makes sure the storage folder of korvaneFolder exists. A storage folder created here gets the
// whole plugins folder copied into it; an existing one gets the files it lacks only when
// refreshExisting. No file storage already has is ever replaced.
StorageState PrepareStorage(const std::string& korvaneFolder, bool refreshExisting);

// Copies into storage, with all their files, the plug-ins of inUse that catalogue does not know.
// Returns how many were copied.
int CopyMissingInUse(const CPluginList& inUse, const CPluginList& catalogue,
                     const std::string& korvaneFolder);

// The whole folder work of opening a Korvane folder: PrepareStorage, a scan of both folders into
// catalogue and inUse, and CopyMissingInUse. On Ready, catalogue lists storage as it is after the
// copies, so every plug-in of inUse that could be copied is in it.
Outcome Synchronise(const std::string& korvaneFolder, bool refreshExistingStorage,
                    CPluginList& catalogue, CPluginList& inUse);

} // namespace korvane::storagesync
