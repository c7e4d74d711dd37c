#include "core/catalogue/StorageSync.h"

#include "core/catalogue/FolderListings.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/catalogue/TreeCopy.h"
#include "core/platform/FailureList.h"
#include "core/platform/FileSystem.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"

namespace korvane::storagesync {

StorageState PrepareStorage(const Path& korvaneFolder, bool refreshExisting, FailureList& failures)
{
    const Path storage = korvane::StorageFolder(korvaneFolder);
    const Path plugins = korvane::PluginsFolder(korvaneFolder);
    // Asked without its trailing separator, so that a file of that name counts as present too
    // and is never replaced by a folder.
    const std::string& stored = storage.Stored();
    if (Path(std::string_view(stored).substr(0, stored.size() - 1)).Exists()) {
        if (refreshExisting)
            failures.Add(fileops::CopyTree(plugins, storage));
        return StorageState::Existing;
    }
    if (!kfs::CreateFolder(storage.OnDisk()).ok())
        return StorageState::NotCreated;
    failures.Add(fileops::CopyTree(plugins, storage));
    return StorageState::Created;
}

int CopyMissingInUse(const CPluginList& inUse, const CPluginList& catalogue,
                     const Path& korvaneFolder, FailureList& failures)
{
    const Path storage = korvane::StorageFolder(korvaneFolder);
    const Path plugins = korvane::PluginsFolder(korvaneFolder);
    fileops::FolderListings listings;
    int copied = 0;
    for (const auto& plugin : inUse.m_arrPlugins) {
        if (catalogue.Exists(plugin->m_strFileName))
            continue;
        failures.Add(plugin->CopyFiles(plugins.Stored(), storage.Stored(), true, listings));
        ++copied;
    }
    return copied;
}

Synchronisation Synchronise(const Path& korvaneFolder, bool refreshExistingStorage,
                            CPluginList& catalogue, CPluginList& inUse)
{
    catalogue.DeleteAll();
    inUse.DeleteAll();
    // Without a Korvane folder the storage and plugins folders would be relative names, taken
    // in whatever folder the program happens to run from.
    if (korvaneFolder.Stored().empty())
        return {Outcome::NoKorvaneFolder};
    FailureList failures;
    const StorageState state = PrepareStorage(korvaneFolder, refreshExistingStorage, failures);
    if (state == StorageState::NotCreated)
        return {Outcome::StorageNotCreated};

    const Path storage = korvane::StorageFolder(korvaneFolder);
    catalogue.Rescan(storage.Stored());
    inUse.Rescan(korvane::PluginsFolder(korvaneFolder).Stored());
    // After a copy of the whole plugins folder, a plug-in in use that storage lacks is one whose
    // files could not be copied, and failures names them already.
    const bool wholeFolderCopied = state == StorageState::Created || refreshExistingStorage;
    if (!wholeFolderCopied && CopyMissingInUse(inUse, catalogue, korvaneFolder, failures) > 0)
        catalogue.Rescan(storage.Stored());
    const ReadFailures read = ReadFailuresOf(catalogue, inUse);
    return {Outcome::Ready, failures.ToStatus(), read.folders, read.descriptions};
}

ReadFailures ReadFailuresOf(const CPluginList& catalogue, const CPluginList& inUse)
{
    FailureList folders;
    folders.Add(catalogue.Unreadable());
    folders.Add(inUse.Unreadable());
    FailureList descriptions;
    descriptions.Add(catalogue.UnreadableDescriptions());
    descriptions.Add(inUse.UnreadableDescriptions());
    return {folders.ToStatus(), descriptions.ToStatus()};
}

} // namespace korvane::storagesync
