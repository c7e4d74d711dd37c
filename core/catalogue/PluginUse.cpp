#include "core/catalogue/PluginUse.h"

#include "core/catalogue/CPluginInfo.h"
#include "core/catalogue/FileOperations.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/platform/KPath.h"

#include <algorithm>

namespace pluginuse {
namespace {

std::vector<kfs::FolderEntry> InUseFiles(const std::string& korvaneFolder,
                                         const CPluginInfo& plugin)
{
    return fileops::ListKeyFiles(
        kpath::ResolveNoCase(korvane::PluginsFolder(korvaneFolder) + plugin.m_strSubdirectory),
        plugin.m_strFileName);
}

} // namespace

bool UsePlugin(const std::string& korvaneFolder, const CPluginInfo& plugin)
{
    plugin.CopyFiles(korvane::StorageFolder(korvaneFolder), korvane::PluginsFolder(korvaneFolder),
                     false);
    const auto files = InUseFiles(korvaneFolder, plugin);
    return std::any_of(files.begin(), files.end(), [](const kfs::FolderEntry& file) {
        return kpath::EndsWithNoCase(file.name, ".cs");
    });
}

bool UnusePlugin(const std::string& korvaneFolder, const CPluginInfo& plugin)
{
    plugin.DeleteFiles(korvane::PluginsFolder(korvaneFolder));
    return InUseFiles(korvaneFolder, plugin).empty();
}

} // namespace pluginuse
