#include "core/catalogue/StorageSync.h"

#include "core/catalogue/FileOperations.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/platform/FileSystem.h"
#include "core/platform/KPath.h"

namespace korvane::storagesync {

StorageState PrepareStorage(const std::string& korvaneFolder, bool refreshExisting)
{
    const std::string storage = korvane::StorageFolder(korvaneFolder);
    const std::string plugins = korvane::PluginsFolder(korvaneFolder);
    // Asked without its trailing separator, so that a file of that name counts as present too
    // and is never replaced by a folder.
    if (kpath::Exists(std::string_view(storage).substr(0, storage.size() - 1))) {
        // A file that could not be copied is still in plugins, which nothing here empties; the
        // next synchronisation tries it again.
        if (refreshExisting)
            (void)fileops::CopyTree(plugins, storage);
        return StorageState::Existing;
    }
    if (!kfs::CreateFolder(kpath::ResolveNoCase(storage)).ok())
        return StorageState::NotCreated;
    (void)fileops::CopyTree(plugins, storage);
    return StorageState::Created;
}

int CopyMissingInUse(const CPluginList& inUse, const CPluginList& catalogue,
                     const std::string& korvaneFolder)
{
    const std::string storage = korvane::StorageFolder(korvaneFolder);
    const std::string plugins = korvane::PluginsFolder(korvaneFolder);
    fileops::FolderListings listings;
    int copied = 0;
    for (const auto& plugin : inUse.m_arrPlugins) {
        if (catalogue.Exists(plugin->m_strFileName))
            continue;
        (void)plugin->CopyFiles(plugins, storage, true, listings);
        ++copied;
    }
    return copied;
}

Outcome Synchronise(const std::string& korvaneFolder, bool refreshExistingStorage,
                    CPluginList& catalogue, CPluginList& inUse)
{
    catalogue.DeleteAll();
    inUse.DeleteAll();
    // Without a Korvane folder the storage and plugins folders would be relative names, taken
    // in whatever folder the program happens to run from.
    if (korvaneFolder.empty())
        return Outcome::NoKorvaneFolder;
    if (PrepareStorage(korvaneFolder, refreshExistingStorage) == StorageState::NotCreated)
        return Outcome::StorageNotCreated;

    const std::string storage = korvane::StorageFolder(korvaneFolder);
    catalogue.Rescan(storage);
    inUse.Rescan(korvane::PluginsFolder(korvaneFolder));
    if (CopyMissingInUse(inUse, catalogue, korvaneFolder) > 0)
        catalogue.Rescan(storage);
    return Outcome::Ready;
}

} // namespace korvane::storagesync
