#include "core/catalogue/PluginUse.h"

#include "core/catalogue/ConfigBackup.h"
#include "core/catalogue/CPluginInfo.h"
#include "core/catalogue/FolderListings.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/catalogue/PluginTreeScan.h"
#include "core/catalogue/TreeCopy.h"
#include "core/platform/FailureList.h"
#include "core/platform/FolderListing.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"
#include "res/Strings.h"

#include <algorithm>
#include <chrono>

namespace korvane::pluginuse {
namespace {

korvane::Result<std::vector<kfs::FolderEntry>> InUseFiles(const Path& korvaneFolder,
                                                          const CPluginInfo& plugin)
{
    return fileops::ListKeyFiles(
        (korvane::PluginsFolder(korvaneFolder) / plugin.m_strSubdirectory).OnDisk(),
        plugin.m_strFileName);
}

// A stored-form path as the user's system writes it, for a reason.
std::string PathText(const Path& path)
{
    return kpath::FromNative(path.OnDisk());
}

// The record itself and, for every other subfolder of plugins holding a script of its key, a
// record of the key in that subfolder.
korvane::Result<std::vector<CPluginInfo>> HoldersOfKey(const Path& plugins,
                                                       const CPluginInfo& plugin)
{
    const auto every = ScanPluginTree(plugins);
    if (!every)
        return every.status();
    std::vector<CPluginInfo> holders;
    holders.push_back(plugin);
    for (const auto& found : every->m_arrPlugins) {
        const bool counted = std::any_of(holders.begin(), holders.end(), [&](const auto& held) {
            return Path(held.m_strSubdirectory).SameAs(Path(found->m_strSubdirectory));
        });
        if (!counted && kpath::EqualsNoCase(found->m_strFileName, plugin.m_strFileName))
            holders.push_back(*found);
    }
    return holders;
}

} // namespace

korvane::Status UsePlugin(const Path& korvaneFolder, const CPluginInfo& plugin)
{
    if (auto copied = plugin.CopyFiles(korvane::StorageFolder(korvaneFolder).Stored(),
                                       korvane::PluginsFolder(korvaneFolder).Stored(), false);
        !copied)
        return copied;
    const auto files = InUseFiles(korvaneFolder, plugin);
    if (!files)
        return files.status();
    const bool inUse = std::any_of(files->begin(), files->end(), [](const kfs::FolderEntry& file) {
        return kpath::EndsWithNoCase(file.name, ".cs");
    });
    if (!inUse)
        return korvane::Status::Failure(
            PathText(korvane::StorageFolder(korvaneFolder) /
                     (plugin.m_strSubdirectory + plugin.m_strFileName + ".cs")) +
            strings::kReasonScriptNotInStorage);
    return korvane::Status::Success();
}

korvane::Status UnusePlugin(const Path& korvaneFolder, const CPluginInfo& plugin,
                            const settle::Settlement& settlement)
{
    if (auto settled = settle::Settle(korvaneFolder, settlement, std::chrono::system_clock::now());
        !settled)
        return settled.status();
    // Storage keeps every plug-in the player has had: a file only the plugins folder holds goes
    // there first, and stays in plugins when it cannot; one whose copy there differs stays too.
    const Path storage = korvane::StorageFolder(korvaneFolder);
    const Path plugins = korvane::PluginsFolder(korvaneFolder);
    const auto holders = HoldersOfKey(plugins, plugin);
    if (!holders)
        return holders.status();
    FailureList failures;
    for (const CPluginInfo& inUse : *holders) {
        const auto files = InUseFiles(korvaneFolder, inUse);
        if (!files) {
            failures.Add(files.status());
            continue;
        }
        if (files->empty())
            continue;
        if (auto secured = inUse.CopyFiles(plugins.Stored(), storage.Stored(), true,
                                           fileops::Existing::MustMatch);
            !secured) {
            failures.Add(secured);
            continue;
        }
        failures.Add(inUse.DeleteFiles(plugins.Stored()));
        if (const auto left = InUseFiles(korvaneFolder, inUse); !left)
            failures.Add(left.status());
        else if (!left->empty())
            failures.Add(korvane::Status::Failure(
                PathText(plugins / (inUse.m_strSubdirectory + inUse.m_strFileName)) +
                ": a file of the plug-in is still there"));
    }
    return failures.ToStatus();
}

korvane::Result<settle::Copies> DifferingCopies(const Path& korvaneFolder,
                                                const CPluginInfo& plugin)
{
    const Path storage = korvane::StorageFolder(korvaneFolder);
    const auto holders = HoldersOfKey(korvane::PluginsFolder(korvaneFolder), plugin);
    if (!holders)
        return holders.status();
    settle::Copies copies;
    FailureList failures;
    fileops::FolderListings storageListings;
    for (const CPluginInfo& inUse : *holders) {
        const auto files = InUseFiles(korvaneFolder, inUse);
        if (!files) {
            failures.Add(files.status());
            continue;
        }
        const auto stored = (storage / inUse.m_strSubdirectory).OnDisk();
        for (const auto& file : *files) {
            const auto copy = storageListings.Find(stored, file.name);
            if (!copy || storageListings.HoldsNonFile(stored, file.name))
                continue;
            const auto same = fileops::HoldSameBytes(file.path, *copy);
            if (!same)
                failures.Add(same.status());
            else if (!*same)
                copies.push_back(inUse.m_strSubdirectory + file.name);
        }
        failures.Add(storageListings.Failure(stored));
    }
    if (!failures.empty())
        return failures.ToStatus();
    return copies;
}

bool InUseElsewhere(const Path& korvaneFolder, const CPluginInfo& plugin)
{
    const auto holders = HoldersOfKey(korvane::PluginsFolder(korvaneFolder), plugin);
    return holders && holders->size() > 1;
}

} // namespace korvane::pluginuse
