#pragma once

#include "core/catalogue/TextEncoding.h"
#include "core/platform/KPath.h"

#include <string>
#include <string_view>

// What makes a file a plug-in's script, and the key it gives the plug-in.
namespace korvane::pluginscript {

// The part of a script's name before its first dot.
inline std::string_view KeyPart(std::string_view scriptName)
{
    return scriptName.substr(0, scriptName.find('.'));
}

inline std::string KeyOf(std::string_view scriptName)
{
    return std::string(KeyPart(scriptName));
}

// A key names the plug-in's files, configuration lines and the plug-in wherever it is shown or
// typed: it is not empty (".tmp.cs" is no plug-in: its key would name every file that starts with
// a dot) and holds no control character (no line of a listing or a configuration could hold it).
inline bool IsUsableKey(std::string_view key)
{
    return !key.empty() && !textencoding::HoldsControl(key);
}

// A script of the game's: its name ends in .cs in any letter case.
inline bool IsScript(std::string_view name)
{
    return kpath::EndsWithNoCase(name, ".cs");
}

// A plug-in's script is a script that gives a usable key; the modification's own scripts
// (Korvane.*) are never plug-ins.
inline bool IsPluginScript(std::string_view name)
{
    return IsScript(name) && !kpath::StartsWithNoCase(name, "Korvane.") &&
           IsUsableKey(KeyPart(name));
}

} // namespace korvane::pluginscript
