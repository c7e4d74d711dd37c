#include "core/catalogue/PluginTreeScan.h"

#include "core/catalogue/PluginScript.h"
#include "core/platform/FailureList.h"
#include "core/platform/FolderListing.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"

#include <memory>
#include <unordered_set>

namespace korvane {
namespace {

void AddEvery(CPluginList& list, const std::string& subdirectory,
              const std::filesystem::path& folder, FailureList& failures)
{
    const auto entries = kfs::ListFolder(folder);
    if (!entries) {
        failures.Add(entries.status());
        return;
    }
    std::unordered_set<std::string> keysHere;
    for (const auto& entry : *entries) {
        // A name the stored form cannot keep would lead elsewhere, or open a device; the scans
        // that list plug-ins report it (CPluginList::Unreadable).
        if (!kpath::IsStorableName(entry.name))
            continue;
        if (entry.isFolder) {
            AddEvery(list, subdirectory + entry.name + kpath::kStoredSeparator, entry.path,
                     failures);
            continue;
        }
        if (!entry.isFile || !pluginscript::IsPluginScript(entry.name))
            continue;
        const std::string key = pluginscript::KeyOf(entry.name);
        if (!keysHere.insert(kpath::Lowered(key)).second)
            continue;
        auto plugin = std::make_unique<CPluginInfo>(key, key, std::string(CPluginInfo::kUnknown));
        plugin->m_strSubdirectory = subdirectory;
        list.m_arrPlugins.push_back(std::move(plugin));
    }
}

} // namespace

korvane::Result<CPluginList> ScanPluginTree(const Path& root)
{
    FailureList failures;
    CPluginList list = ScanPluginTree(root, failures);
    if (!failures.empty())
        return failures.ToStatus();
    return list;
}

CPluginList ScanPluginTree(const Path& root, FailureList& failures)
{
    CPluginList list;
    AddEvery(list, {}, root.OnDisk(), failures);
    return list;
}

} // namespace korvane
