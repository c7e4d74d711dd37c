#include "gui/FolderScan.h"

#include "core/catalogue/KorvaneFolders.h"
#include "core/catalogue/TextEncoding.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <functional>
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

QString Shown(std::string_view bytes)
{
    return QString::fromStdString(textencoding::EscapeBidiControls(textencoding::ToUtf8(bytes)));
}

// A path below storage as the window names it: "storage\weapons\sniper.cs".
QString InStorage(const std::string& path)
{
    return strings::Text(strings::kInStorage).arg(Shown(path));
}

// When the icon file was last written: all that tells of a picture replaced under the same
// name. Zero when there is no icon file. (Its size would cost a second call for each icon.)
std::uint64_t IconStamp(const std::string& iconPath)
{
    if (iconPath.empty())
        return 0;
    namespace fs = std::filesystem;
    std::error_code error;
    // The scan took the path from the disk's listings; only the Korvane folder's part may be
    // spelt otherwise there.
    auto written = fs::last_write_time(kpath::ToNative(iconPath), error);
    if (error)
        written = fs::last_write_time(Path(iconPath).OnDisk(), error);
    return error ? 0 : static_cast<std::uint64_t>(written.time_since_epoch().count());
}

} // namespace

FolderScan FolderScan::Read(const std::string& korvaneFolder)
{
    FolderScan scan;
    const std::string storage = StorageFolder(korvaneFolder).Stored();
    scan.catalogue.Rescan(storage);
    scan.inUse.Rescan(PluginsFolder(korvaneFolder).Stored());
    scan.DescribeTwins(storage);
    scan.MakeDigests();
    return scan;
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
    std::unordered_map<std::string, std::vector<size_t>> ofKey; // by key in lower case
    for (size_t index = 0; index < Size(); ++index) {
        const CPluginInfo& plugin = *Record(index);
        Digest digest;
        digest.identity = IdentityOf(plugin, IsTwin(index));
        digest.hash = std::hash<std::string_view>()(digest.identity);
        digest.fields = FieldsOf(plugin);
        digests.push_back(std::move(digest));
        ofKey[kpath::Lowered(plugin.m_strFileName)].push_back(index);
    }
    // A script in use is the plug-in of its key in the same subfolder of storage, a twin too,
    // else the one the scan uses.
    for (const auto& used : inUse.m_arrPlugins) {
        const auto found = ofKey.find(kpath::Lowered(used->m_strFileName));
        if (found == ofKey.end())
            continue;
        size_t which = found->second.front();
        for (const size_t index : found->second) {
            if (kpath::EqualsNoCase(Record(index)->m_strSubdirectory, used->m_strSubdirectory))
                which = index;
        }
        digests[which].inUse = true;
    }

    // A twin names the plug-in used in its place; that one names its twins' scripts.
    std::unordered_map<const CPluginInfo*, QStringList> othersOf;
    std::unordered_map<const CPluginInfo*, size_t> indexOf;
    for (size_t index = 0; index < catalogue.m_arrPlugins.size(); ++index)
        indexOf.emplace(catalogue.m_arrPlugins[index].get(), index);
    for (size_t t = 0; t < twins.size(); ++t) {
        const CPluginInfo& twin = *twins[t].record;
        const CPluginInfo* used = catalogue.Find(twin.m_strFileName);
        if (!used)
            continue;
        othersOf[used] << InStorage(twin.m_strSubdirectory + twins[t].script);
        digests[catalogue.m_arrPlugins.size() + t].mark =
            strings::Text(strings::kTwinPassedOver)
                .arg(Shown(used->m_strName), InStorage(used->m_strSubdirectory));
    }
    for (const auto& [used, others] : othersOf) {
        const char* text = others.size() == 1 ? strings::kSameKeyOne : strings::kSameKeyMany;
        digests[indexOf.at(used)].mark = strings::Text(text).arg(others.join(QStringLiteral(", ")));
    }
}

std::vector<std::filesystem::path> FolderScan::Folders() const
{
    std::vector<std::filesystem::path> folders = catalogue.Folders();
    folders.insert(folders.end(), inUse.Folders().begin(), inUse.Folders().end());
    return folders;
}

} // namespace korvane
