#pragma once

#include "core/platform/FileSystem.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Moving files between the storage and plugins folders. Nothing here reports to the user: a file
// that cannot be copied or deleted is passed over.
namespace fileops {

// True when an entry belongs to the plug-in with this key: its name is the key, or the key
// followed by a dot and anything, without regard to case. The key is matched as literal text.
bool MatchesKey(std::string_view entryName, std::string_view key);

// The files of a folder that belong to the key, in listing order.
std::vector<kfs::FolderEntry> ListKeyFiles(const std::filesystem::path& folder,
                                           std::string_view key);

// The names of a folder's entries, lower-cased, so that a copy can tell whether the destination
// already holds a file whatever its letter case.
class FolderNames
{
public:
    explicit FolderNames(const std::filesystem::path& folder);
    bool Contains(std::string_view name) const;

private:
    std::vector<std::string> m_names; // sorted
};

// Copies every file and folder of source into destination (which must exist), never replacing a
// file that destination has. Both are stored-form folders ending in a separator.
void CopyTree(const std::string& sourceFolder, const std::string& destinationFolder);

// Deletes everything inside folder; folder itself stays. Links are removed, never followed.
void DeleteTree(const std::string& folder);

} // namespace fileops
