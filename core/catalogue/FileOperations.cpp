#include "core/catalogue/FileOperations.h"

#include "core/platform/KPath.h"

#include <algorithm>

namespace korvane {

namespace fs = std::filesystem;

namespace fileops {
namespace {

void CopyTreeNative(const fs::path& source, const fs::path& destination, Existing existing,
                    FailureList& failures)
{
    // A file missed by either listing would be neither copied nor compared.
    const auto entries = kfs::ListFolder(source);
    if (!entries) {
        failures.Add(entries.status());
        return;
    }
    const FolderNames names(destination);
    if (!names.Failure()) {
        failures.Add(names.Failure());
        return;
    }
    for (const auto& entry : *entries) {
        if (kfs::IsTemporaryName(entry.name))
            continue; // a write cut short: the file it was for is elsewhere, whole
        if (entry.isFolder) {
            fs::path target = destination / entry.path.filename();
            if (names.Contains(entry.name)) {
                target = kpath::FindNoCase(destination, entry.name).value_or(target);
            } else if (auto created = kfs::CreateFolder(target); !created) {
                failures.Add(std::move(created));
                continue;
            }
            CopyTreeNative(entry.path, target, existing, failures);
        } else if (entry.isFile && names.Contains(entry.name)) {
            // A folder of that name keeps the file out: it has no copy there.
            const bool blocked = names.HoldsNonFile(entry.name);
            if (!blocked && existing == Existing::Kept)
                continue;
            const fs::path copy =
                kpath::FindNoCase(destination, entry.name).value_or(destination / entry.name);
            failures.Add(blocked ? NonFileInTheWay(copy) : SameAsCopy(entry.path, copy));
        } else if (entry.isFile) {
            const fs::path target = destination / entry.path.filename();
            const auto copied = kfs::CopyFileNoOverwrite(entry.path, target, FlushFor(existing));
            // A file of that name that appeared meanwhile is the one to keep, and compared like
            // any other.
            if (!copied && !kfs::Exists(target))
                failures.Add(copied);
            else if (!copied && existing == Existing::MustMatch)
                failures.Add(SameAsCopy(entry.path, target));
        }
    }
}

// Returns whether anything inside folder was kept.
bool DeleteTreeNative(const fs::path& folder, const std::string& relative,
                      const std::unordered_set<std::string>& keep, FailureList& failures)
{
    const auto entries = kfs::ListFolder(folder);
    if (!entries) {
        failures.Add(entries.status());
        return true; // whatever it holds stays, and so does the folder
    }
    bool kept = false;
    for (const auto& entry : *entries) {
        const std::string path = relative + kpath::Lowered(entry.name);
        if (entry.isFolder) {
            if (DeleteTreeNative(entry.path, path + '/', keep, failures))
                kept = true;
            else
                failures.Add(kfs::RemoveEmptyFolder(entry.path));
        } else if (entry.isFile && keep.contains(path)) {
            kept = true;
        } else {
            failures.Add(kfs::RemoveFile(entry.path));
        }
    }
    return kept;
}

} // namespace

FolderNames::FolderNames(const fs::path& folder)
{
    const auto entries = kfs::ListFolder(folder);
    if (!entries) {
        m_failure = entries.status();
        return;
    }
    for (const auto& entry : *entries)
        m_names.push_back({kpath::Lowered(entry.name), entry.isFile});
    std::sort(m_names.begin(), m_names.end());
}

const FolderNames::Name* FolderNames::Find(std::string_view name) const
{
    const Name wanted{kpath::Lowered(name)};
    const auto found = std::lower_bound(m_names.begin(), m_names.end(), wanted);
    return found != m_names.end() && *found == wanted ? &*found : nullptr;
}

bool FolderNames::Contains(std::string_view name) const
{
    return Find(name) != nullptr;
}

bool FolderNames::HoldsNonFile(std::string_view name) const
{
    const Name* found = Find(name);
    return found && !found->isFile;
}

korvane::Status NonFileInTheWay(const fs::path& entry)
{
    return korvane::Status::Failure(kpath::FromNative(entry) +
                                    ": a folder stands where the file belongs");
}

namespace {

// Deleting file removes its entry in its folder. A copy that leads through links to that very
// entry is the file itself, and would go with it.
bool IsTheFileItself(const fs::path& file, const fs::path& copy)
{
    std::error_code folderError;
    std::error_code copyError;
    const fs::path entry = fs::canonical(file.parent_path(), folderError) / file.filename();
    const fs::path target = fs::canonical(copy, copyError);
    return !folderError && !copyError && entry == target;
}

} // namespace

korvane::Result<bool> HoldSameBytes(const fs::path& file, const fs::path& copy)
{
    std::error_code fileError;
    std::error_code copyError;
    const auto fileSize = fs::file_size(file, fileError);
    const auto copySize = fs::file_size(copy, copyError);
    if (fileError && !kfs::IsMissing(file))
        return korvane::Status::Failure(kfs::FailureReason(file, fileError));
    if (copyError && !kfs::IsMissing(copy))
        return korvane::Status::Failure(kfs::FailureReason(copy, copyError));
    if (fileError || copyError || fileSize != copySize)
        return false;
    return kfs::SameContent(file, copy);
}

korvane::Status SameAsCopy(const fs::path& file, const fs::path& copy)
{
    if (IsTheFileItself(file, copy))
        return korvane::Status::Failure(kpath::FromNative(file) +
                                        ": its copy in storage is this same file, through a link");
    const auto same = HoldSameBytes(file, copy);
    if (!same)
        return same.status();
    if (!*same) {
        // A file that is not there differs from any other, and is named as missing.
        for (const fs::path& path : {file, copy}) {
            if (kfs::IsMissing(path))
                return korvane::Status::Failure(kfs::FailureReason(
                    path, std::make_error_code(std::errc::no_such_file_or_directory)));
        }
        return korvane::Status::Failure(kpath::FromNative(file) +
                                        ": the file differs from its copy in storage");
    }
    return korvane::Status::Ok();
}

FolderListings::Listing& FolderListings::Of(const fs::path& folder)
{
    auto [found, added] = m_listings.try_emplace(folder.native());
    if (added) {
        auto entries = kfs::ListFolder(folder);
        if (!entries) {
            found->second.failure = entries.status();
            m_failures.Add(entries.status());
            return found->second;
        }
        found->second.entries = std::move(entries).value();
        for (size_t i = 0; i < found->second.entries.size(); ++i)
            Index(found->second, i);
    }
    return found->second;
}

void FolderListings::Index(Listing& listing, size_t entry)
{
    const std::string name = kpath::Lowered(listing.entries[entry].name);
    listing.byKey[name.substr(0, name.find('.'))].push_back(entry);
    listing.byName.emplace(name, entry);
}

std::vector<kfs::FolderEntry> FolderListings::KeyFiles(const fs::path& folder, std::string_view key)
{
    const Listing& listing = Of(folder);
    std::vector<kfs::FolderEntry> files;
    const auto keep = [&files, key](const kfs::FolderEntry& entry) {
        if (entry.isFile && MatchesKey(entry.name, key))
            files.push_back(entry);
    };
    // A key with a dot in it (a configuration may name one) is not a name's part before its
    // first dot: such a key is matched against every entry.
    if (key.find('.') != std::string_view::npos) {
        std::for_each(listing.entries.begin(), listing.entries.end(), keep);
        return files;
    }
    if (const auto found = listing.byKey.find(kpath::Lowered(key)); found != listing.byKey.end()) {
        for (const size_t entry : found->second)
            keep(listing.entries[entry]);
    }
    return files;
}

korvane::Status FolderListings::Failure(const fs::path& folder)
{
    return Of(folder).failure;
}

bool FolderListings::Contains(const fs::path& folder, std::string_view name)
{
    return Of(folder).byName.contains(kpath::Lowered(name));
}

bool FolderListings::HoldsNonFile(const fs::path& folder, std::string_view name)
{
    const Listing& listing = Of(folder);
    const auto found = listing.byName.find(kpath::Lowered(name));
    return found != listing.byName.end() && !listing.entries[found->second].isFile;
}

std::optional<fs::path> FolderListings::Find(const fs::path& folder, std::string_view name)
{
    const Listing& listing = Of(folder);
    const auto found = listing.byName.find(kpath::Lowered(name));
    if (found == listing.byName.end())
        return std::nullopt;
    return listing.entries[found->second].path;
}

void FolderListings::Added(const fs::path& folder, const fs::path& file)
{
    const auto found = m_listings.find(folder.native());
    if (found == m_listings.end())
        return; // read when first asked, with the file in it
    Listing& listing = found->second;
    if (listing.byName.contains(kpath::Lowered(kpath::FromNative(file.filename()))))
        return;
    kfs::FolderEntry entry;
    entry.path = file;
    entry.name = kpath::FromNative(file.filename());
    entry.isFile = true;
    // Listing order is kept for what was there; a file this operation added comes last.
    listing.entries.push_back(std::move(entry));
    Index(listing, listing.entries.size() - 1);
}

bool MatchesKey(std::string_view entryName, std::string_view key)
{
    if (kpath::EqualsNoCase(entryName, key))
        return true;
    return entryName.size() > key.size() && entryName[key.size()] == '.' &&
           kpath::StartsWithNoCase(entryName, key);
}

korvane::Result<std::vector<kfs::FolderEntry>> ListKeyFiles(const fs::path& folder,
                                                            std::string_view key)
{
    auto entries = kfs::ListFolder(folder);
    if (!entries)
        return entries.status();
    std::vector<kfs::FolderEntry> files;
    for (auto& entry : std::move(entries).value()) {
        if (entry.isFile && MatchesKey(entry.name, key))
            files.push_back(std::move(entry));
    }
    return files;
}

korvane::Status CopyTree(const std::string& sourceFolder, const std::string& destinationFolder,
                         Existing existing)
{
    FailureList failures;
    CopyTreeNative(kpath::ResolveNoCase(sourceFolder), kpath::ResolveNoCase(destinationFolder),
                   existing, failures);
    return failures.ToStatus();
}

korvane::Status DeleteTree(const std::string& folder, const std::unordered_set<std::string>& keep)
{
    FailureList failures;
    DeleteTreeNative(kpath::ResolveNoCase(folder), std::string(), keep, failures);
    return failures.ToStatus();
}

void FailureList::Add(const korvane::Status& status)
{
    if (status)
        return;
    if (m_count < kShown)
        m_reasons += (m_count == 0 ? "" : "; ") + status.reason();
    ++m_count;
}

korvane::Status FailureList::ToStatus() const
{
    if (m_count == 0)
        return korvane::Status::Ok();
    if (m_count <= kShown)
        return korvane::Status::Failure(m_reasons);
    return korvane::Status::Failure(m_reasons + "; and " + std::to_string(m_count - kShown) +
                                    " more");
}

} // namespace fileops

} // namespace korvane
