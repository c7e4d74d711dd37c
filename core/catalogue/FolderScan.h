#pragma once

#include "core/catalogue/CPluginInfo.h"
#include "core/catalogue/CPluginList.h"
#include "core/catalogue/FunctionClashes.h"
#include "core/platform/Path.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvane {

class ScriptFunctionCache;

// What a Korvane folder holds, as the window shows it: the scans of its storage and plugins
// folders, and a record for each stored twin, a script that the scan passed over because a
// script of the same key came first in another subfolder. Made away from the window, with
// everything a later scan is compared by, so that the window only applies what changed. The
// functions that the plug-ins in use define are read with it.
class FolderScan
{
public:
    struct Twin
    {
        // Its fields come from the description file and icon beside the script, as for any
        // plug-in.
        std::unique_ptr<CPluginInfo> record;
        std::string script; // the file name of the first script of its key in its subfolder
    };
    // What a plug-in is known and compared by from one scan to the next.
    struct Digest
    {
        std::string identity;     // its subfolder and key, and whether it is a twin
        size_t hash = 0;          // of identity
        std::uint64_t fields = 0; // of every field the window shows, and of its icon file
        bool inUse = false;       // the plugins folder holds a script of it (RecordInUse)
    };

    CPluginList catalogue; // storage
    CPluginList inUse;     // plugins
    // One for each subfolder holding a twin, in the scan's order.
    std::vector<Twin> twins;
    // One for each plug-in of the catalogue, then each twin.
    std::vector<Digest> digests;
    // What the plug-ins in use define, and where they clash.
    functionclashes::InUse functions;

    // Scans both folders of korvaneFolder (a full path ending in a separator), describes the
    // twins, reads the functions of the plug-ins in use and makes the digests. Reads only: it
    // may run on any thread, with a cache no other thread uses meanwhile.
    static FolderScan Read(const Path& korvaneFolder, ScriptFunctionCache* cache = nullptr);
    // The twins of catalogue, a scan of storageFolder.
    void DescribeTwins(const Path& storageFolder);
    // Reads the scripts of the plug-ins in use: through the cache, when given, only those that
    // changed since it last read them.
    void ReadFunctions(const Path& korvaneFolder, ScriptFunctionCache* cache);
    void MakeDigests();
    // For each record by number, whether a copy in use stands for it (RecordInUse); of the
    // digests, all that a list of the plug-ins needs.
    std::vector<bool> RecordsInUse();

    // The plug-ins of the catalogue, then the twins, by number.
    size_t Size() const { return catalogue.m_arrPlugins.size() + twins.size(); }
    std::unique_ptr<CPluginInfo>& Record(size_t index);
    const std::unique_ptr<CPluginInfo>& Record(size_t index) const;
    bool IsTwin(size_t index) const { return index >= catalogue.m_arrPlugins.size(); }

    // The record that a copy in use, the key in a subfolder of plugins, stands for: the plug-in
    // of its key in the same subfolder of storage, a twin too, else the one the scan uses. None
    // when storage holds no plug-in of its key. Known once the digests are made.
    std::optional<size_t> RecordInUse(const std::string& key,
                                      const std::string& subdirectory) const;

    // Every folder either scan read, each scan's root first.
    std::vector<std::filesystem::path> Folders() const;

    static std::string IdentityOf(const CPluginInfo& plugin, bool twin);
    static std::uint64_t FieldsOf(const CPluginInfo& plugin);

private:
    // The hash of a key that every letter case of it shares.
    static size_t KeyHash(std::string_view key);

    // Each record's number after the hash of its key, sorted: the records of a key follow one
    // another in the scan's order. Small beside the records, and kept as long as they are.
    std::vector<std::pair<size_t, size_t>> m_byKeyHash;
};

} // namespace korvane
