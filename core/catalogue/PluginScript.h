#pragma once

#include "core/platform/KPath.h"

#include <string>
#include <string_view>

// What makes a file a plug-in's script, and the key it gives the plug-in.
namespace korvane::pluginscript {

// A script ends in .cs in any letter case; the modification's own scripts (Korvane.*) are never
// plug-ins.
inline bool IsPluginScript(std::string_view name)
{
    return kpath::EndsWithNoCase(name, ".cs") && !kpath::StartsWithNoCase(name, "Korvane.");
}

// The part of a script's name before its first dot.
inline std::string KeyOf(std::string_view scriptName)
{
    return std::string(scriptName.substr(0, scriptName.find('.')));
}

} // namespace korvane::pluginscript
