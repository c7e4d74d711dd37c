#pragma once

#include "core/catalogue/PluginFunctions.h"
#include "core/platform/Path.h"
#include "core/platform/Status.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvane {

class ScriptFunctionCache;

// A function that two or more plug-ins in use define. The game keeps the definition it loads
// last, so the others' code never runs where they call it, and nothing says so.
struct FunctionClash
{
    // A plug-in that defines the function, and where it first does.
    struct Definer
    {
        std::string key;
        std::string subdirectory; // as a record's: empty or "weapons\"
        Path file;                // below the Korvane folder: plugins\weapons\sniper.cs
        std::uint64_t line = 0;
    };

    std::string function; // as the first of its plug-ins writes it
    std::vector<Definer> plugins;
};

// Finding the functions that plug-ins in use define alike. Plug-ins are compared only with one
// another: the modification's own scripts outside storage and plugins are never read, as plug-ins
// are meant to replace their functions.
namespace functionclashes {

// The functions that two or more of the plug-ins define, names compared without regard to letter
// case as the game compares them, sorted so by name (then by their bytes); each with its plug-ins
// in the order given, the scan's. A plug-in defining a function twice clashes with no one: its
// functions hold one definition of each name.
std::vector<FunctionClash> Among(const std::vector<PluginFunctions>& plugins);

// The clashes candidate would make if it were put in use beside inUse: each function it defines
// that plug-ins of inUse define too, sorted as Among sorts them, with those plug-ins in their
// order and the candidate last. A plug-in of inUse of the candidate's key and subfolder, its own
// copy in use, is left out.
std::vector<FunctionClash> WouldMake(const std::vector<PluginFunctions>& inUse,
                                     const PluginFunctions& candidate);

// What the plug-ins in use define and where they clash.
struct InUse
{
    // Every plug-in of the plugins folder in scan order: each key once in each subfolder that
    // holds scripts of it, since the game loads them all.
    std::vector<PluginFunctions> plugins;
    std::vector<FunctionClash> clashes;
    // Why folders and scripts could not be read, each named: their functions are not compared.
    // Ok when everything was read.
    korvane::Status unreadable = korvane::Status::Success();
};

// Reads the scripts of every plug-in in the plugins folder of korvaneFolder (a full path ending
// in a separator) and finds their clashes. Reads only, and touches no widget: the window runs it
// on its scan thread with a cache of its own, which then reads again only the scripts that
// changed, and forgets afterwards the scripts this look did not ask for.
InUse ReadInUse(const Path& korvaneFolder, ScriptFunctionCache* cache = nullptr);

} // namespace functionclashes

} // namespace korvane
