#include "core/catalogue/ConfigBackup.h"

#include "core/catalogue/KorvaneFolders.h"
#include "core/catalogue/PluginTreeScan.h"
#include "core/platform/FileSystem.h"
#include "core/platform/FolderListing.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <memory>
#include <string_view>
#include <unordered_set>

namespace korvane::configbackup {
namespace {

constexpr std::string_view kExtension = ".pfg";
constexpr std::string_view kStampPattern = "0000-00-00 00-00-00"; // 0: a digit
constexpr int kMostInOneSecond = 999;
constexpr std::size_t kSuffixDigits = 3; // "_001"

bool Matches(std::string_view text, std::string_view pattern)
{
    return text.size() == pattern.size() &&
           std::equal(text.begin(), text.end(), pattern.begin(), [](char c, char p) {
               return p == '0' ? std::isdigit(static_cast<unsigned char>(c)) != 0 : c == p;
           });
}

// A stamp, maybe followed by a suffix: a backup's name without its extension, or the name of a
// folder of files set aside.
bool IsStem(std::string_view stem)
{
    const std::string_view stamp = stem.substr(0, kStampPattern.size());
    const std::string_view suffix = stem.substr(stamp.size());
    return Matches(stamp, kStampPattern) &&
           (suffix.empty() || Matches(suffix, "_" + std::string(kSuffixDigits, '0')));
}

// The name without its extension, when it is a backup's.
std::string_view StemOf(std::string_view name)
{
    if (!kpath::EndsWithNoCase(name, kExtension))
        return {};
    const std::string_view stem = name.substr(0, name.size() - kExtension.size());
    return IsStem(stem) ? stem : std::string_view();
}

std::string Stamp(std::chrono::system_clock::time_point when)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H-%M-%S", &local);
    return text;
}

// A stem after every stem of existing (sorted): the stamp itself when it is later than all of
// them, else the newest one's stamp with the next suffix, so that order holds also when two
// backups fall in one second or the clock went back.
korvane::Result<std::string> NextStem(const std::vector<std::string>& existing,
                                      const std::string& stamp)
{
    if (existing.empty() || stamp > existing.back())
        return stamp;
    const std::string_view newest = existing.back();
    const std::string_view suffix = newest.substr(kStampPattern.size());
    const int next = suffix.empty() ? 1 : std::stoi(std::string(suffix.substr(1))) + 1;
    if (next > kMostInOneSecond)
        return korvane::Status::Failure("too many backups were made in one second");
    std::string number = std::to_string(next);
    number.insert(0, kSuffixDigits - number.size(), '0');
    return std::string(newest.substr(0, kStampPattern.size())) + "_" + number;
}

// The stems of every backup and every folder of files set aside, sorted: a new name must come
// after all of them, so that it neither sorts before a backup nor takes a folder's name.
korvane::Result<std::vector<std::string>> AllStems(const std::string& korvaneFolder)
{
    const kfs::FolderListing folder = kfs::ListFolderNames(BackupFolder(korvaneFolder).OnDisk());
    if (!folder.Failure())
        return folder.Failure();
    std::vector<std::string> stems;
    for (size_t i = 0; i < folder.Count(); ++i) {
        const std::string_view name = folder.Name(i);
        if (folder.IsFile(i) && !StemOf(name).empty())
            stems.emplace_back(StemOf(name));
        else if (folder.IsFolder(i) && IsStem(name))
            stems.emplace_back(name);
    }
    std::sort(stems.begin(), stems.end());
    return stems;
}

} // namespace

Path BackupFolder(const std::string& korvaneFolder)
{
    return Path(korvaneFolder + "backups\\");
}

std::string BackupStem(std::string_view name)
{
    return std::string(StemOf(name));
}

korvane::Result<std::vector<std::string>> Backups(const std::string& korvaneFolder)
{
    std::vector<std::string> names;
    const kfs::FolderListing folder = kfs::ListFolderNames(BackupFolder(korvaneFolder).OnDisk());
    // Backups missed would let an older one pass for the newest, and a new one take the name of
    // one that is there.
    if (!folder.Failure())
        return folder.Failure();
    for (size_t i = 0; i < folder.Count(); ++i)
        if (folder.IsFile(i) && !StemOf(folder.Name(i)).empty())
            names.emplace_back(folder.Name(i));
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return StemOf(a) < StemOf(b); });
    return names;
}

korvane::Result<std::string> NewStem(const std::string& korvaneFolder,
                                     std::chrono::system_clock::time_point now)
{
    const auto stems = AllStems(korvaneFolder);
    if (!stems)
        return stems.status();
    return NextStem(*stems, Stamp(now));
}

Path SetAsideFolder(const std::string& korvaneFolder, const std::string& stem)
{
    return Path(BackupFolder(korvaneFolder).Stored() + stem + kpath::kStoredSeparator);
}

korvane::Result<std::string> BackUpPluginsInUse(const std::string& korvaneFolder,
                                                std::chrono::system_clock::time_point now,
                                                const std::string& reservedStem)
{
    const auto folder = BackupFolder(korvaneFolder).OnDisk();
    if (auto ready = kfs::EnsureFolder(folder); !ready)
        return ready;
    auto listed = Backups(korvaneFolder);
    if (!listed)
        return listed.status();
    std::vector<std::string> backups = std::move(listed).value();
    const auto stem = reservedStem.empty() ? NewStem(korvaneFolder, now)
                                           : korvane::Result<std::string>(reservedStem);
    if (!stem)
        return stem.status();
    const std::string name = *stem + std::string(kExtension);

    // A backup that missed plug-ins in use could not bring them back.
    auto every = ScanPluginTree(korvane::PluginsFolder(korvaneFolder));
    if (!every)
        return every.status();
    CPluginList inUse = std::move(every).value();
    inUse.m_strConfigName = *stem;
    if (auto written = inUse.WriteConfig(kpath::FromNative(folder / name), true); !written)
        return written;

    // Only now that the new backup is whole may the oldest go. One that cannot be removed stays:
    // nothing is lost by that.
    backups.push_back(name);
    for (std::size_t i = 0; i + kKept < backups.size(); ++i)
        (void)kfs::RemoveFile(folder / backups[i]);
    return name;
}

korvane::Result<std::string> MakeNewest(const std::string& korvaneFolder, const std::string& name,
                                        std::chrono::system_clock::time_point now)
{
    const auto backups = Backups(korvaneFolder);
    if (!backups)
        return backups.status();
    if (backups->empty() || backups->back() == name)
        return name;
    const auto stem = NewStem(korvaneFolder, now);
    if (!stem)
        return stem.status();
    const std::string newest = *stem + std::string(kExtension);
    const auto folder = BackupFolder(korvaneFolder).OnDisk();
    // The files its load set aside go with it, so that the undo still finds them. The folder goes
    // first: a backup renamed without it would lose them.
    const std::string oldStem(StemOf(name));
    const bool setAside = !oldStem.empty() && !kfs::IsMissing(folder / oldStem);
    std::error_code ec;
    if (setAside) {
        std::filesystem::rename(folder / oldStem, folder / *stem, ec);
        if (ec)
            return korvane::Status::Failure(kfs::FailureReason(folder / oldStem, ec));
    }
    // The name sorts after every backup's, so no backup is there to be replaced.
    std::filesystem::rename(folder / name, folder / newest, ec);
    if (ec) {
        const std::string reason = kfs::FailureReason(folder / name, ec);
        if (setAside)
            std::filesystem::rename(folder / *stem, folder / oldStem, ec);
        return korvane::Status::Failure(reason);
    }
    return newest;
}

} // namespace korvane::configbackup
