#include "core/platform/AtomicFile.h"

#include "core/platform/FileSystemCalls.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"
#include "res/Strings.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <utility>

#ifdef _WIN32
#include <io.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace korvane::kfs {

namespace fs = std::filesystem;
using detail::Failure;
using detail::LastError;
using detail::RemoveOwnFile;
using detail::SyncFolder;
using detail::SyncToDisk;
#ifdef _WIN32
using detail::LastWindowsError;
#endif

namespace {

std::string UniqueSuffix()
{
    static std::atomic<unsigned> counter{0};
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return std::to_string(ticks) + "-" + std::to_string(counter.fetch_add(1));
}

constexpr std::string_view kTemporarySuffix = ".part";

// The file a write to path lands in: a symbolic link is followed to its target, even one that
// does not exist yet.
fs::path WriteTarget(fs::path path)
{
    std::error_code ec;
    for (int hops = 0; hops < 40 && fs::is_symlink(path, ec); ++hops) {
        const fs::path target = fs::read_symlink(path, ec);
        if (ec)
            break;
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    return path;
}

// A file may be replaced when the user may write it, and its mode lets someone write it: a file
// made read-only is respected also by a user whom permissions do not stop.
korvane::Status CheckReplaceable(const fs::path& file, const fs::file_status& status)
{
    if (!fs::is_regular_file(status))
        return Failure(file, strings::kReasonNotAFile);
    constexpr auto kWriteBits =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    bool writable = (status.permissions() & kWriteBits) != fs::perms::none;
#ifndef _WIN32
    writable = writable && ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) == 0;
#endif
    if (!writable)
        return Failure(file, strings::kReasonWriteProtected);
    return korvane::Status::Success();
}

std::FILE* OpenForWriting(const fs::path& file)
{
#ifdef _WIN32
    return _wfopen(file.c_str(), L"wb");
#else
    return std::fopen(file.c_str(), "wb");
#endif
}

#ifdef _WIN32
// Puts the new file in the target's place, keeping what the replaced file carries besides its
// bytes that the program sees: its attributes (hidden, archive…) and the letter case of its name.
// A rename that replaces (MoveFileExW) leaves no third file behind when the replaced file is held
// open, where Wine's ReplaceFileW does.
std::error_code ReplaceWith(const fs::path& target, const fs::path& replacement)
{
    // The name as the folder holds it, which Windows finds in any letter case.
    const auto replaced =
        Path::FindInFolder(target.parent_path(), kpath::FromNative(target.filename()));
    const fs::path& destination = replaced ? *replaced : target;
    const DWORD attributes =
        replaced ? ::GetFileAttributesW(destination.c_str()) : INVALID_FILE_ATTRIBUTES;
    if (!::MoveFileExW(replacement.c_str(), destination.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const std::error_code failed = LastWindowsError();
        // A file another program holds open refuses the rename as access denied; opening it as
        // the rename would tells the reason.
        if (replaced && failed.value() == ERROR_ACCESS_DENIED) {
            const HANDLE probe = ::CreateFileW(
                destination.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (probe == INVALID_HANDLE_VALUE)
                return LastWindowsError();
            ::CloseHandle(probe);
        }
        return failed;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES)
        ::SetFileAttributesW(destination.c_str(), attributes);
    return {};
}
#endif

} // namespace

fs::path TemporaryPathBeside(const fs::path& target)
{
    // A leading dot and a foreign suffix: no key matches it and no scan takes it for a script.
    return target.parent_path() / kpath::ToNative("." + kpath::FromNative(target.filename()) + "." +
                                                  UniqueSuffix() + std::string(kTemporarySuffix));
}

bool IsTemporaryName(std::string_view name)
{
    // The exact form TemporaryPathBeside gives: ".NAME.TICKS-COUNT.part". A player's own file
    // that merely starts with a dot and ends in ".part" is not the program's to remove.
    if (name.size() <= kTemporarySuffix.size() || name.front() != '.' ||
        !name.ends_with(kTemporarySuffix))
        return false;
    const std::string_view rest = name.substr(1, name.size() - 1 - kTemporarySuffix.size());
    const size_t dot = rest.rfind('.');
    const size_t dash = rest.rfind('-');
    const auto digits = [](std::string_view text) {
        return !text.empty() &&
               std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    return dot != std::string_view::npos && dot > 0 && dash != std::string_view::npos &&
           dash > dot && digits(rest.substr(dot + 1, dash - dot - 1)) &&
           digits(rest.substr(dash + 1));
}

AtomicFile::AtomicFile(const fs::path& target) : m_target(WriteTarget(target))
{
    std::error_code ec;
    const fs::file_status old = fs::status(m_target, ec);
    if (fs::exists(old)) {
        m_failure = CheckReplaceable(m_target, old);
        if (!m_failure)
            return;
    }
    m_temporary = TemporaryPathBeside(m_target);
    errno = 0;
    m_out = OpenForWriting(m_temporary);
    if (!m_out)
        Fail(LastError());
}

AtomicFile::~AtomicFile()
{
    if (m_out)
        std::fclose(m_out);
    if (!m_temporary.empty())
        RemoveOwnFile(m_temporary);
}

void AtomicFile::Fail(const std::error_code& cause)
{
    if (m_failure)
        m_failure = Failure(m_target, cause);
}

korvane::Status AtomicFile::Append(std::string_view bytes)
{
    if (!m_failure)
        return m_failure;
    if (!m_out)
        return Failure(m_target, strings::kReasonAlreadyClosed);
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_out) != bytes.size())
        Fail(LastError());
    return m_failure;
}

korvane::Status AtomicFile::Close()
{
    if (!Writable())
        return m_failure;
    errno = 0;
    if (std::fflush(m_out) != 0 || !SyncToDisk(m_out))
        Fail(LastError());
    errno = 0;
    if (std::fclose(std::exchange(m_out, nullptr)) != 0)
        Fail(LastError());
    m_closed = true;
    return m_failure;
}

korvane::Status AtomicFile::Commit()
{
    if (!m_out && !m_closed) // failed at the start, or already in place
        return m_failure;
    if (korvane::Status closed = Close(); !closed)
        return closed;
    // The file replaced is checked again: it may have changed while the new one was written.
    std::error_code ec;
    const fs::file_status old = fs::status(m_target, ec);
    ec.clear(); // a target that is not there is no error
    if (fs::exists(old)) {
        if (auto replaceable = CheckReplaceable(m_target, old); !replaceable)
            return replaceable;
#ifndef _WIN32
        fs::permissions(m_temporary, old.permissions(), ec);
#endif
    }
#ifdef _WIN32
    ec = ReplaceWith(m_target, m_temporary);
#else
    if (!ec)
        fs::rename(m_temporary, m_target, ec);
#endif
    if (ec)
        return Failure(m_target, ec);
    m_temporary.clear();
    m_closed = false; // committed: there is nothing more to write or to put in place
    m_placed = true;
    if (const std::error_code synced = SyncFolder(m_target.parent_path()))
        return Failure(m_target, synced);
    return korvane::Status::Success();
}

korvane::Status WriteFileAtomically(const fs::path& path, std::string_view bytes)
{
    AtomicFile file(path);
    if (korvane::Status appended = file.Append(bytes); !appended)
        return appended;
    return file.Commit();
}

} // namespace korvane::kfs
