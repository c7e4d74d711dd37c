#include "core/catalogue/SettleCopies.h"

#include "core/catalogue/ConfigBackup.h"
#include "core/catalogue/FolderListings.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/catalogue/TreeCopy.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/FailureList.h"
#include "core/platform/FileSystem.h"
#include "core/platform/FolderListing.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"

#include <algorithm>
#include <unordered_set>
#include <utility>
#include <vector>

namespace korvane::settle {
namespace {

namespace fs = std::filesystem;

constexpr char kPluginsSide[] = "plugins";
constexpr char kStorageSide[] = "storage";

// Makes every level of the stored-form folder rel below base that is missing; base must exist.
korvane::Status MakeFolders(const Path& base, std::string_view rel)
{
    Path folder = base;
    size_t start = 0;
    while (start < rel.size()) {
        const size_t end = std::min(rel.find_first_of("\\/", start), rel.size());
        const std::string_view name = rel.substr(start, end - start);
        start = end + 1;
        if (name.empty())
            continue;
        folder /= name;
        if (auto made = kfs::EnsureFolder(folder.OnDisk()); !made)
            return made;
    }
    return korvane::Status::Success();
}

// The folder part of a stored-form path, ending in a separator, or empty.
std::string_view FolderOf(std::string_view rel)
{
    const size_t last = rel.find_last_of("\\/");
    return last == std::string_view::npos ? std::string_view() : rel.substr(0, last + 1);
}

// The folder the copies that give way are set aside in, made when the first one is.
class SetAside
{
public:
    SetAside(const std::string& korvaneFolder, std::string stem)
        : m_korvaneFolder(korvaneFolder), m_stem(std::move(stem))
    {}

    bool Made() const { return m_made; }

    // A whole copy of file, on the disk, as side\rel in the folder. Never replaces a file there.
    korvane::Status Put(const char* side, const std::string& rel, const fs::path& file)
    {
        if (auto ready = Ready(); !ready)
            return ready;
        const Path root = configbackup::SetAsideFolder(m_korvaneFolder, m_stem);
        const std::string folder =
            side + std::string(1, kpath::kStoredSeparator) + std::string(FolderOf(rel));
        if (auto made = MakeFolders(root, folder); !made)
            return made;
        const fs::path target =
            (root / folder).OnDisk() / kpath::ToNative(rel.substr(FolderOf(rel).size()));
        return kfs::CopyFileNoOverwrite(file, target, kfs::Flush::ToDisk);
    }

private:
    korvane::Status Ready()
    {
        if (m_made)
            return korvane::Status::Success();
        const fs::path backups = configbackup::BackupFolder(m_korvaneFolder).OnDisk();
        if (!kfs::IsFolder(backups))
            if (auto created = kfs::CreateFolder(backups); !created)
                return created;
        const fs::path folder = configbackup::SetAsideFolder(m_korvaneFolder, m_stem).OnDisk();
        if (!kfs::IsFolder(folder))
            if (auto created = kfs::CreateFolder(folder); !created)
                return created;
        m_made = true;
        return korvane::Status::Success();
    }

