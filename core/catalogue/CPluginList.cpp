#include "core/catalogue/CPluginList.h"

#include "core/catalogue/FolderListings.h"
#include "core/catalogue/PluginScript.h"
#include "core/catalogue/PluginWalk.h"
#include "core/catalogue/TextFile.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/FailureList.h"
#include "core/platform/FileSystem.h"
#include "core/platform/FolderListing.h"
#include "core/platform/FolderReader.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"
#include "res/Strings.h"

#include <algorithm>
#include <unordered_set>

namespace korvane {

namespace {

using pluginscript::IsPluginScript;
using pluginscript::KeyOf;

// The first file of entries with this name in any letter case.
const kfs::FolderEntry* FindEntry(const std::vector<kfs::FolderEntry>& entries,
                                  std::string_view name)
{
    const auto found = std::find_if(entries.begin(), entries.end(), [name](const auto& entry) {
        return entry.isFile && kpath::EqualsNoCase(entry.name, name);
    });
    return found == entries.end() ? nullptr : &*found;
}

// A configuration names a stored plug-in by its key: a script the scan would take for that key
// (key.cs or key.<anything>.cs, in any letter case) must be there. The key is literal text.
bool IsScriptOf(const kfs::FolderEntry& entry, std::string_view key)
{
    return entry.isFile && IsPluginScript(entry.name) &&
           kpath::EqualsNoCase(KeyOf(entry.name), key);
}

// A subfolder read from a configuration file: empty, or folder names each ending in a separator,
// never leading out of the folder it is joined to.
bool IsStoredSubfolder(std::string_view subdirectory)
{
    return subdirectory.empty() ||
           (kpath::EndsWithSeparator(subdirectory) && kpath::IsContainedRelative(subdirectory));
}

// A subfolder and key from a configuration line name the files the Windows game would find by
// those names, on every system.
bool IsConfiguredName(std::string_view subdirectory, const std::string& key)
{
    return kpath::IsWindowsRelative(subdirectory) && kpath::IsWindowsName(key + ".cs");
}

// A value on a line of its own: a line break in it would start a line of another meaning.
std::string OneLine(std::string text)
{
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

// The record of the plug-in key of storageFolder + subdirectory, or null when no script of it is
// stored there.
std::unique_ptr<CPluginInfo> StoredPlugin(fileops::FolderListings& listings,
                                          const Path& storageFolder,
                                          const std::filesystem::path& storageOnDisk,
                                          const std::string& subdirectory, const std::string& key)
{
    // A subfolder that leads elsewhere would have the plug-in copied from and to places outside
    // the storage and plugins folders. A script's key never holds a dot.
    if (!IsStoredSubfolder(subdirectory) || key.find('.') != std::string::npos ||
        !IsConfiguredName(subdirectory, key))
        return nullptr;
    // Found through the listings, not the disk: each line may name another subfolder, and
    // finding one's letter case on the disk lists the folder it is in.
    const auto found = listings.Below(storageOnDisk, subdirectory);
    if (!found)
        return nullptr;
    const std::filesystem::path& folder = *found;
    const auto files = listings.KeyFiles(folder, key);
    const bool stored = std::any_of(files.begin(), files.end(),
                                    [&key](const auto& entry) { return IsScriptOf(entry, key); });
    if (!stored)
        return nullptr;
    const kfs::FolderEntry* description = FindEntry(files, key + ".desc.txt");
    std::string bytes;
    const bool described =
        description &&
        kfs::ReadFile(folder, description->name, bytes, CPluginInfo::kMaxDescriptionBytes).ok();
    const kfs::FolderEntry* icon = FindEntry(files, key + ".ico");
    return pluginwalk::MakeRecord(
        storageFolder.Stored(), subdirectory, key,
        described ? std::string_view(description->name) : std::string_view(),
        described ? &bytes : nullptr, icon ? std::string_view(icon->name) : std::string_view());
}

} // namespace

void CPluginList::DeleteAll()
{
    m_arrPlugins.clear();
    m_arrPlugins.shrink_to_fit();
    m_firstByKey.Clear();
    m_indexedCount = 0;
    m_passedOver.clear();
    m_unreadable.clear();
    m_unreadableDescriptions.clear();
    m_folders.clear();
}

bool CPluginList::Exists(std::string_view key) const
{
    return Find(key) != nullptr;
}

CPluginInfo* CPluginList::Find(std::string_view key) const
{
    // Records added or removed around the index are searched for.
    if (m_indexedCount != m_arrPlugins.size())
        return FindBySearch(key);
    KeyIndex::Match match = KeyIndex::Match::None;
    CPluginInfo* const found = m_firstByKey.Find(key, &match);
    // A record whose key was changed in place is no longer the one indexed.
    return match == KeyIndex::Match::Changed ? FindBySearch(key) : found;
}

CPluginInfo* CPluginList::FindBySearch(std::string_view key) const
{
    const auto found =
        std::find_if(m_arrPlugins.begin(), m_arrPlugins.end(), [key](const auto& plugin) {
            return kpath::EqualsNoCase(plugin->m_strFileName, key);
        });
    return found == m_arrPlugins.end() ? nullptr : found->get();
}

void CPluginList::Append(std::unique_ptr<CPluginInfo> plugin)
{
    if (m_indexedCount != m_arrPlugins.size())
        Reindex();
    // The first record of a key is the one found: a later one of the same key is only listed.
    m_firstByKey.Insert(plugin.get());
    m_arrPlugins.push_back(std::move(plugin));
    ++m_indexedCount;
}

void CPluginList::Reindex()
{
    m_firstByKey.Clear();
    m_firstByKey.Reserve(m_arrPlugins.size());
    for (const auto& plugin : m_arrPlugins)
        m_firstByKey.Insert(plugin.get());
    m_indexedCount = m_arrPlugins.size();
}

int CPluginList::ScanFolder(const std::string& root, const std::string& subdirectory)
{
    if (m_indexedCount != m_arrPlugins.size())
        Reindex();
    int added = 0;
    pluginwalk::Handlers handlers;
    handlers.listed = [this](const std::filesystem::path& folder) { m_folders.push_back(folder); };
    handlers.unlisted = [this](const korvane::Status& failure) {
        m_unreadable.push_back(failure.reason());
    };
    handlers.unstorable = [this](std::string reason) { m_unreadable.push_back(std::move(reason)); };
    handlers.takes = [this](const pluginwalk::Script& script) {
        if (!m_firstByKey.Find(script.key))
            return true;
        // The first script met for a key wins.
        m_passedOver.push_back({script.subdirectory, std::string(script.fileName), script.key});
        return false;
    };
    handlers.found = [this, &added](std::unique_ptr<CPluginInfo> plugin) {
        Append(std::move(plugin));
        ++added;
    };
    handlers.undescribed = [this](std::string reason) {
        m_unreadableDescriptions.push_back(std::move(reason));
    };
    pluginwalk::Walk(root, subdirectory, {}, handlers);
    return added;
}

korvane::Status CPluginList::Unreadable() const
{
    FailureList failures;
    for (const std::string& reason : m_unreadable)
        failures.Add(korvane::Status::Failure(reason));
    return failures.ToStatus();
}

korvane::Status CPluginList::UnreadableDescriptions() const
{
    FailureList failures;
    for (const std::string& reason : m_unreadableDescriptions)
        failures.Add(korvane::Status::Failure(reason));
    return failures.ToStatus();
}

int CPluginList::Rescan(const std::string& root)
{
    DeleteAll();
    return ScanFolder(root, {});
}

bool CPluginList::SplitAt(std::string_view text, std::string& before, std::string& after,
                          char separator)
{
    const size_t at = text.find(separator);
    if (at == std::string_view::npos)
        return false;
    before.assign(text.substr(0, at));
    after.assign(text.substr(at + 1));
    return true;
}

korvane::Status CPluginList::WriteConfig(const std::string& file, bool storeDirectory) const
{
    std::string text = "Name=" + OneLine(m_strConfigName) + "\n";
    text += storeDirectory ? "UseDirectory=TRUE\n" : "UseDirectory=FALSE\n";
    for (const auto& plugin : m_arrPlugins) {
        text += "Plugin=";
        text += storeDirectory ? OneLine(plugin->m_strSubdirectory) : std::string("NULL");
        text += ',' + OneLine(plugin->m_strFileName) + '\n';
    }
    const std::string disk = textfile::ToDiskText(text);
    if (disk.size() > kMaxConfigBytes)
        return korvane::Status::Failure(kpath::FromNative(Path(file).AsGiven()) + ": " +
                                        strings::kReasonConfigWouldBeTooLarge);
    // The path is the one the user chose, taken exactly: another file that differs only in
    // letter case is not the one to replace.
    return kfs::WriteFileAtomically(Path(file).AsGiven(), disk);
}

korvane::Result<std::string> CPluginList::ReadConfigFile(const std::filesystem::path& file)
{
    auto bytes = kfs::ReadFile(file, kMaxConfigBytes);
    if (!bytes)
        return bytes.status();
    if (bytes->size() > kMaxConfigBytes)
        return korvane::Status::Failure(kpath::FromNative(file) + ": " +
                                        strings::kReasonConfigTooLarge);
    return std::move(bytes).value();
}

std::vector<std::string> CPluginList::ReadConfigText(std::string_view bytes,
                                                     const Path& storageFolder)
{
    DeleteAll();
    m_strConfigName.clear();
    m_refusedNames.clear();

    // Lines take effect in file order: a Plugin line obeys the UseDirectory line before it.
    bool useDirectory = false;
    std::unordered_set<std::string> keys;
    std::vector<std::string> named; // in file order
    std::vector<std::string> missing;
    std::unordered_set<std::string> noted;
    const auto noteMissing = [&missing, &noted](const std::string& key) {
        if (noted.insert(key).second)
            missing.push_back(key);
    };
    fileops::FolderListings listings;
    const auto storageOnDisk = storageFolder.OnDisk();
    std::string key, value, subdirectory, pluginKey;
    textfile::ForEachLine(bytes, [&](std::string_view line) {
        if (!SplitAt(line, key, value, '='))
            return;
        if (kpath::EqualsNoCase(key, "name")) {
            m_strConfigName = value;
        } else if (kpath::EqualsNoCase(key, "usedirectory")) {
            useDirectory = kpath::EqualsNoCase(value, "true");
        } else if (kpath::EqualsNoCase(key, "plugin") &&
                   SplitAt(value, subdirectory, pluginKey, ',')) {
            if (useDirectory) {
                if (!IsConfiguredName(subdirectory, pluginKey))
                    m_refusedNames.insert(pluginKey);
                if (auto plugin = StoredPlugin(listings, storageFolder, storageOnDisk, subdirectory,
                                               pluginKey))
                    Append(std::move(plugin));
                else
                    noteMissing(pluginKey);
            } else if (keys.insert(pluginKey).second) {
                named.push_back(pluginKey);
            }
        }
    });
    if (useDirectory) {
        if (auto unreadable = listings.Failures(); !unreadable)
            m_unreadable.push_back(unreadable.reason());
        return missing;
    }

    // Without subfolders a key names the plug-in that a scan of storage lists for it, when the
    // two agree in letter case too.
    for (const std::string& key : named)
        if (!IsConfiguredName({}, key))
            m_refusedNames.insert(key);
    ScanFolder(storageFolder.Stored(), {});
    std::erase_if(m_arrPlugins, [this, &keys](const auto& plugin) {
        return !keys.contains(plugin->m_strFileName) ||
               m_refusedNames.contains(plugin->m_strFileName);
    });
    Reindex();
    std::unordered_set<std::string> stored;
    for (const auto& plugin : m_arrPlugins)
        stored.insert(plugin->m_strFileName);
    for (const std::string& key : named)
        if (!stored.contains(key))
            noteMissing(key);
    return missing;
}

} // namespace korvane
