#include "core/catalogue/PluginFunctionReader.h"

#include "core/catalogue/CPluginInfo.h"
#include "core/catalogue/PluginScript.h"
#include "core/catalogue/ScriptFunctionCache.h"
#include "core/catalogue/ScriptFunctionReader.h"
#include "core/platform/KPath.h"

#include <unordered_set>

namespace korvane {

PluginFunctionReader::PluginFunctionReader(Path korvaneFolder, std::string_view folder,
                                           FailureList& failures, ScriptFunctionCache* cache)
    : m_korvaneFolder(std::move(korvaneFolder)), m_folder(folder), m_failures(failures),
      m_cache(cache)
{}

const std::filesystem::path& PluginFunctionReader::FolderOnDisk(const std::string& subdirectory)
{
    auto [found, added] = m_onDisk.try_emplace(subdirectory);
    if (added) {
        found->second = (Path(m_korvaneFolder.Stored() + m_folder) / subdirectory).OnDisk();
        m_failures.Add(m_listings.Failure(found->second));
    }
    return found->second;
}

PluginFunctions PluginFunctionReader::Read(const CPluginInfo& plugin)
{
    return Read(plugin.m_strSubdirectory, plugin.m_strFileName);
}

PluginFunctions PluginFunctionReader::Read(const std::string& subdirectory, const std::string& key)
{
    PluginFunctions plugin{key, subdirectory, {}};
    std::unordered_set<std::string> names; // lowered: the game does not tell letter case apart
    const std::filesystem::path& folder = FolderOnDisk(subdirectory);
    for (const kfs::FolderEntry& script : m_listings.KeyFiles(folder, key)) {
        if (!pluginscript::IsScript(script.name))
            continue;
        auto definitions =
            m_cache ? m_cache->Read(script.path) : ScriptFunctionReader::ReadFile(script.path);
        if (!definitions) {
            m_failures.Add(definitions.status());
            continue;
        }
        const Path file = Path(m_folder + subdirectory) / script.name;
        for (FunctionDefinition& definition : std::move(definitions).value()) {
            if (names.insert(kpath::Lowered(definition.name)).second)
                plugin.definitions.push_back({std::move(definition.name), file, definition.line});
        }
    }
    return plugin;
}

} // namespace korvane
