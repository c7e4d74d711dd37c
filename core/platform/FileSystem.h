#pragma once

#include "core/platform/Path.h"
#include "core/platform/Status.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// Copying, creating and removing files and folders with the rules the program relies on
// everywhere: copies that never replace an existing file, and failures that name the file.
namespace korvane::kfs {

// Whether a copy waits until it is on the disk: one that the source is deleted after must, or a
// power cut could take both.
enum class Flush
{
    No,
    ToDisk,
};

// Copies a file to a destination that does not exist yet; an existing destination is never
// replaced and makes the copy fail. The destination appears whole or not at all; with
// Flush::ToDisk, only once the bytes and the new name are on the disk (else not at all).
korvane::Status CopyFileNoOverwrite(const std::filesystem::path& source,
                                    const std::filesystem::path& target, Flush flush = Flush::No);

// Copies a file over the destination through an AtomicFile, replacing it whole or leaving it as
// it was.
korvane::Status CopyFileReplacing(const std::filesystem::path& source,
                                  const std::filesystem::path& target);

// Creates one folder; its parent must exist. Fails when it cannot be created or something
// already stands at that path.
korvane::Status CreateFolder(const std::filesystem::path& folder);
// A folder that is there, or made (its parent must exist): a failure naming the folder and the
// cause when it is neither.
korvane::Status EnsureFolder(const std::filesystem::path& folder);

// Makes every folder of relative (names below root, '\\' or '/' between them) that root lacks,
// level by level. A level that exists in another letter case is the one used, and one made
// meanwhile by another program is as good as one made here. Root itself is never made, and a
// relative path that could leave root (absolute, a drive, "..") is refused. made, when given,
// gets each folder this call made, outermost first, so that the caller can take them away again.
korvane::Status MakeSubfolders(const Path& root, std::string_view relative,
                               std::vector<Path>* made = nullptr);

// The reason a file operation failed, in plain words, naming the file.
std::string FailureReason(const std::filesystem::path& file, const std::error_code& error);
// Why a file could not be read, naming it: the system's reason when it refuses to open it (on
// Windows, another program that holds it open), else that the file cannot be read.
std::string ReadFailureReason(const std::filesystem::path& file);

// Removes a file or a link (never a folder); a file already gone counts as removed.
korvane::Status RemoveFile(const std::filesystem::path& file);
korvane::Status RemoveEmptyFolder(const std::filesystem::path& folder);

// When the file was last written, in the file system's own steps, so that two writings within a
// second tell apart (the C library's time on Windows keeps whole seconds only). Comparable only
// with another stamp of this function; nothing when the file cannot be looked at.
std::optional<std::int64_t> LastWriteStamp(const std::filesystem::path& file);

bool IsFolder(const std::filesystem::path& path);
// False also when the system could not tell.
bool Exists(const std::filesystem::path& path);
// True only when the system says nothing is there: a file that could not be looked at is not
// taken for one that is gone.
bool IsMissing(const std::filesystem::path& path);

} // namespace korvane::kfs
