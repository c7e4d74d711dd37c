#pragma once

#include "core/catalogue/CPluginList.h"
#include "support/TestTree.h"

#include <QStringList>
#include <string>

// Records of the catalogue for its tests.
namespace korvane::testsupport {

// Each plug-in's subfolder and key, in the list's order.
inline QStringList Keys(const CPluginList& list)
{
    QStringList keys;
    for (const auto& plugin : list.m_arrPlugins)
        keys << QString::fromStdString(plugin->m_strSubdirectory + plugin->m_strFileName);
    return keys;
}

inline CPluginInfo Plugin(const std::string& key, const std::string& subdirectory = {})
{
    CPluginInfo plugin(key, key, "Unknown");
    plugin.m_strSubdirectory = subdirectory;
    return plugin;
}

// Copies the plug-in's files from the tree's storage folder into its plugins folder.
inline korvane::Status CopyIn(const TestTree& tree, const CPluginInfo& plugin,
                              bool allFiles = false)
{
    return plugin.CopyFiles(tree.Path("storage\\"), tree.Path("plugins\\"), allFiles);
}

} // namespace korvane::testsupport
