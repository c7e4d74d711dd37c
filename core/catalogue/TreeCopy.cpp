#include "core/catalogue/TreeCopy.h"

#include "core/catalogue/FolderListings.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/FailureList.h"
#include "core/platform/FolderListing.h"
#include "core/platform/FolderReader.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"
#include "res/Strings.h"

namespace korvane::fileops {

namespace fs = std::filesystem;

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
    FolderListings names;
    if (auto listed = names.Failure(destination); !listed) {
        failures.Add(listed);
        return;
    }
    for (const auto& entry : *entries) {
        if (kfs::IsTemporaryName(entry.name))
            continue; // a write cut short: the file it was for is elsewhere, whole
        // Opened by its path, a Windows file named con would be read from the keyboard: it is
        // named, and not copied (a load then empties no folder).
        if (!kpath::IsReachableName(entry.name)) {
            failures.Add(korvane::Status::Failure(kpath::FromNative(entry.path) + ": " +
                                                  kpath::UnstorableReason()));
            continue;
        }
        if (entry.isFolder) {
            fs::path target = destination / entry.path.filename();
            if (names.Contains(destination, entry.name)) {
                target = Path::FindInFolder(destination, entry.name).value_or(target);
            } else if (auto created = kfs::CreateFolder(target); !created) {
                failures.Add(std::move(created));
                continue;
            }
            CopyTreeNative(entry.path, target, existing, failures);
        } else if (entry.isFile && names.Contains(destination, entry.name)) {
            // A folder of that name keeps the file out: it has no copy there.
            const bool blocked = names.HoldsNonFile(destination, entry.name);
            if (!blocked && existing == Existing::Kept)
                continue;
            const fs::path copy =
                Path::FindInFolder(destination, entry.name).value_or(destination / entry.name);
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
        // What cannot be reached by its path stays, as CopyTree could not secure it either.
        if (!kpath::IsReachableName(entry.name)) {
            kept = true;
            continue;
        }
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

korvane::Status NonFileInTheWay(const fs::path& entry)
{
    return korvane::Status::Failure(kpath::FromNative(entry) + strings::kReasonFolderInTheWay);
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
        return korvane::Status::Failure(kpath::FromNative(file) + strings::kReasonCopyIsLink);
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
                                        strings::kReasonDiffersFromStorage);
    }
    return korvane::Status::Success();
}

korvane::Status CopyTree(const Path& sourceFolder, const Path& destinationFolder, Existing existing)
{
    FailureList failures;
    CopyTreeNative(sourceFolder.OnDisk(), destinationFolder.OnDisk(), existing, failures);
    return failures.ToStatus();
}

korvane::Status DeleteTree(const Path& folder, const std::unordered_set<std::string>& keep)
{
    FailureList failures;
    DeleteTreeNative(folder.OnDisk(), std::string(), keep, failures);
    return failures.ToStatus();
}

} // namespace korvane::fileops
