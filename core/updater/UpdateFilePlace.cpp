#include "core/updater/UpdateFilePlace.h"

#include "core/catalogue/CPluginList.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/catalogue/TextEncoding.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"
#include "core/updater/CUpdateInfo.h"
#include "res/Strings.h"

#include <algorithm>
#include <QString>
#include <string_view>
#include <vector>

namespace korvane {

namespace {

constexpr std::string_view kStorage = "storage";
constexpr std::string_view kBackups = "backups";

std::string LocalName(std::string_view listBytes)
{
    return textencoding::ToUtf8(listBytes);
}

// The list's bytes with every byte a URL cannot carry as it is percent-encoded, so that the
// server sees the name byte for byte. Within a name, '%', '#' and '?' are part of the name; in
// the base URL they keep their meaning.
std::string UrlBytes(std::string_view bytes, bool hasName)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || (hasName && (c == '%' || c == '#' || c == '?'))) {
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 0xF];
        } else {
            url += c;
        }
    }
    return url;
}

std::string FileUrl(const CUpdateInfo& update, const CUpdateFileInfo& file)
{
    std::string subDir = file.m_strSubDir;
    for (char& c : subDir) {
        if (c == '\\')
            c = '/';
    }
    return UrlBytes(update.m_strBaseURL, false) + UrlBytes(subDir, true) +
           UrlBytes(file.m_strFile, true);
}

// rel begins with the folder name "storage" (any letter case) and a separator.
bool IsBelowStorage(std::string_view rel)
{
    return rel.size() > kStorage.size() && kpath::StartsWithNoCase(rel, kStorage) &&
           kpath::IsSeparator(rel[kStorage.size()]);
}

// The copy in use of a file that goes to storage lies at the same place below plugins\.
std::string InUsePlace(const Path& korvaneFolder, const std::string& target,
                       const std::string& subDir, const std::string& name)
{
    const Path plugins = PluginsFolder(korvaneFolder.AsFolder());
    if (IsBelowStorage(target))
        return (plugins / (target.substr(kStorage.size() + 1) + subDir + name)).Stored();
    if (target.empty() && IsBelowStorage(subDir))
        return (plugins / (subDir.substr(kStorage.size() + 1) + name)).Stored();
    return {};
}

std::string KeyOf(const std::string& name)
{
    const size_t dot = name.find('.');
    return dot != std::string::npos && dot > 0 ? name.substr(0, dot) : std::string();
}

korvane::Status Unsafe(std::string_view listBytes)
{
    return korvane::Status::Failure(QString::fromUtf8(strings::kReasonUnsafeName)
                                        .arg(QString::fromStdString(LocalName(listBytes)))
                                        .toStdString());
}

// A name by which Windows would reach another entry than the one named, or a device: the Korvane
// folder is the Windows game's on every system, and a check of the name as written would not see
// where the write lands ("storage." is storage).
korvane::Status NotKept(std::string_view listBytes)
{
    return korvane::Status::Failure(LocalName(listBytes) + ": " + strings::kReasonNotWindowsName);
}

// The names of a stored-form path, without the empty ones two separators in a row leave.
std::vector<std::string_view> NamesOf(std::string_view path)
{
    std::vector<std::string_view> names;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t end = std::min(path.find_first_of("\\/", start), path.size());
        if (end > start)
            names.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

// Windows drops the dots and blanks that end a name: "backups." is the backups folder there.
bool IsBackupsName(std::string_view name)
{
    const size_t kept = name.find_last_not_of(". ");
    return kept != std::string_view::npos &&
           kpath::EqualsNoCase(name.substr(0, kept + 1), kBackups);
}

// The program keeps its own files under the Korvane folder: the backups folder (copies that
// settlements and installations set aside, and the install journal) and names that start with a
// dot (the lock file, the temporary files of writes under way). An update that would write there
// could destroy the only copy of a player's file, or the lock of another run. rel is the file's
// path below the Korvane folder, in the list's bytes.
korvane::Status RefuseProgramsOwn(std::string_view rel)
{
    const std::vector<std::string_view> names = NamesOf(rel);
    const char* reason = nullptr;
    if (!names.empty() && IsBackupsName(names.front()))
        reason = strings::kReasonIntoBackups;
    for (const std::string_view name : names) {
        if (name.front() == '.')
            reason = strings::kReasonDotName;
    }
    if (!reason)
        return korvane::Status::Success();
    return korvane::Status::Failure(
        QString::fromUtf8(reason).arg(QString::fromStdString(LocalName(rel))).toStdString());
}

} // namespace

