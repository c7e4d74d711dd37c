#pragma once

#include "core/platform/FileSystem.h"
#include "core/platform/Status.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// Moving files between the storage and plugins folders. A file that cannot be copied or deleted
// does not stop the others; the outcome names every such file and why.
namespace korvane::fileops {

// Collects what went wrong over many files into one reason: the first few files with their
// causes and how many more there were.
class FailureList
{
public:
    void Add(const korvane::Status& status);
    bool empty() const { return m_count == 0; }
    korvane::Status ToStatus() const;

private:
    static constexpr int kShown = 5;
    std::string m_reasons;
    int m_count = 0;
};

// True when an entry belongs to the plug-in with this key: its name is the key, or the key
// followed by a dot and anything, without regard to case. The key is matched as literal text.
bool MatchesKey(std::string_view entryName, std::string_view key);

// The files of a folder that belong to the key, in listing order; a failure naming the folder when
// it could not be listed whole.
korvane::Result<std::vector<kfs::FolderEntry>> ListKeyFiles(const std::filesystem::path& folder,
                                                            std::string_view key);

// The names of a folder's entries, lower-cased, so that a copy can tell whether the destination
// already holds a file whatever its letter case.
class FolderNames
{
public:
    explicit FolderNames(const std::filesystem::path& folder);
    // Why the folder could not be listed whole: its names are then none.
    const korvane::Status& Failure() const { return m_failure; }
    bool Contains(std::string_view name) const;
    // True when the entry of that name is something other than a file (a folder, a link to a
    // folder): a file of that name has no copy there, and none can be made.
    bool HoldsNonFile(std::string_view name) const;

private:
    struct Name
    {
        std::string lowered;
        bool isFile = false;
        auto operator<=>(const Name& other) const { return lowered <=> other.lowered; }
        bool operator==(const Name& other) const { return lowered == other.lowered; }
    };
    const Name* Find(std::string_view name) const;

    std::vector<Name> m_names; // sorted
    korvane::Status m_failure = korvane::Status::Ok();
};

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

// The listings of the folders one operation works in, each folder read once: an operation over
// many plug-ins that listed a folder for every plug-in would cost the square of their number.
// The operation tells of every file it creates; nothing else may change the folders meanwhile.
// A folder that could not be listed whole holds no entries here, and its failure is kept.
class FolderListings
{
public:
    // Why the folder could not be listed whole; ok when it was, or when it does not exist.
    korvane::Status Failure(const std::filesystem::path& folder);
    // Those of every folder listed so far.
    korvane::Status Failures() const { return m_failures.ToStatus(); }

    // The files of a folder that belong to the key, in listing order (as ListKeyFiles).
    std::vector<kfs::FolderEntry> KeyFiles(const std::filesystem::path& folder,
                                           std::string_view key);
    // True when the folder holds an entry of this name in any letter case.
    bool Contains(const std::filesystem::path& folder, std::string_view name);
    // True when that entry is something other than a file (see FolderNames::HoldsNonFile).
    bool HoldsNonFile(const std::filesystem::path& folder, std::string_view name);
    // The path of the entry of this name in any letter case, or nothing.
    std::optional<std::filesystem::path> Find(const std::filesystem::path& folder,
                                              std::string_view name);
    // Records a file this operation created in folder.
    void Added(const std::filesystem::path& folder, const std::filesystem::path& file);

private:
    struct Listing
    {
        std::vector<kfs::FolderEntry> entries;
        // Lower-cased name before the first dot: the entries of that key, in listing order.
        std::unordered_map<std::string, std::vector<size_t>> byKey;
        std::unordered_map<std::string, size_t> byName; // lower-cased whole names
        korvane::Status failure = korvane::Status::Ok();
    };
    Listing& Of(const std::filesystem::path& folder);
    static void Index(Listing& listing, size_t entry);

    std::unordered_map<std::filesystem::path::string_type, Listing> m_listings; // by folder
    FailureList m_failures;
};

// Copies every file and folder of source into destination (which must exist), never replacing a
// file that destination has. Both are stored-form folders ending in a separator. Only files and
// real folders are copied: links to folders, and what a cut-short write left, are passed over.
// Fails, naming the files, when any file destination lacks could not be copied, or, with
// Existing::MustMatch, when a file destination has differs from the source's.
korvane::Status CopyTree(const std::string& sourceFolder, const std::string& destinationFolder,
                         Existing existing = Existing::Kept);

// Deletes everything inside folder; folder itself stays. Links are removed, never followed.
// Files whose path below folder, lower-cased with '/' between names, is in keep stay, and so do
// the folders that hold them.
korvane::Status DeleteTree(const std::string& folder,
                           const std::unordered_set<std::string>& keep = {});

} // namespace korvane::fileops
