#include "gui/FolderScan.h"

#include "core/catalogue/FunctionClashes.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/platform/FileSystem.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"
#include "gui/ClashTexts.h"
#include "gui/ShownText.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <functional>
#include <optional>
#include <QStringList>
#include <set>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace korvane {

namespace {

// The record of the plug-in key in folder (storage + subdirectory) as the scan would have made it.
std::unique_ptr<CPluginInfo> Describe(const std::string& storageFolder,
                                      const std::string& subdirectory, const std::string& key)
{
    auto record = std::make_unique<CPluginInfo>(key, key, std::string(CPluginInfo::kUnknown));
    const std::string folder = storageFolder + subdirectory;
    record->ReadDescription(folder, key);
    record->m_strSubdirectory = subdirectory;
    std::error_code error;
    const std::string icon = folder + key + ".ico";
    if (std::filesystem::is_regular_file(Path(icon).OnDisk(), error))
        record->m_strIconPath = icon;
    return record;
}

// A path below storage as the window names it: "storage\weapons\sniper.cs".
QString InStorage(const std::string& path)
{
    return strings::Text(strings::kInStorage).arg(ShownText(path));
}

// When the icon file was last written: all that tells of a picture replaced under the same
// name. Zero when there is no icon file. (Its size would cost a second call for each icon.)
std::uint64_t IconStamp(const std::string& iconPath)
{
    if (iconPath.empty())
        return 0;
    // The scan took the path from the disk's listings; only the Korvane folder's part may be
    // spelt otherwise there.
    auto written = kfs::LastWriteStamp(kpath::ToNative(iconPath));
    if (!written)
        written = kfs::LastWriteStamp(Path(iconPath).OnDisk());
    return written ? static_cast<std::uint64_t>(*written) : 0;
}

// The records of each key, in lower case, by number in the scan's order.
using RecordsOfKey = std::unordered_map<std::string, std::vector<size_t>>;

// The record of a plug-in in use, the key in a subfolder of plugins: the plug-in of its key in the
// same subfolder of storage, a twin too, else the one the scan uses. None when storage holds no
// plug-in of its key.
std::optional<size_t> RecordInUse(const FolderScan& scan, const RecordsOfKey& ofKey,
                                  const std::string& key, const std::string& subdirectory)
{
    const auto found = ofKey.find(kpath::Lowered(key));
    if (found == ofKey.end())
        return std::nullopt;
    size_t which = found->second.front();
    for (const size_t index : found->second) {
        if (kpath::EqualsNoCase(scan.Record(index)->m_strSubdirectory, subdirectory))
            which = index;
    }
    return which;
}

// Gives a plug-in a mark more, on a line of its own.
void AddMark(FolderScan::Digest& digest, const QString& mark, FolderScan::Mark kind)
{
    digest.mark += (digest.mark.isEmpty() ? QString() : QStringLiteral("\n")) + mark;
    digest.marks |= kind;
}

// A twin names the plug-in used in its place; that one names its twins' scripts.
void MarkTwins(FolderScan& scan)
{
    const CPluginList& catalogue = scan.catalogue;
    std::unordered_map<const CPluginInfo*, QStringList> othersOf;
    std::unordered_map<const CPluginInfo*, size_t> indexOf;
    for (size_t index = 0; index < catalogue.m_arrPlugins.size(); ++index)
        indexOf.emplace(catalogue.m_arrPlugins[index].get(), index);
    for (size_t t = 0; t < scan.twins.size(); ++t) {
        const CPluginInfo& twin = *scan.twins[t].record;
        const CPluginInfo* used = catalogue.Find(twin.m_strFileName);
        if (!used)
            continue;
        othersOf[used] << InStorage(twin.m_strSubdirectory + scan.twins[t].script);
        AddMark(scan.digests[catalogue.m_arrPlugins.size() + t],
                strings::Text(strings::kTwinPassedOver)
                    .arg(ShownText(used->m_strName), InStorage(used->m_strSubdirectory)),
                FolderScan::kSharesFileName);
    }
    for (const auto& [used, others] : othersOf) {
        const char* text = others.size() == 1 ? strings::kSameKeyOne : strings::kSameKeyMany;
        AddMark(scan.digests[indexOf.at(used)],
                strings::Text(text).arg(others.join(QStringLiteral(", "))),
                FolderScan::kSharesFileName);
    }
}

// Names the plug-ins in use as the window shows them, and marks every record that stands for a
// plug-in of a clash with its functions and a few of the other plug-ins of each.
void MarkClashes(FolderScan& scan, const RecordsOfKey& ofKey)
{
    const auto recordOf = [&scan, &ofKey](const auto& plugin) {
        return RecordInUse(scan, ofKey, plugin.key, plugin.subdirectory);
    };
    const auto nameOf = [&scan](std::optional<size_t> record, const std::string& key) {
        return ShownText(record ? scan.Record(*record)->m_strName : key);
    };
    for (const PluginFunctions& plugin : scan.functions.plugins())
        scan.functions.setName(plugin, nameOf(recordOf(plugin), plugin.key));

    struct Marked
    {
        std::vector<clashtexts::Shared> functions;
        const FunctionClash* last = nullptr; // a copy in another subfolder may come again
    };
    std::unordered_map<size_t, Marked> marked; // by record
    std::vector<std::optional<size_t>> records;
    for (const FunctionClash& clash : scan.functions.clashes()) {
        const auto& definers = clash.plugins;
        records.clear();
        for (const FunctionClash::Definer& definer : definers)
            records.push_back(recordOf(definer));
        for (size_t d = 0; d < definers.size(); ++d) {
            if (!records[d])
                continue;
            Marked& plugin = marked[*records[d]];
            if (plugin.last == &clash)
                continue;
            plugin.last = &clash;
            clashtexts::Shared shared{QString::fromStdString(clash.function),
                                      {},
                                      static_cast<qsizetype>(definers.size() - 1)};
            for (size_t o = 0; o < definers.size() && shared.others.size() < clashtexts::kFew;
                 ++o) {
                // Its own copy in another subfolder of plugins is named by its file.
                if (o != d)
                    shared.others << (records[o] == records[d]
                                          ? ShownText(definers[o].file.Stored())
                                          : nameOf(records[o], definers[o].key));
            }
            plugin.functions.push_back(std::move(shared));
        }
    }
    for (const auto& [record, plugin] : marked)
        AddMark(scan.digests[record], clashtexts::Mark(plugin.functions), FolderScan::kClashes);
}

} // namespace

