#include "core/catalogue/PluginUse.h"

#include "core/catalogue/CPluginInfo.h"
#include "core/catalogue/FileOperations.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/platform/KPath.h"

#include <algorithm>

namespace korvane::pluginuse {
namespace {

std::vector<kfs::FolderEntry> InUseFiles(const std::string& korvaneFolder,
                                         const CPluginInfo& plugin)
{
    return fileops::ListKeyFiles(
        kpath::ResolveNoCase(korvane::PluginsFolder(korvaneFolder) + plugin.m_strSubdirectory),
        plugin.m_strFileName);
}

// A stored-form path as the user's system writes it, for a reason.
std::string PathText(const std::string& storedPath)
{
    return kpath::FromNative(kpath::ResolveNoCase(storedPath));
}

} // namespace

korvane::Status UsePlugin(const std::string& korvaneFolder, const CPluginInfo& plugin)
{
    if (auto copied = plugin.CopyFiles(korvane::StorageFolder(korvaneFolder),
                                       korvane::PluginsFolder(korvaneFolder), false);
        !copied)
        return copied;
    const auto files = InUseFiles(korvaneFolder, plugin);
    const bool inUse = std::any_of(files.begin(), files.end(), [](const kfs::FolderEntry& file) {
        return kpath::EndsWithNoCase(file.name, ".cs");
    });
    if (!inUse)
        return korvane::Status::Failure(PathText(korvane::StorageFolder(korvaneFolder) +
                                                 plugin.m_strSubdirectory + plugin.m_strFileName +
                                                 ".cs") +
                                        ": the script is not in storage");
    return korvane::Status::Ok();
}

korvane::Status UnusePlugin(const std::string& korvaneFolder, const CPluginInfo& plugin)
{
    // Storage keeps every plug-in the player has had: a file only the plugins folder holds goes
    // there first, and stays in plugins when it cannot; one whose copy there differs stays too.
    const std::string storage = korvane::StorageFolder(korvaneFolder);
    const std::string plugins = korvane::PluginsFolder(korvaneFolder);
    if (!InUseFiles(korvaneFolder, plugin).empty()) {
        if (auto secured = plugin.CopyFiles(plugins, storage, true, fileops::Existing::MustMatch);
            !secured)
            return secured;
    }
    if (auto deleted = plugin.DeleteFiles(plugins); !deleted)
        return deleted;
    if (!InUseFiles(korvaneFolder, plugin).empty())
        return korvane::Status::Failure(
            PathText(plugins + plugin.m_strSubdirectory + plugin.m_strFileName) +
            ": a file of the plug-in is still there");
    return korvane::Status::Ok();
}

} // namespace korvane::pluginuse