std::string UpdateFilePlace::Destination(const CUpdateInfo& update, const Path& korvaneFolder)
{
    // A target given without its closing separator still names a folder.
    std::string destination =
        korvaneFolder.AsFolder().Stored() + LocalName(update.m_strTargetDir);
    if (!update.m_strTargetDir.empty() && !kpath::EndsWithSeparator(destination))
        destination.push_back(kpath::kStoredSeparator);
    return destination;
}

korvane::Result<std::vector<UpdateFilePlace>> UpdateFilePlace::Of(const CUpdateInfo& update,
                                                                  const Path& korvaneFolder)
{
    // A name from the network that could lead out of the destination is never used.
    if (!kpath::IsContainedRelative(update.m_strTargetDir))
        return Unsafe(update.m_strTargetDir);
    // The target is made also for an update without files; with files, the reason names one.
    if (update.m_arrFiles.empty()) {
        if (korvane::Status own = RefuseProgramsOwn(update.m_strTargetDir); !own)
            return own;
        if (!kpath::IsWindowsRelative(LocalName(update.m_strTargetDir)))
            return NotKept(update.m_strTargetDir);
    }
    const std::string destination = Destination(update, korvaneFolder);
    const std::string target = LocalName(update.m_strTargetDir);
    std::vector<UpdateFilePlace> places;
    places.reserve(update.m_arrFiles.size());
    for (const CUpdateFileInfo& file : update.m_arrFiles) {
        if (!kpath::IsPlainName(file.m_strFile) || !kpath::IsContainedRelative(file.m_strSubDir))
            return Unsafe(file.m_strSubDir + file.m_strFile);
        std::string rel = update.m_strTargetDir;
        if (!rel.empty() && !kpath::EndsWithSeparator(rel))
            rel.push_back(kpath::kStoredSeparator);
        rel += file.m_strSubDir + file.m_strFile;
        if (korvane::Status own = RefuseProgramsOwn(rel); !own)
            return own;
        if (!kpath::IsWindowsRelative(LocalName(rel)))
            return NotKept(rel);
        UpdateFilePlace place;
        place.file = &file;
        place.subFolder = LocalName(file.m_strSubDir);
        const std::string name = LocalName(file.m_strFile);
        place.listed = place.subFolder + name;
        place.stored = destination + place.subFolder + name;
        place.inUseCopy = InUsePlace(korvaneFolder, target, place.subFolder, name);
        place.key = KeyOf(name);
        place.url = FileUrl(update, file);
        places.push_back(std::move(place));
    }
    return places;
}

std::filesystem::path UpdateFilePlace::StoredPath() const
{
    return Path(stored).OnDisk();
}

std::optional<std::filesystem::path> UpdateFilePlace::InUseCopy(const CPluginList* inUse) const
{
    if (!inUse || inUseCopy.empty() || key.empty() || !inUse->Exists(key))
        return std::nullopt;
    std::filesystem::path copy = Path(inUseCopy).OnDisk();
    // Where its folder is missing the plug-in has no copy there to refresh. A folder that cannot
    // be looked at may hold one: it is refreshed, or the installation fails.
    std::error_code ec;
    const auto folder = std::filesystem::status(copy.parent_path(), ec);
    if (folder.type() == std::filesystem::file_type::not_found ||
        (std::filesystem::status_known(folder) && !std::filesystem::is_directory(folder)))
        return std::nullopt;
    return copy;
}

} // namespace korvane
