#include "core/catalogue/PluginConfiguration.h"

#include "core/catalogue/FileOperations.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/platform/FileSystem.h"
#include "core/platform/KPath.h"

namespace pluginconfig {
namespace {

bool EnsureFolder(const std::string& folder)
{
    const auto path = kpath::ResolveNoCase(folder);
    return kfs::IsFolder(path) || kfs::CreateFolder(path);
}

} // namespace

bool SaveConfiguration(const std::string& korvaneFolder, const std::string& configName,
                       const std::string& file, bool storeDirectory)
{
    // Without a Korvane folder there is no plugins folder to record.
    if (korvaneFolder.empty())
        return false;
    CPluginList inUse;
    inUse.Rescan(korvane::PluginsFolder(korvaneFolder));
    inUse.m_strConfigName = configName;
    return inUse.WriteConfig(file, storeDirectory);
}

std::optional<CPluginList> LoadConfiguration(const std::string& korvaneFolder,
                                             const std::string& file)
{
    // Without a Korvane folder the two folders would be taken relative to wherever the program
    // runs, and emptying "plugins" there could destroy anything.
    if (korvaneFolder.empty())
        return std::nullopt;
    const std::string storage = korvane::StorageFolder(korvaneFolder);
    const std::string plugins = korvane::PluginsFolder(korvaneFolder);
    const auto bytes = kfs::ReadFile(kpath::ResolveNoCase(file));
    if (!bytes)
        return std::nullopt;
    // The plugins folder may hold the only copy of a plug-in or of any other file: it goes into
    // storage, never replacing what storage has, before the folder is emptied. The file is read
    // against storage after that, so a plug-in it names that only the plugins folder had is found.
    if (!EnsureFolder(storage))
        return std::nullopt;
    fileops::CopyTree(plugins, storage);
    CPluginList loaded;
    loaded.ReadConfigText(*bytes, storage);
    fileops::DeleteTree(plugins);
    loaded.CopyAll(storage, plugins, false);
    return loaded;
}

} // namespace pluginconfig
