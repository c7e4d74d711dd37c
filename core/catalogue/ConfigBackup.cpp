#include "core/catalogue/ConfigBackup.h"

#include "core/catalogue/KorvaneFolders.h"
#include "core/catalogue/PluginTreeScan.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/FileSystem.h"
#include "core/platform/FolderListing.h"
#include "core/platform/FolderReader.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"
#include "res/Strings.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <memory>
#include <string_view>
#include <unordered_set>

namespace korvane::configbackup {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kExtension = ".pfg";
constexpr std::string_view kStampPattern = "0000-00-00 00-00-00"; // 0: a digit
constexpr int kMostInOneSecond = 999;
constexpr std::string_view kRecordName = "last-load.txt";
constexpr std::size_t kMostRecordBytes = 256; // a backup's name and a line break
constexpr std::size_t kSuffixDigits = 3;      // "_001"

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

std::string WithSuffix(const std::string& stamp, int number)
{
    std::string digits = std::to_string(number);
    digits.insert(0, kSuffixDigits - digits.size(), '0');
    return stamp + "_" + digits;
}

// The stamp, or the stamp with a suffix, that no entry of backups\ has, as a file or folder, with
// or without the extension. A name taken by anything is passed over, so that what the folder
// holds besides this program's own backups never stops a load.
korvane::Result<std::string> FreeStem(const Path& korvaneFolder, const std::string& stamp)
{
    const kfs::FolderListing folder = kfs::ListFolderNames(BackupFolder(korvaneFolder).OnDisk());
    // A name missed would be taken again, and a backup written over.
    if (!folder.Failure())
        return folder.Failure();
    std::unordered_set<std::string> taken;
    for (size_t i = 0; i < folder.Count(); ++i)
        taken.insert(kpath::Lowered(folder.Name(i)));
    const auto stemOf = [&stamp](int number) {
        return number == 0 ? stamp : WithSuffix(stamp, number);
    };
    const auto free = [&taken](const std::string& stem) {
        return !taken.contains(stem) && !taken.contains(stem + std::string(kExtension));
    };
    // After the last name of the second taken, so that names of one second sort by age, unless
    // that was the last there is.
    int last = -1;
    for (int number = 0; number <= kMostInOneSecond; ++number)
        if (!free(stemOf(number)))
            last = number;
    for (int i = 1; i <= kMostInOneSecond + 1; ++i) {
        const std::string stem = stemOf((last + i) % (kMostInOneSecond + 1));
        if (free(stem))
            return stem;
    }
    return korvane::Status::Failure(strings::kReasonNoBackupName);
}

fs::path RecordFile(const Path& korvaneFolder)
{
    return BackupFolder(korvaneFolder).OnDisk() / kRecordName;
}

} // namespace

Path BackupFolder(const Path& korvaneFolder)
{
    return Path(korvaneFolder.Stored() + "backups\\");
}

std::string BackupStem(std::string_view name)
{
    return std::string(StemOf(name));
}

korvane::Result<std::vector<std::string>> Backups(const Path& korvaneFolder)
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

korvane::Result<std::string> NewStem(const Path& korvaneFolder,
                                     std::chrono::system_clock::time_point now)
{
    return FreeStem(korvaneFolder, Stamp(now));
}

Path SetAsideFolder(const Path& korvaneFolder, const std::string& stem)
{
    return Path(BackupFolder(korvaneFolder).Stored() + stem + kpath::kStoredSeparator);
}

korvane::Result<std::string> BackUpPluginsInUse(const Path& korvaneFolder,
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

    // Only now that the new backup is whole may the oldest go, but never the one an undo would
    // load. One that cannot be removed stays: nothing is lost by that.
    const auto recorded = LastLoad(korvaneFolder);
    if (!recorded)
        return name;
    backups.push_back(name);
    std::sort(backups.begin(), backups.end(),
              [](const std::string& a, const std::string& b) { return StemOf(a) < StemOf(b); });
    std::size_t left = backups.size();
    for (std::size_t i = 0; i < backups.size() && left > kKept; ++i) {
        if (backups[i] == name || backups[i] == *recorded)
            continue;
        (void)kfs::RemoveFile(folder / backups[i]);
        --left;
    }
    return name;
}

korvane::Result<std::string> LastLoad(const Path& korvaneFolder)
{
    const fs::path file = RecordFile(korvaneFolder);
    const auto bytes = kfs::ReadFileIfThere(file, kMostRecordBytes);
    if (!bytes)
        return bytes.status();
    if (!*bytes)
        return std::string();
    std::string_view name = **bytes;
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r'))
        name.remove_suffix(1);
    if (StemOf(name).empty())
        return korvane::Status::Failure(kpath::FromNative(file) + ": " +
                                        strings::kReasonNotARecord);
    return std::string(name);
}

korvane::Status RecordLastLoad(const Path& korvaneFolder, const std::string& name)
{
    return kfs::WriteFileAtomically(RecordFile(korvaneFolder), name + "\r\n");
}

} // namespace korvane::configbackup
