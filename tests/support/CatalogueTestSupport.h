#pragma once

#include "core/catalogue/CPluginList.h"
#include "core/platform/FolderReader.h"
#include "core/platform/KPath.h"
#include "support/TestTree.h"

#include <filesystem>
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

// Every file below a folder with its bytes ("name=bytes", '/' between names), names lowered (a
// load may spell them as storage does); none for a missing folder.
inline QStringList Files(const TestTree& tree, const std::string& folder)
{
    QStringList files;
    const auto root = kpath::ToNative(tree.Path(folder));
    if (!std::filesystem::exists(root))
        return files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file())
            files << QString::fromStdString(
                kpath::Lowered(entry.path().lexically_relative(root).generic_string()) + "=" +
                *kfs::ReadFile(entry.path()));
    }
    files.sort();
    return files;
}

} // namespace korvane::testsupport
