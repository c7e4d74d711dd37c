#pragma once

#include "core/platform/Status.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Reading files whole, with a limit, or many of one folder by their names.
namespace korvane::kfs {

// No limit on what ReadFile reads.
inline constexpr std::size_t kWholeFile = static_cast<std::size_t>(-1);

// The whole content of a file, or why it cannot be opened or read (ReadFailureReason). With a
// limit, at most maxBytes + 1 bytes are read: a result longer than maxBytes tells that the file
// holds more, and a file of any size costs no more memory than that.
korvane::Result<std::string> ReadFile(const std::filesystem::path& file,
                                      std::size_t maxBytes = kWholeFile);
// The same, telling a file that is not there (nothing, also when something else than a file is)
// from one that cannot be read (a failure naming it).
korvane::Result<std::optional<std::string>> ReadFileIfThere(const std::filesystem::path& file,
                                                            std::size_t maxBytes = kWholeFile);
// Why a file named in a folder could not be read: the kind its failure carries.
enum class ReadFailure
{
    Missing,   // nothing of that name is there
    Unreadable // it is there and cannot be opened or read
};

// The same for the entry name (UTF-8) of a folder, without making a path of it first, into bytes
// (whose storage a walk reading many files reuses); on failure bytes are empty.
korvane::Status ReadFile(const std::filesystem::path& folder, std::string_view name,
                         std::string& bytes, std::size_t maxBytes = kWholeFile);

// Whether two files hold the same bytes, read side by side a block at a time, so that files of
// any size cost two blocks of memory. A failure, naming the file, when one could not be opened or
// read: then nothing is known.
korvane::Result<bool> SameContent(const std::filesystem::path& first,
                                  const std::filesystem::path& second);

// Reads a file from its start to its end, handing each block of at most blockBytes to block,
// which returns false to stop: a file of any size costs one block of memory. A failure naming the
// file when it could not be opened or read.
korvane::Status ReadInBlocks(const std::filesystem::path& file, std::size_t blockBytes,
                             const std::function<bool(std::string_view)>& block);

// A folder held open while many of its files are read: each is then found by its name alone,
// without the system walking the folder's whole path again for every file.
class FolderReader
{
public:
    explicit FolderReader(const std::filesystem::path& folder);
    ~FolderReader();
    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    // ReadFile(folder, name, bytes, maxBytes) for this folder, name ending in a zero byte.
    korvane::Status ReadFile(const char* name, std::string& bytes,
                             std::size_t maxBytes = kWholeFile) const;

private:
    // The open folder where the system has such descriptors, else its path.
    std::filesystem::path m_folder;
    [[maybe_unused]] int m_descriptor = -1;
    [[maybe_unused]] int m_openError = 0; // why the folder could not be opened
};

} // namespace korvane::kfs
