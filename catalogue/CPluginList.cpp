#include "catalogue/CPluginList.h"

#include "platform/FileSystem.h"
#include "platform/KPath.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace {

constexpr std::string_view kScriptSuffix = ".cs";
constexpr std::string_view kKorvanePrefix = "Korvane.";

std::string Lowered(std::string_view text)
{
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; });
    return lowered;
}

bool IsPluginScript(std::string_view name)
{
    return kpath::EndsWithNoCase(name, kScriptSuffix) &&
           !kpath::StartsWithNoCase(name, kKorvanePrefix);
}

std::string KeyOf(std::string_view scriptName)
{
    return std::string(scriptName.substr(0, scriptName.find('.')));
}

} // namespace

void CPluginList::DeleteAll()
{
    m_arrPlugins.clear();
    m_arrPlugins.shrink_to_fit();
}

bool CPluginList::Exists(std::string_view key) const
{
    return Find(key) != nullptr;
}

CPluginInfo* CPluginList::Find(std::string_view key) const
{
    const auto found =
        std::find_if(m_arrPlugins.begin(), m_arrPlugins.end(), [key](const auto& plugin) {
            return kpath::EqualsNoCase(plugin->m_strFileName, key);
        });
    return found == m_arrPlugins.end() ? nullptr : found->get();
}

int CPluginList::ScanFolder(const std::string& root, const std::string& subdirectory)
{
    std::unordered_set<std::string> keys;
    for (const auto& plugin : m_arrPlugins)
        keys.insert(Lowered(plugin->m_strFileName));
    return ScanInto(root, subdirectory, keys);
}

int CPluginList::ScanInto(const std::string& root, const std::string& subdirectory,
                          std::unordered_set<std::string>& keys)
{
    const std::string folder = root + subdirectory;
    const auto entries = kfs::ListFolder(kpath::ResolveNoCase(folder));

    // Description files and icons are looked up by name without regard to case.
    std::unordered_map<std::string, const kfs::FolderEntry*> byName;
    byName.reserve(entries.size());
    for (const auto& entry : entries)
        byName.emplace(Lowered(entry.name), &entry);
    const auto lookup = [&byName](const std::string& name) -> const kfs::FolderEntry* {
        const auto found = byName.find(Lowered(name));
        return found == byName.end() ? nullptr : found->second;
    };

    int added = 0;
    for (const auto& entry : entries) {
        if (entry.isFolder) {
            added += ScanInto(root, subdirectory + entry.name + kpath::kStoredSeparator, keys);
            continue;
        }
        if (!IsPluginScript(entry.name))
            continue;
        const std::string key = KeyOf(entry.name);
        if (!keys.insert(Lowered(key)).second)
            continue; // the first script met for a key wins

        auto plugin = std::make_unique<CPluginInfo>(key, key, std::string(CPluginInfo::kUnknown));
        if (const auto* description = lookup(key + ".desc.txt"))
            plugin->ReadDescriptionFile(description->path);
        if (const auto* icon = lookup(key + ".ico"))
            plugin->m_strIconPath = folder + icon->name;
        plugin->m_strSubdirectory = subdirectory;
        m_arrPlugins.push_back(std::move(plugin));
        ++added;
    }
    return added;
}

int CPluginList::Rescan(const std::string& root)
{
    DeleteAll();
    return ScanFolder(root, {});
}

void CPluginList::CopyAll(const std::string& sourceRoot, const std::string& destinationRoot,
                          bool allFiles) const
{
    for (const auto& plugin : m_arrPlugins)
        plugin->CopyFiles(sourceRoot, destinationRoot, allFiles);
}
