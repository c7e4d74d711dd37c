#pragma once

#include "core/platform/Status.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Folder listings in a stable order: alphabetically without regard to case, as an NTFS listing.
namespace korvane::kfs {

struct FolderEntry
{
    std::string name; // UTF-8 file name, no folder
    std::filesystem::path path;
    bool isFolder = false; // a real folder; a link to a folder counts as a file
    bool isFile = false;   // a regular file, or a link to one
};

// Every entry of a folder, sorted alphabetically without regard to case (the order an NTFS
// listing has). An empty list when the folder does not exist; a failure naming the folder when it
// cannot be listed, or not to its end.
korvane::Result<std::vector<FolderEntry>> ListFolder(const std::filesystem::path& folder);

// The names of a folder's entries in the order ListFolder gives them, kept in one string: for a
// walk over many entries that keeps few of them, without a string or a path for each.
class FolderListing
{
public:
    size_t Count() const { return m_entries.size(); }
    // UTF-8, no folder; followed in memory by a zero byte, for the system's calls.
    std::string_view Name(size_t index) const
    {
        return std::string_view(m_names).substr(m_entries[index].offset, m_entries[index].size);
    }
    bool IsFolder(size_t index) const { return m_entries[index].isFolder; }
    bool IsFile(size_t index) const { return m_entries[index].isFile; }

    // Why the folder could not be listed, or not to its end (the names then are only some),
    // naming it; ok when it was, or when there is no folder of that name.
    const korvane::Status& Failure() const { return m_failure; }
    void SetFailure(korvane::Status failure) { m_failure = std::move(failure); }

    void Add(std::string_view name, bool isFolder, bool isFile);
    // Sorts alphabetically without regard to case (the order an NTFS listing has), names that
    // differ only in case in byte order.
    void Sort();

private:
    struct Entry
    {
        uint64_t prefix; // the first eight bytes of the lowered name, the first the highest
        size_t offset;
        size_t size;
        bool isFolder; // as FolderEntry says
        bool isFile;
    };

    std::string m_names;
    std::vector<Entry> m_entries;
    korvane::Status m_failure = korvane::Status::Success();
};

// The same entries in the same order, names only.
FolderListing ListFolderNames(const std::filesystem::path& folder);

} // namespace korvane::kfs
