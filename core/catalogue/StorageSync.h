#pragma once

#include "core/catalogue/CPluginList.h"
#include "core/platform/FailureList.h"
#include "core/platform/Path.h"
#include "core/platform/Status.h"

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

struct Synchronisation
{
    Outcome outcome = Outcome::NoKorvaneFolder;
    // Why storage lacks files of the plugins folder it was to receive. They are still in the
    // plugins folder, and the next synchronisation tries them again.
    korvane::Status copies = korvane::Status::Success();
    // Why folders of storage or plugins could not be read: their plug-ins are not listed.
    korvane::Status unreadable = korvane::Status::Success();
    // Why description files there could not be read: their plug-ins are listed without their
    // texts.
    korvane::Status descriptions = korvane::Status::Success();
};

// What a scan of both folders could not read.
struct ReadFailures
{
    korvane::Status folders = korvane::Status::Success();      // as Synchronisation::unreadable
    korvane::Status descriptions = korvane::Status::Success(); // as Synchronisation::descriptions
};
ReadFailures ReadFailuresOf(const CPluginList& catalogue, const CPluginList& inUse);

// Makes sure the storage folder of korvaneFolder exists. A storage folder created here gets the
// whole plugins folder copied into it; an existing one gets the files it lacks only when
// refreshExisting. No file storage already has is ever replaced. Files that could not be copied
// go into failures.
StorageState PrepareStorage(const Path& korvaneFolder, bool refreshExisting, FailureList& failures);

// Copies into storage, with all their files, the plug-ins of inUse that catalogue does not know.
// Returns how many it tried to copy; files that could not be copied go into failures.
int CopyMissingInUse(const CPluginList& inUse, const CPluginList& catalogue,
                     const Path& korvaneFolder, FailureList& failures);

// The whole folder work of opening a Korvane folder: PrepareStorage, a scan of both folders into
// catalogue and inUse, and CopyMissingInUse. On Ready, catalogue lists storage as it is after the
// copies, so every plug-in of inUse that could be copied is in it.
Synchronisation Synchronise(const Path& korvaneFolder, bool refreshExistingStorage,
                            CPluginList& catalogue, CPluginList& inUse);

} // namespace korvane::storagesync
