#pragma once

#include "core/platform/Status.h"

#include <cstdio>
#include <filesystem>
#include <string_view>

// Writes that never leave half a file.
namespace korvane::kfs {

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

    // The first failure so far, the target's check included.
    const korvane::Status& status() const { return m_failure; }
    // Adds bytes to the new file; the first failure once anything could not be written, and a
    // failure after Close.
    korvane::Status Append(std::string_view bytes);
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
    bool Writable() const { return m_failure.ok() && m_out; }

    std::filesystem::path m_target;
    std::filesystem::path m_temporary;
    std::FILE* m_out = nullptr;
    bool m_closed = false;
    bool m_placed = false;
    korvane::Status m_failure = korvane::Status::Success();
};

// The whole of bytes as the file, through an AtomicFile.
korvane::Status WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// A temporary file name beside target that no scan takes for a plug-in file.
std::filesystem::path TemporaryPathBeside(const std::filesystem::path& target);
// True for a name TemporaryPathBeside makes: what a write cut short may leave behind.
bool IsTemporaryName(std::string_view name);

} // namespace korvane::kfs
