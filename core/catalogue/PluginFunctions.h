#pragma once

#include "core/platform/Path.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvane {

// The functions one plug-in defines: the first definition of each name, letter case aside, over
// all of its scripts, in the order its folder lists the scripts and each script defines them.
struct PluginFunctions
{
    struct Definition
    {
        std::string name; // as the script writes it
        Path file;        // below the Korvane folder: plugins\weapons\sniper.cs
        std::uint64_t line = 0;
    };

    std::string key;
    std::string subdirectory; // as a record's: empty or "weapons\"
    std::vector<Definition> definitions;
};

} // namespace korvane
