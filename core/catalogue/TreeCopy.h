#pragma once

#include "core/platform/FileSystem.h"
#include "core/platform/Path.h"
#include "core/platform/Status.h"

#include <filesystem>
#include <string>
#include <unordered_set>

// Moving files between the storage and plugins folders. A file that cannot be copied or deleted
// does not stop the others; the outcome names every such file and why.
namespace korvane::fileops {

// Why a file cannot be stored where a folder (or another non-file) of its name stands.
korvane::Status NonFileInTheWay(const std::filesystem::path& entry);

// What a copy makes of a file the destination already has. It is never replaced; when the source
// is to be deleted afterwards, the file there is its copy only when it holds the same bytes.
enum class Existing
{
    Kept,
    MustMatch,
};

// A copy that must match is one made to secure a file about to be deleted: it waits until it is
// on the disk.
inline kfs::Flush FlushFor(Existing existing)
{
    return existing == Existing::MustMatch ? kfs::Flush::ToDisk : kfs::Flush::No;
}

// Whether the two files hold the same bytes (a file that is not there holds none that match): they
// are read side by side in blocks, and only when the sizes agree, so that a script of any size
// costs two blocks of memory. A failure, naming the file, when one could not be read: then
// nothing is known.
korvane::Result<bool> HoldSameBytes(const std::filesystem::path& file,
                                    const std::filesystem::path& copy);
// Fails, naming the file, unless copy holds exactly what file holds (HoldSameBytes). For the copy
// that storage holds of a file about to be deleted.
korvane::Status SameAsCopy(const std::filesystem::path& file, const std::filesystem::path& copy);

// Copies every file and folder of source into destination (which must exist), never replacing a
// file that destination has. Both are stored-form folders ending in a separator. Only files and
// real folders are copied: links to folders, and what a cut-short write left, are passed over.
// Fails, naming the files, when any file destination lacks could not be copied, or, with
// Existing::MustMatch, when a file destination has differs from the source's.
korvane::Status CopyTree(const Path& sourceFolder, const Path& destinationFolder,
                         Existing existing = Existing::Kept);

// Deletes everything inside folder; folder itself stays. Links are removed, never followed.
// Files whose path below folder, lower-cased with '/' between names, is in keep stay, and so do
// the folders that hold them.
korvane::Status DeleteTree(const Path& folder, const std::unordered_set<std::string>& keep = {});

} // namespace korvane::fileops
