#include "core/catalogue/FunctionClashes.h"

#include "core/catalogue/CPluginList.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/catalogue/PluginFunctionReader.h"
#include "core/catalogue/PluginTreeScan.h"
#include "core/catalogue/ScriptFunctionCache.h"
#include "core/platform/FailureList.h"
#include "core/platform/KPath.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace korvane::functionclashes {

namespace {

// Function names as the game tells them apart: without regard to letter case.
struct NoCaseHash
{
    size_t operator()(std::string_view name) const
    {
        size_t hash = 14695981039346656037ull; // FNV-1a
        for (const char c : name)
            hash = (hash ^ static_cast<unsigned char>(kpath::LowerAscii(c))) * 1099511628211ull;
        return hash;
    }
};
struct NoCaseEqual
{
    bool operator()(std::string_view a, std::string_view b) const
    {
        return kpath::EqualsNoCase(a, b);
    }
};
// Names are views of the plug-ins' own, which outlive every map of them.
template <class T> using ByName = std::unordered_map<std::string_view, T, NoCaseHash, NoCaseEqual>;

// The plug-ins that define the functions asked for, gathered one plug-in after another. A
// plug-in's functions hold one definition of each name (PluginFunctions), so each plug-in comes
// once to a function.
class Gathering
{
public:
    void Expect(std::string_view name)
    {
        if (m_index.try_emplace(name, m_clashes.size()).second)
            m_clashes.emplace_back();
    }

    void Add(const PluginFunctions& plugin)
    {
        for (const PluginFunctions::Definition& definition : plugin.definitions) {
            const auto found = m_index.find(definition.name);
            if (found == m_index.end())
                continue;
            FunctionClash& clash = m_clashes[found->second];
            if (clash.plugins.empty())
                clash.function = definition.name;
            clash.plugins.push_back(
                {plugin.key, plugin.subdirectory, definition.file, definition.line});
        }
    }

    // The functions of two plug-ins or more, by name.
    std::vector<FunctionClash> Clashes() &&
    {
        std::erase_if(m_clashes,
                      [](const FunctionClash& clash) { return clash.plugins.size() < 2; });
        std::sort(m_clashes.begin(), m_clashes.end(), [](const auto& a, const auto& b) {
            return kpath::CompareNoCase(a.function, b.function) < 0;
        });
        return std::move(m_clashes);
    }

private:
    ByName<size_t> m_index; // into m_clashes
    std::vector<FunctionClash> m_clashes;
};

bool IsCopyOf(const PluginFunctions& plugin, const PluginFunctions& candidate)
{
    return kpath::EqualsNoCase(plugin.key, candidate.key) &&
           Path(plugin.subdirectory).SameAs(Path(candidate.subdirectory));
}

} // namespace

std::vector<FunctionClash> Among(const std::vector<PluginFunctions>& plugins)
{
    // First how many plug-ins define each function: only those of more are gathered.
    ByName<size_t> counts;
    for (const PluginFunctions& plugin : plugins) {
        for (const PluginFunctions::Definition& definition : plugin.definitions)
            ++counts[definition.name];
    }
    Gathering gathering;
    for (const auto& [name, count] : counts) {
        if (count > 1)
            gathering.Expect(name);
    }
    for (const PluginFunctions& plugin : plugins)
        gathering.Add(plugin);
    return std::move(gathering).Clashes();
}

std::vector<FunctionClash> WouldMake(const std::vector<PluginFunctions>& inUse,
                                     const PluginFunctions& candidate)
{
    Gathering gathering;
    for (const PluginFunctions::Definition& definition : candidate.definitions)
        gathering.Expect(definition.name);
    for (const PluginFunctions& plugin : inUse) {
        if (!IsCopyOf(plugin, candidate))
            gathering.Add(plugin);
    }
    gathering.Add(candidate);
    return std::move(gathering).Clashes();
}

InUse ReadInUse(const Path& korvaneFolder, ScriptFunctionCache* cache)
{
    FailureList failures;
    const CPluginList found = ScanPluginTree(PluginsFolder(korvaneFolder), failures);
    PluginFunctionReader reader(korvaneFolder, kPluginsFolderName, failures, cache);
    InUse inUse;
    inUse.plugins.reserve(found.m_arrPlugins.size());
    for (const auto& plugin : found.m_arrPlugins)
        inUse.plugins.push_back(reader.Read(*plugin));
    inUse.clashes = Among(inUse.plugins);
    inUse.unreadable = failures.ToStatus();
    if (cache)
        cache->Prune();
    return inUse;
}

} // namespace korvane::functionclashes
