#pragma once

#include "core/catalogue/CPluginInfo.h"
#include "core/catalogue/KeyIndex.h"
#include "core/platform/Path.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace korvane {

// An owning list of plug-in records: the catalogue of a folder, or the plug-ins a configuration
// names. Keys are looked up without regard to case, through an index of the first record of each
// key that the list's own members keep; records added or removed in m_arrPlugins directly are
// still found, by a search of the whole list.
class CPluginList
{
public:
    CPluginList() = default;
    CPluginList(const CPluginList&) = delete;
    CPluginList& operator=(const CPluginList&) = delete;
    CPluginList(CPluginList&&) = default;
    CPluginList& operator=(CPluginList&&) = default;
    virtual ~CPluginList() = default;

    void DeleteAll();
    bool Exists(std::string_view key) const;
    // The first record with this key, or null. The record stays owned by the list.
    CPluginInfo* Find(std::string_view key) const;

    // Adds a record for every new script in root + subdirectory and below; returns how many.
    int ScanFolder(const std::string& root, const std::string& subdirectory);
    // Empties the list and scans root again; returns the number of records.
    int Rescan(const std::string& root);

    // The most a configuration file may hold. It lists keys, a line each: 100,000 plug-ins in
    // use, each in a subfolder, take a few MiB; a larger file is something else, and is not
    // read whole into memory.
    static constexpr std::size_t kMaxConfigBytes = 16 << 20;

    // Writes the list as a configuration file: its name, whether subfolders are stored, and one
    // Plugin line per record (the record's subfolder, or NULL without them). Fails, naming the
    // file and the cause, when it could not be written; a file already there is then left as it
    // was. A configuration larger than kMaxConfigBytes, which could not be read back, is not
    // written.
    korvane::Status WriteConfig(const std::string& file, bool storeDirectory) const;
    // The bytes of the configuration file at a file-system path; a failure naming it when it
    // cannot be read or holds more than kMaxConfigBytes.
    static korvane::Result<std::string> ReadConfigFile(const std::filesystem::path& file);
    // Replaces the list by the plug-ins of storageFolder that the bytes of a configuration file
    // name, and takes its name. Gives the keys the file names that storage holds no plug-in of,
    // each once, in file order.
    std::vector<std::string> ReadConfigText(std::string_view bytes, const Path& storageFolder);
    // True when the last ReadConfigText refused a line of this key: its subfolder or key is no
    // name that Windows keeps as written (kpath::IsWindowsName). Such a key is among the missing.
    bool RefusedByName(const std::string& key) const { return m_refusedNames.contains(key); }
    // Splits text at the first separator. False, and nothing changed, when there is none.
    static bool SplitAt(std::string_view text, std::string& before, std::string& after,
                        char separator);

    // A script the scan passed over because a plug-in of the same key came first.
    struct PassedOverScript
    {
        std::string subdirectory; // as a record's
        std::string fileName;
        std::string key;
    };
    // Those of the scans since the list was last emptied.
    const std::vector<PassedOverScript>& PassedOver() const { return m_passedOver; }
    // Why folders of the scans since the list was last emptied could not be read (their
    // plug-ins are missing from the list); ok when every folder was read.
    korvane::Status Unreadable() const;
    // Why description files the scans since the list was last emptied found could not be read,
    // each named: their plug-ins are listed with the texts of a plug-in without one. Ok when
    // every one was read (one that went away meanwhile counts as none).
    korvane::Status UnreadableDescriptions() const;
    // Every folder the scans since the list was last emptied listed, the roots first: a window
    // that shows the list follows these for changes.
    const std::vector<std::filesystem::path>& Folders() const { return m_folders; }

    int GetSize() const { return static_cast<int>(m_arrPlugins.size()); }
    CPluginInfo* GetAt(int index) const
    {
        return m_arrPlugins.at(static_cast<size_t>(index)).get();
    }

    std::vector<std::unique_ptr<CPluginInfo>> m_arrPlugins;
    std::string m_strConfigName;

private:
    // Adds a record at the end, keeping the index.
    void Append(std::unique_ptr<CPluginInfo> plugin);
    void Reindex();
    CPluginInfo* FindBySearch(std::string_view key) const;

    // The first record of each key, for the records m_indexedCount counts.
    KeyIndex m_firstByKey;
    size_t m_indexedCount = 0;
    std::vector<PassedOverScript> m_passedOver;
    std::vector<std::string> m_unreadable;
    std::vector<std::string> m_unreadableDescriptions;
    std::vector<std::filesystem::path> m_folders;
    std::unordered_set<std::string> m_refusedNames;
};

} // namespace korvane
