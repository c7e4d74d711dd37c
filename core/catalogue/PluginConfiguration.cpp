#include "core/catalogue/PluginConfiguration.h"

#include "core/catalogue/FileOperations.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/platform/FileSystem.h"
#include "core/platform/KPath.h"

namespace pluginconfig {
namespace {

constexpr char kNoKorvaneFolder[] = "no Korvane folder is set";

korvane::Status EnsureFolder(const std::string& folder)
{
    const auto path = kpath::ResolveNoCase(folder);
    return kfs::IsFolder(path) ? korvane::Status::Ok() : kfs::CreateFolder(path);
}

} // namespace

korvane::Status SaveConfiguration(const std::string& korvaneFolder, const std::string& configName,
                                  const std::string& file, bool storeDirectory)
{
    // Without a Korvane folder there is no plugins folder to record.
    if (korvaneFolder.empty())
        return korvane::Status::Failure(kNoKorvaneFolder);
    CPluginList inUse;
    inUse.Rescan(korvane::PluginsFolder(korvaneFolder));
    inUse.m_strConfigName = configName;
    return inUse.WriteConfig(file, storeDirectory);
}

korvane::Result<LoadedConfiguration> LoadConfiguration(const std::string& korvaneFolder,
                                                       const std::string& file)
{
    // Without a Korvane folder the two folders would be taken relative to wherever the program
    // runs, and emptying "plugins" there could destroy anything.
    if (korvaneFolder.empty())
        return korvane::Status::Failure(kNoKorvaneFolder);
    const std::string storage = korvane::StorageFolder(korvaneFolder);
    const std::string plugins = korvane::PluginsFolder(korvaneFolder);
    const auto configPath = kpath::ResolveNoCase(file);
    const auto bytes = kfs::ReadFile(configPath);
    if (!bytes)
        return korvane::Status::Failure(kpath::FromNative(configPath) +
                                        ": the file cannot be read");
    // The plugins folder may hold the only copy of a plug-in or of any other file: it goes into
    // storage, never replacing what storage has, before the folder is emptied, and when any of it
    // cannot, the folder is not emptied. The file is read against storage after that, so a
    // plug-in it names that only the plugins folder had is found.
    if (auto ready = EnsureFolder(storage); !ready)
        return ready;
    if (auto secured = fileops::CopyTree(plugins, storage); !secured)
        return secured;
    LoadedConfiguration loaded;
    loaded.plugins.ReadConfigText(*bytes, storage);
    if (auto emptied = fileops::DeleteTree(plugins); !emptied)
        return emptied;
    fileops::FolderListings listings;
    for (const auto& plugin : loaded.plugins.m_arrPlugins) {
        if (auto copied = plugin->CopyFiles(storage, plugins, false, listings); !copied)
            loaded.notCopied.push_back({plugin->m_strFileName, copied.reason()});
    }
    return loaded;
}

} // namespace pluginconfig