FolderScan FolderScan::Read(const std::string& korvaneFolder, ScriptFunctionCache* cache)
{
    FolderScan scan;
    const std::string storage = StorageFolder(korvaneFolder).Stored();
    scan.catalogue.Rescan(storage);
    scan.inUse.Rescan(PluginsFolder(korvaneFolder).Stored());
    scan.DescribeTwins(storage);
    scan.ReadFunctions(korvaneFolder, cache);
    scan.MakeDigests();
    return scan;
}

void FolderScan::ReadFunctions(const std::string& korvaneFolder, ScriptFunctionCache* cache)
{
    functions = InUseFunctions(functionclashes::ReadInUse(korvaneFolder, cache));
}

void FolderScan::DescribeTwins(const std::string& storageFolder)
{
    twins.clear();
    // Scripts of one key in the folder of the plug-in shown are that plug-in's, copied with it;
    // several in another folder make one twin.
    std::set<std::pair<std::string, std::string>> described;
    for (const auto& script : catalogue.PassedOver()) {
        const CPluginInfo* shown = catalogue.Find(script.key);
        if (!shown || shown->m_strSubdirectory == script.subdirectory ||
            !described.emplace(script.subdirectory, shown->m_strFileName).second)
            continue;
        twins.push_back(
            {Describe(storageFolder, script.subdirectory, script.key), script.fileName});
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
    RecordsOfKey ofKey;
    for (size_t index = 0; index < Size(); ++index) {
        const CPluginInfo& plugin = *Record(index);
        Digest digest;
        digest.identity = IdentityOf(plugin, IsTwin(index));
        digest.hash = std::hash<std::string_view>()(digest.identity);
        digest.fields = FieldsOf(plugin);
        digests.push_back(std::move(digest));
        ofKey[kpath::Lowered(plugin.m_strFileName)].push_back(index);
    }
    for (const auto& used : inUse.m_arrPlugins) {
        if (const auto which =
                RecordInUse(*this, ofKey, used->m_strFileName, used->m_strSubdirectory))
            digests[*which].inUse = true;
    }
    MarkTwins(*this);
    MarkClashes(*this, ofKey);
}

std::vector<std::filesystem::path> FolderScan::Folders() const
{
    std::vector<std::filesystem::path> folders = catalogue.Folders();
    folders.insert(folders.end(), inUse.Folders().begin(), inUse.Folders().end());
    return folders;
}

} // namespace korvane
