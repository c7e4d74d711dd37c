#include "core/catalogue/FolderScan.h"

#include "core/catalogue/KorvaneFolders.h"
#include "core/catalogue/PluginWalk.h"
#include "core/platform/FileSystem.h"
#include "core/platform/FolderListing.h"
#include "core/platform/FolderReader.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"

#include <algorithm>
#include <functional>
#include <set>
#include <string_view>
#include <utility>

namespace korvane {

namespace {

// When the icon file was last written: all that tells of a picture replaced under the same
// name. Zero when there is no icon file. (Its size would cost a second call for each icon.)
std::uint64_t IconStamp(const std::string& iconPath)
{
    if (iconPath.empty())
        return 0;
    // The scan took the path from the disk's listings; only the Korvane folder's part may be
    // spelt otherwise there. Taken as given first: finding every name's letter case again would
    // cost a look at each folder above it, for each of thousands of icons.
    const Path icon(iconPath);
    auto written = kfs::LastWriteStamp(icon.AsGiven());
    if (!written)
        written = kfs::LastWriteStamp(icon.OnDisk());
    return written ? static_cast<std::uint64_t>(*written) : 0;
}

// Describes twins as the scan describes any plug-in, from the listing of their subfolder of
// storage, listed again only when the subfolder changes from one twin to the next.
class TwinDescriber
{
public:
    explicit TwinDescriber(const Path& storageFolder) : m_storage(storageFolder) {}

    std::unique_ptr<CPluginInfo> Describe(const CPluginList::PassedOverScript& script)
    {
        if (!m_reader || m_subdirectory != script.subdirectory)
            List(script.subdirectory);
        for (size_t index = 0; index < m_entries.Count(); ++index) {
            if (m_entries.Name(index) == script.fileName)
                return pluginwalk::Describe(m_storage.Stored(), script.subdirectory, script.key,
                                            m_entries, index, *m_reader, m_bytes)
                    .record;
        }
        // Gone since the scan: nothing is beside it either.
        return pluginwalk::MakeRecord(m_storage.Stored(), script.subdirectory, script.key, {},
                                      nullptr, {});
    }

private:
    void List(const std::string& subdirectory)
    {
        m_subdirectory = subdirectory;
        const auto folder = (m_storage / subdirectory).OnDisk();
        m_entries = kfs::ListFolderNames(folder);
        m_reader.emplace(folder);
    }