    const std::string& m_korvaneFolder;
    const std::string m_stem;
    bool m_made = false;
};

// Makes the two copies of rel hold the same bytes as the choice says, the one that gives way set
// aside first; with keepInUse, the copy in use is set aside also when it stays. Copies that hold
// the same bytes by now, or of which one is gone, need nothing.
korvane::Status SettleOne(const std::string& korvaneFolder, const std::string& rel, Choice choice,
                          bool keepInUse, SetAside& setAside)
{
    // The paths come from a listing or an update list; none may lead out of the two folders.
    if (rel.empty() || !kpath::IsContainedRelative(rel))
        return korvane::Status::Failure(rel + ": not a file of the plugins folder");
    const fs::path inUse = (korvane::PluginsFolder(korvaneFolder) / rel).OnDisk();
    const fs::path stored = (korvane::StorageFolder(korvaneFolder) / rel).OnDisk();
    // A copy that could not be looked at is not taken for one that is gone: it is compared, and
    // the failure to read it named.
    if (kfs::IsMissing(inUse) || kfs::IsMissing(stored))
        return korvane::Status::Success();
    const auto same = fileops::HoldSameBytes(inUse, stored);
    if (!same)
        return same.status();
    if (*same)
        return korvane::Status::Success();
    const bool keepMine = choice == Choice::KeepMine;
    const fs::path& givesWay = keepMine ? stored : inUse;
    const fs::path& kept = keepMine ? inUse : stored;
    if (keepMine && keepInUse)
        if (auto aside = setAside.Put(kPluginsSide, rel, inUse); !aside)
            return aside;
    if (auto aside = setAside.Put(keepMine ? kStorageSide : kPluginsSide, rel, givesWay); !aside)
        return aside;
    return kfs::CopyFileReplacing(kept, givesWay);
}

korvane::Status SettleWith(const std::string& korvaneFolder, const Settlement& settlement,
                           bool keepInUse, SetAside& setAside)
{
    if (settlement.choice == Choice::Refuse)
        return korvane::Status::Success();
    FailureList failures;
    std::unordered_set<std::string> settled;
    for (const std::string& rel : settlement.copies) {
        if (settled.insert(kpath::Lowered(rel)).second)
            failures.Add(SettleOne(korvaneFolder, rel, settlement.choice, keepInUse, setAside));
    }
    return failures.ToStatus();
}

void FindBelow(const fs::path& plugins, const fs::path& storage, const std::string& rel,
               fileops::FolderListings& storageListings, Copies& copies, FailureList& failures)
{
    // A file missed by either listing would pass for one without a differing copy.
    if (auto listed = storageListings.Failure(storage); !listed) {
        failures.Add(listed);
        return;
    }
    const auto entries = kfs::ListFolder(plugins);
    if (!entries) {
        failures.Add(entries.status());
        return;
    }
    for (const auto& entry : *entries) {
        if (kfs::IsTemporaryName(entry.name))
            continue;
        const auto counterpart = storageListings.Find(storage, entry.name);
        if (!counterpart)
            continue; // storage lacks it, and all below it
        if (entry.isFolder) {
            if (kfs::IsFolder(*counterpart))
                FindBelow(entry.path, *counterpart, rel + entry.name + kpath::kStoredSeparator,
                          storageListings, copies, failures);
            continue;
        }
        if (!entry.isFile || storageListings.HoldsNonFile(storage, entry.name))
            continue;
        const auto same = fileops::HoldSameBytes(entry.path, *counterpart);
        if (!same)
            failures.Add(same.status());
        else if (!*same)
            copies.push_back(rel + entry.name);
    }
}

// The files set aside below a folder, each with its path below it, in folder order.
void ListSetAside(const fs::path& folder, const std::string& rel,
                  std::vector<std::pair<fs::path, std::string>>& files, FailureList& failures)
{
    const auto entries = kfs::ListFolder(folder);
    if (!entries) {
        failures.Add(entries.status());
        return;
    }
    for (const auto& entry : *entries) {
        if (entry.isFolder)
            ListSetAside(entry.path, rel + entry.name + kpath::kStoredSeparator, files, failures);
        else if (entry.isFile && !kfs::IsTemporaryName(entry.name))
            files.emplace_back(entry.path, rel + entry.name);
    }
}

// A copy in use put back, and whether storage's copy stood in its place.
struct PutBack
{
    fs::path target;
    fs::path stored;
    bool replaced = false;
};

// Puts one set-aside copy in use back in place of storage's copy, or where there is none.
korvane::Status PutBackOne(const std::string& korvaneFolder, const fs::path& copy,
                           const std::string& rel, std::vector<PutBack>& done)
{
    if (auto made = MakeFolders(korvane::PluginsFolder(korvaneFolder), FolderOf(rel)); !made)
        return made;
    PutBack putBack{(korvane::PluginsFolder(korvaneFolder) / rel).OnDisk(),
                    (korvane::StorageFolder(korvaneFolder) / rel).OnDisk()};
    // Only a file storage holds the same bytes of may give way: nothing is lost by that.
    if (!kfs::IsMissing(putBack.target)) {
        if (auto same = fileops::SameAsCopy(putBack.target, putBack.stored); !same)
            return same;
        putBack.replaced = true;
    }
    // A copy that failed may be in place all the same (its name not yet on the disk): it is
    // taken back with the others.
    done.push_back(putBack);
    return kfs::CopyFileReplacing(copy, putBack.target);
}

} // namespace

korvane::Result<Copies> BelowPlugins(const std::string& korvaneFolder)
{
    Copies copies;
    FailureList failures;
    fileops::FolderListings storageListings;
    FindBelow(korvane::PluginsFolder(korvaneFolder).OnDisk(),
              korvane::StorageFolder(korvaneFolder).OnDisk(), {}, storageListings, copies,
              failures);
    if (!failures.empty())
        return failures.ToStatus();
    return copies;
}

korvane::Status SettleInto(const std::string& korvaneFolder, const Settlement& settlement,
                           const std::string& stem)
{
    SetAside setAside(korvaneFolder, stem);
    return SettleWith(korvaneFolder, settlement, true, setAside);
}

korvane::Result<std::string> Settle(const std::string& korvaneFolder, const Settlement& settlement,
                                    std::chrono::system_clock::time_point now)
{
    if (settlement.choice == Choice::Refuse || settlement.copies.empty())
        return std::string();
    const auto stem = configbackup::NewStem(korvaneFolder, now);
    if (!stem)
        return stem.status();
    SetAside setAside(korvaneFolder, *stem);
    if (auto settled = SettleWith(korvaneFolder, settlement, false, setAside); !settled)
        return settled;
    return setAside.Made() ? *stem : std::string();
}

korvane::Status RestoreCopiesInUse(const std::string& korvaneFolder, const std::string& stem)
{
    const fs::path setAside =
        (configbackup::SetAsideFolder(korvaneFolder, stem) / kPluginsSide).OnDisk();
    // A folder that could not be looked at may hold copies: it is listed, and the failure named.
    if (kfs::IsMissing(setAside))
        return korvane::Status::Success();
    std::vector<std::pair<fs::path, std::string>> files;
    FailureList failures;
    ListSetAside(setAside, {}, files, failures);
    if (!failures.empty())
        return failures.ToStatus();
    std::vector<PutBack> done;
    for (const auto& [copy, rel] : files) {
        if (auto put = PutBackOne(korvaneFolder, copy, rel, done); !put) {
            // All or none: with storage's copies in use again, the next undo differs from storage
            // in no file and puts every copy back. Each one put back is still set aside.
            for (const PutBack& back : done) {
                if (back.replaced)
                    (void)kfs::CopyFileReplacing(back.stored, back.target);
                else
                    (void)kfs::RemoveFile(back.target);
            }
            return put;
        }
    }
    return korvane::Status::Success();
}

} // namespace korvane::settle
