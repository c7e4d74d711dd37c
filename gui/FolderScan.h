#pragma once

#include "core/catalogue/CPluginInfo.h"
#include "core/catalogue/CPluginList.h"
#include "gui/InUseFunctions.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <QString>
#include <string>
#include <vector>

namespace korvane {

class ScriptFunctionCache;

// What the window shows of a Korvane folder: the scans of its storage and plugins folders, and
// a record for each stored twin, a script that the scan passed over because a script of the same
// key came first in another subfolder. Made away from the window, with everything the window
// compares a later scan by, so that the window only applies what changed. The functions that the
// plug-ins in use define are read with it, and mark the plug-ins that clash.
struct FolderScan
{
    struct Twin
    {
        // Its fields come from the description file and icon beside the script, as for any
        // plug-in.
        std::unique_ptr<CPluginInfo> record;
        std::string script; // the file name of the first script of its key in its subfolder
    };
    // What the window knows a plug-in by and compares it by.
    struct Digest
    {
        std::string identity;     // its subfolder and key, and whether it is a twin
        size_t hash = 0;          // of identity
        std::uint64_t fields = 0; // of every field the window shows, and of its icon file
        bool inUse = false;       // the plugins folder holds a script of it
        QString mark;             // why the window marks it; empty when it does not
        unsigned marks = 0;       // what mark tells of: Mark values, for its category's mark
    };
    enum Mark : unsigned
    {
        kSharesFileName = 1, // a twin, or the plug-in used in place of twins
        kClashes = 2,        // in use, it defines a function that another plug-in in use defines
    };

    CPluginList catalogue; // storage
    CPluginList inUse;     // plugins
    // One for each subfolder holding a twin, in the scan's order.
    std::vector<Twin> twins;
    // One for each plug-in of the catalogue, then each twin.
    std::vector<Digest> digests;
    // What the plug-ins in use define; MakeDigests names them.
    InUseFunctions functions;

    // Scans both folders of korvaneFolder (a full path ending in a separator), describes the
    // twins, reads the functions of the plug-ins in use and makes the digests. Reads only,
    // touches no widget: it may run on any thread, with a cache no other thread uses meanwhile.
    static FolderScan Read(const std::string& korvaneFolder, ScriptFunctionCache* cache = nullptr);
    // The twins of catalogue, a scan of storageFolder.
    void DescribeTwins(const std::string& storageFolder);
    // Reads the scripts of the plug-ins in use: through the cache, when given, only those that
    // changed since it last read them.
    void ReadFunctions(const std::string& korvaneFolder, ScriptFunctionCache* cache);
    void MakeDigests();

    // The plug-ins of the catalogue, then the twins, by number.
    size_t Size() const { return catalogue.m_arrPlugins.size() + twins.size(); }
    std::unique_ptr<CPluginInfo>& Record(size_t index);
    const std::unique_ptr<CPluginInfo>& Record(size_t index) const;
    bool IsTwin(size_t index) const { return index >= catalogue.m_arrPlugins.size(); }

    // Every folder either scan read, each scan's root first.
    std::vector<std::filesystem::path> Folders() const;

    static std::string IdentityOf(const CPluginInfo& plugin, bool twin);
    static std::uint64_t FieldsOf(const CPluginInfo& plugin);
};

} // namespace korvane
