#include "core/catalogue/ScriptFunctionCache.h"

#include "core/platform/FileSystem.h"

#include <system_error>

namespace korvane {

std::optional<ScriptFunctionCache::Stamp>
ScriptFunctionCache::StampOf(const std::filesystem::path& file)
{
    std::error_code error;
    Stamp stamp;
    stamp.size = std::filesystem::file_size(file, error);
    if (error)
        return std::nullopt;
    const auto written = kfs::LastWriteStamp(file);
    if (!written)
        return std::nullopt;
    stamp.written = *written;
    return stamp;
}

korvane::Result<std::vector<FunctionDefinition>>
ScriptFunctionCache::Read(const std::filesystem::path& file)
{
    // Taken before the reading: a script written meanwhile then has another stamp next time.
    const auto stamp = StampOf(file);
    const auto kept = m_scripts.find(file.native());
    if (stamp && kept != m_scripts.end() && kept->second.stamp == *stamp) {
        kept->second.asked = true;
        return kept->second.definitions;
    }
    auto read = ScriptFunctionReader::ReadFile(file);
    if (!read || !stamp) {
        if (kept != m_scripts.end())
            m_scripts.erase(kept);
        return read;
    }
    m_scripts.insert_or_assign(file.native(), Script{*stamp, read.value(), true});
    return read;
}

void ScriptFunctionCache::Prune()
{
    std::erase_if(m_scripts, [](const auto& script) { return !script.second.asked; });
    for (auto& [file, script] : m_scripts)
        script.asked = false;
}

} // namespace korvane
