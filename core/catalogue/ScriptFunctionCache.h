#pragma once

#include "core/catalogue/ScriptFunctionReader.h"
#include "core/platform/Status.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <unordered_map>
#include <vector>

namespace korvane {

// The functions of the scripts read before, each kept with the stamp its file had then: a scan
// that finds a script's stamp unchanged takes its functions from here, so that after a change only
// the scripts that changed are read again. The window keeps one for its scans; one thread uses it
// at a time.
class ScriptFunctionCache
{
public:
    // What tells a script written again from the one read: its size and the time it was last
    // written. (Two writings of the same size within the file system's step of time look alike.)
    struct Stamp
    {
        std::uintmax_t size = 0;
        std::int64_t written = 0; // kfs::LastWriteStamp

        bool operator==(const Stamp&) const = default;
    };
    // The stamp of a file on the disk; nothing when the system cannot tell it.
    static std::optional<Stamp> StampOf(const std::filesystem::path& file);

    // The definitions of the script at this path on the disk, as ScriptFunctionReader::ReadFile
    // gives them: those kept for it while its stamp is the one it had when they were read. A
    // script that could not be read is read again next time.
    korvane::Result<std::vector<FunctionDefinition>> Read(const std::filesystem::path& file);
    // Forgets the scripts not asked for since the last Prune: those of plug-ins gone from use.
    void Prune();
    std::size_t Size() const { return m_scripts.size(); }

private:
    struct Script
    {
        Stamp stamp;
        std::vector<FunctionDefinition> definitions;
        bool asked = true;
    };
    std::unordered_map<std::filesystem::path::string_type, Script> m_scripts;
};

} // namespace korvane
