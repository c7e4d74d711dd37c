#include "core/catalogue/SettleCopies.h"

#include "core/catalogue/ConfigBackup.h"
#include "core/catalogue/FolderListings.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/catalogue/SetAsideCopies.h"
#include "core/catalogue/TreeCopy.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/FailureList.h"
#include "core/platform/FileSystem.h"
#include "core/platform/FolderListing.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"
#include "res/Strings.h"

#include <algorithm>
#include <unordered_set>
#include <utility>
#include <vector>

namespace korvane::settle {
namespace {

namespace fs = std::filesystem;

constexpr char kPluginsSide[] = "plugins";
constexpr char kStorageSide[] = "storage";

// The folder part of a stored-form path, ending in a separator, or empty.
std::string_view FolderOf(std::string_view rel)
{
    const size_t last = rel.find_last_of("\\/");
    return last == std::string_view::npos ? std::string_view() : rel.substr(0, last + 1);
}

// A whole copy of file set aside as side\rel.
korvane::Status Put(SetAsideCopies& setAside, const char* side, const std::string& rel,
                    const fs::path& file)
{
    return setAside.Put(side + std::string(1, kpath::kStoredSeparator) + rel, file);
}

// Makes the two copies of rel hold the same bytes as the choice says, the one that gives way set
// aside first; with keepInUse, the copy in use is set aside also when it stays. Copies that hold
// the same bytes by now, or of which one is gone, need nothing.
korvane::Status SettleOne(const Path& korvaneFolder, const std::string& rel, Choice choice,
                          bool keepInUse, SetAsideCopies& setAside)
{
    // The paths come from a listing or an update list; none may lead out of the two folders.
    if (rel.empty() || !kpath::IsContainedRelative(rel))
        return korvane::Status::Failure(rel + strings::kReasonNotInPluginsFolder);
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
        if (auto aside = Put(setAside, kPluginsSide, rel, inUse); !aside)
            return aside;
    if (auto aside = Put(setAside, keepMine ? kStorageSide : kPluginsSide, rel, givesWay); !aside)
        return aside;
    return kfs::CopyFileReplacing(kept, givesWay);
}

korvane::Status SettleWith(const Path& korvaneFolder, const Settlement& settlement, bool keepInUse,
                           SetAsideCopies& setAside)
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
korvane::Status PutBackOne(const Path& korvaneFolder, const fs::path& copy, const std::string& rel,
                           std::vector<PutBack>& done)
{
    if (auto made =
            SetAsideCopies::MakeFolders(korvane::PluginsFolder(korvaneFolder), FolderOf(rel));
        !made)
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

// All or none: with storage's copies in use again, the next undo differs from storage in no file
// and puts every copy back. Each one put back is still set aside.
void TakeBack(const std::vector<PutBack>& done)
{
    for (const PutBack& back : done) {
        if (back.replaced)
            (void)kfs::CopyFileReplacing(back.stored, back.target);
        else
            (void)kfs::RemoveFile(back.target);
    }
}

} // namespace

korvane::Result<Copies> BelowPlugins(const Path& korvaneFolder)
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

korvane::Status SettleInto(const Path& korvaneFolder, const Settlement& settlement,
                           const std::string& stem)
{
    SetAsideCopies setAside(korvaneFolder, stem);
    return SettleWith(korvaneFolder, settlement, true, setAside);
}

korvane::Result<std::string> Settle(const Path& korvaneFolder, const Settlement& settlement,
                                    std::chrono::system_clock::time_point now)
{
    if (settlement.choice == Choice::Refuse || settlement.copies.empty())
        return std::string();
    const auto stem = configbackup::NewStem(korvaneFolder, now);
    if (!stem)
        return stem.status();
    SetAsideCopies setAside(korvaneFolder, *stem);
    if (auto settled = SettleWith(korvaneFolder, settlement, false, setAside); !settled)
        return settled;
    return setAside.Made() ? *stem : std::string();
}

korvane::Status RestoreCopiesInUse(const Path& korvaneFolder, const std::string& stem,
                                   const std::function<korvane::Status()>& commit)
{
    const fs::path setAside =
        (configbackup::SetAsideFolder(korvaneFolder, stem) / kPluginsSide).OnDisk();
    std::vector<std::pair<fs::path, std::string>> files;
    // A folder that could not be looked at may hold copies: it is listed, and the failure named.
    if (!kfs::IsMissing(setAside)) {
        FailureList failures;
        ListSetAside(setAside, {}, files, failures);
        if (!failures.empty())
            return failures.ToStatus();
    }
    std::vector<PutBack> done;
    for (const auto& [copy, rel] : files) {
        if (auto put = PutBackOne(korvaneFolder, copy, rel, done); !put) {
            TakeBack(done);
            return put;
        }
    }
    if (commit) {
        if (auto committed = commit(); !committed) {
            TakeBack(done);
            return committed;
        }
    }
    return korvane::Status::Success();
}

} // namespace korvane::settle