    const Path& m_storage;
    std::string m_subdirectory;
    kfs::FolderListing m_entries;
    std::optional<kfs::FolderReader> m_reader;
    std::string m_bytes;
};

} // namespace

FolderScan FolderScan::Read(const Path& korvaneFolder, ScriptFunctionCache* cache)
{
    FolderScan scan;
    const Path storage = StorageFolder(korvaneFolder);
    scan.catalogue.Rescan(storage.Stored());
    scan.inUse.Rescan(PluginsFolder(korvaneFolder).Stored());
    scan.DescribeTwins(storage);
    scan.ReadFunctions(korvaneFolder, cache);
    scan.MakeDigests();
    return scan;
}

void FolderScan::ReadFunctions(const Path& korvaneFolder, ScriptFunctionCache* cache)
{
    functions = functionclashes::ReadInUse(korvaneFolder, cache);
}

void FolderScan::DescribeTwins(const Path& storageFolder)
{
    twins.clear();
    TwinDescriber describer(storageFolder);
    // Scripts of one key in the folder of the plug-in shown are that plug-in's, copied with it;
    // several in another folder make one twin.
    std::set<std::pair<std::string, std::string>> described;
    for (const auto& script : catalogue.PassedOver()) {
        const CPluginInfo* shown = catalogue.Find(script.key);
        if (!shown || shown->m_strSubdirectory == script.subdirectory ||
            !described.emplace(script.subdirectory, shown->m_strFileName).second)
            continue;
        twins.push_back({describer.Describe(script), script.fileName});
    }
}

std::unique_ptr<CPluginInfo>& FolderScan::Record(size_t index)
{
    const size_t plugins = catalogue.m_arrPlugins.size();
    return index < plugins ? catalogue.m_arrPlugins[index] : twins[index - plugins].record;
}

const std::unique_ptr<CPluginInfo>& FolderScan::Record(size_t index) const
{
    const size_t plugins = catalogue.m_arrPlugins.size();
    return index < plugins ? catalogue.m_arrPlugins[index] : twins[index - plugins].record;
}

size_t FolderScan::KeyHash(std::string_view key)
{
    size_t hash = 0xcbf29ce484222325ULL;
    for (const char c : key)
        hash = (hash ^ static_cast<unsigned char>(kpath::LowerAscii(c))) * 0x100000001b3ULL;
    return hash;
}

std::optional<size_t> FolderScan::RecordInUse(const std::string& key,
                                              const std::string& subdirectory) const
{
    const size_t hash = KeyHash(key);
    auto candidate = std::lower_bound(m_byKeyHash.begin(), m_byKeyHash.end(),
                                      std::pair<size_t, size_t>(hash, 0));
    std::optional<size_t> which;
    for (; candidate != m_byKeyHash.end() && candidate->first == hash; ++candidate) {
        const CPluginInfo& record = *Record(candidate->second);
        if (!kpath::EqualsNoCase(record.m_strFileName, key))
            continue;
        if (!which || kpath::EqualsNoCase(record.m_strSubdirectory, subdirectory))
            which = candidate->second;
    }
    return which;
}

std::string FolderScan::IdentityOf(const CPluginInfo& plugin, bool twin)
{
    // A subfolder's name holds no null character.
    std::string identity(twin ? "t" : "p");
    identity.append(plugin.m_strSubdirectory).append(1, '\0').append(plugin.m_strFileName);
    return identity;
}

std::uint64_t FolderScan::FieldsOf(const CPluginInfo& plugin)
{
    std::uint64_t hash = 0;
    for (const std::string* field :
         {&plugin.m_strName, &plugin.m_strFileName, &plugin.m_strCategory, &plugin.m_strDescription,
          &plugin.m_strAuthor, &plugin.m_strIconPath, &plugin.m_strSubdirectory,
          &plugin.m_descriptionFile})
        hash = (hash ^ std::hash<std::string_view>()(*field)) * 0x100000001b3ULL + field->size();
    return (hash ^ IconStamp(plugin.m_strIconPath)) * 0x100000001b3ULL;
}

void FolderScan::MakeDigests()
{
    digests.clear();
    digests.reserve(Size());
    for (size_t index = 0; index < Size(); ++index) {
        const CPluginInfo& plugin = *Record(index);
        Digest digest;
        digest.identity = IdentityOf(plugin, IsTwin(index));
        digest.hash = std::hash<std::string_view>()(digest.identity);
        digest.fields = FieldsOf(plugin);
        digests.push_back(std::move(digest));
    }
    const std::vector<bool> used = RecordsInUse();
    for (size_t index = 0; index < Size(); ++index)
        digests[index].inUse = used[index];
}

std::vector<bool> FolderScan::RecordsInUse()
{
    m_byKeyHash.clear();
    m_byKeyHash.reserve(Size());
    for (size_t index = 0; index < Size(); ++index)
        m_byKeyHash.emplace_back(KeyHash(Record(index)->m_strFileName), index);
    std::sort(m_byKeyHash.begin(), m_byKeyHash.end());
    std::vector<bool> used(Size(), false);
    for (const auto& copy : inUse.m_arrPlugins) {
        if (const auto which = RecordInUse(copy->m_strFileName, copy->m_strSubdirectory))
            used[*which] = true;
    }
    return used;
}

std::vector<std::filesystem::path> FolderScan::Folders() const
{
    std::vector<std::filesystem::path> folders = catalogue.Folders();
    folders.insert(folders.end(), inUse.Folders().begin(), inUse.Folders().end());
    return folders;
}

} // namespace korvane
