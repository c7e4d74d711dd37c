#pragma once

#include "core/platform/FailureList.h"
#include "core/platform/FolderListing.h"
#include "core/platform/Status.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace korvane::fileops {

// True when an entry belongs to the plug-in with this key: its name is the key, or the key
// followed by a dot and anything, without regard to case. The key is matched as literal text.
bool MatchesKey(std::string_view entryName, std::string_view key);

// The files of a folder that belong to the key, in listing order; a failure naming the folder when
// it could not be listed whole.
korvane::Result<std::vector<kfs::FolderEntry>> ListKeyFiles(const std::filesystem::path& folder,
                                                            std::string_view key);

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
    // True when that entry is something other than a file (a folder, a link to a folder): a file
    // of that name has no copy there, and none can be made.
    bool HoldsNonFile(const std::filesystem::path& folder, std::string_view name);
    // The path of the entry of this name in any letter case (the one of exactly this name when
    // there is one), or nothing.
    std::optional<std::filesystem::path> Find(const std::filesystem::path& folder,
                                              std::string_view name);
    // The folder rel (stored form, relative) below root, each name found as Find finds it, as
    // Path::OnDisk finds it on the disk: a configuration that names a subfolder on each of its
    // lines lists each folder once. Nothing when a name is there in no letter case.
    std::optional<std::filesystem::path> Below(const std::filesystem::path& root,
                                               std::string_view rel);
    // Records a file this operation created in folder.
    void Added(const std::filesystem::path& folder, const std::filesystem::path& file);

private:
    struct Listing
    {
        std::vector<kfs::FolderEntry> entries;
        // Lower-cased name before the first dot: the entries of that key, in listing order.
        std::unordered_map<std::string, std::vector<size_t>> byKey;
        std::unordered_map<std::string, size_t> byName; // lower-cased whole names
        korvane::Status failure = korvane::Status::Success();
    };
    Listing& Of(const std::filesystem::path& folder);
    static void Index(Listing& listing, size_t entry);

    std::unordered_map<std::filesystem::path::string_type, Listing> m_listings; // by folder
    FailureList m_failures;
};

} // namespace korvane::fileops
