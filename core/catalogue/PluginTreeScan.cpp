#include "core/catalogue/PluginTreeScan.h"

#include "core/catalogue/PluginWalk.h"
#include "core/platform/FailureList.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"

#include <memory>
#include <string>
#include <unordered_set>
#include <utility>

namespace korvane {

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
    // Each folder's first script of a key: its subfolder and the key in lower case.
    std::unordered_set<std::string> keysOfFolders;
    pluginwalk::Handlers handlers;
    handlers.unlisted = [&failures](const korvane::Status& failure) { failures.Add(failure); };
    handlers.takes = [&keysOfFolders](const pluginwalk::Script& script) {
        // A subfolder's name holds no null character.
        return keysOfFolders.insert(script.subdirectory + '\0' + kpath::Lowered(script.key)).second;
    };
    handlers.found = [&list](std::unique_ptr<CPluginInfo> plugin) {
        list.m_arrPlugins.push_back(std::move(plugin));
    };
    pluginwalk::Walk(root.Stored(), {},
                     {.describe = false, .wholeFolders = true, .endFoldersWithSeparator = false},
                     handlers);
    return list;
}

} // namespace korvane
