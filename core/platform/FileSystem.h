#pragma once

#include "core/platform/Status.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// File-system operations with the rules the program relies on everywhere: listings in a stable
// order, copies that never replace an existing file, and writes that never leave half a file.
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
class FolderNames
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
    // naming it; empty when it was, or when there is no folder of that name.
    const std::string& Failure() const { return m_failure; }
    void SetFailure(std::string reason) { m_failure = std::move(reason); }

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
    std::string m_failure;
};

// The same entries in the same order, names only.
FolderNames ListFolderNames(const std::filesystem::path& folder);

// No limit on what ReadFile reads.
inline constexpr std::size_t kWholeFile = static_cast<std::size_t>(-1);

// The whole content of a file, or nothing when it cannot be opened or read. With a limit, at most
// maxBytes + 1 bytes are read: a result longer than maxBytes tells that the file holds more, and
// a file of any size costs no more memory than that.
std::optional<std::string> ReadFile(const std::filesystem::path& file,
                                    std::size_t maxBytes = kWholeFile);
// The same, telling a file that is not there (nothing, also when something else than a file is)
// from one that cannot be read (a failure naming it).
korvane::Result<std::optional<std::string>> ReadFileIfThere(const std::filesystem::path& file,
                                                            std::size_t maxBytes = kWholeFile);
// The same for the entry name (UTF-8) of a folder, without making a path of it first, into bytes
// (whose storage a walk reading many files reuses). False, with bytes empty and the cause in
// error when one is given, when it cannot be.
bool ReadFile(const std::filesystem::path& folder, std::string_view name, std::string& bytes,
              std::size_t maxBytes = kWholeFile, std::error_code* error = nullptr);

// Whether two files hold the same bytes, read side by side a block at a time, so that files of
// any size cost two blocks of memory. A failure, naming the file, when one could not be opened or
// read: then nothing is known.
korvane::Result<bool> SameContent(const std::filesystem::path& first,
                                  const std::filesystem::path& second);

// A folder held open while many of its files are read: each is then found by its name alone,
// without the system walking the folder's whole path again for every file.
class FolderReader
{
public:
    explicit FolderReader(const std::filesystem::path& folder);
    ~FolderReader();
    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    // ReadFile(folder, name, bytes, maxBytes, error) for this folder, name ending in a zero byte.
    bool ReadFile(const char* name, std::string& bytes, std::size_t maxBytes = kWholeFile,
                  std::error_code* error = nullptr) const;

private:
    // The open folder where the system has such descriptors, else its path.
    [[maybe_unused]] std::filesystem::path m_folder;
    [[maybe_unused]] int m_descriptor = -1;
    [[maybe_unused]] int m_openError = 0; // why the folder could not be opened
};

// A file written to a temporary file beside its target and put in the target's place only when
// committed whole, so that a failure leaves the old file as it was. The file replaced is
// respected: one that exists and may not be written (no write permission in its mode, for root
// too) is not replaced, the new file keeps the old one's permissions, and a symbolic link is
// written through to its target. The bytes reach the disk before the rename, and the new name
// after it. Destroyed without a commit, it removes what it wrote.
class AtomicFile
{
public:
    explicit AtomicFile(const std::filesystem::path& target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // False once anything failed, the target's check included (Commit says why).
    bool Ok() const { return m_failure.ok() && (m_out || m_closed); }
    // Adds bytes to the new file; false once anything could not be written, or after Close.
    bool Append(std::string_view bytes);
    // Puts the new file on the disk and closes it, not yet in the target's place: many files can
    // then wait for their commit without holding a descriptor each.
    korvane::Status Close();
    // Puts the new file in the target's place. A failure to flush the folder after that fails
    // the commit with the new file in place (Placed): the new name may not last a power cut.
    korvane::Status Commit();
    bool Placed() const { return m_placed; }
    // The file the commit replaces: the target, or the file a symbolic link there leads to.
    const std::filesystem::path& Target() const { return m_target; }

private:
    void Fail(const std::error_code& cause);

    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    std::FILE* m_out = nullptr;
    bool m_closed = false;
    bool m_placed = false;
    korvane::Status m_failure = korvane::Status::Ok();
};

// The whole of bytes as the file, through an AtomicFile.
korvane::Status WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// A temporary file name beside target that no scan takes for a plug-in file.
std::filesystem::path TemporaryPathBeside(const std::filesystem::path& target);
// True for a name TemporaryPathBeside makes: what a write cut short may leave behind.
bool IsTemporaryName(std::string_view name);

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

// The reason a file operation failed, in plain words, naming the file.
std::string FailureReason(const std::filesystem::path& file, const std::error_code& error);
// Why a file could not be read, naming it: the system's reason when it refuses to open it (on
// Windows, another program that holds it open), else that the file cannot be read.
std::string ReadFailureReason(const std::filesystem::path& file);

// Removes a file or a link (never a folder); a file already gone counts as removed.
korvane::Status RemoveFile(const std::filesystem::path& file);
korvane::Status RemoveEmptyFolder(const std::filesystem::path& folder);

bool IsFolder(const std::filesystem::path& path);
// False also when the system could not tell.
bool Exists(const std::filesystem::path& path);
// True only when the system says nothing is there: a file that could not be looked at is not
// taken for one that is gone.
bool IsMissing(const std::filesystem::path& path);

} // namespace korvane::kfs
