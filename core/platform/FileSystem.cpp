#include "core/platform/FileSystem.h"

#include "core/platform/AtomicFile.h"
#include "core/platform/FileSystemCalls.h"
#include "core/platform/KPath.h"
#include "res/Strings.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
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
using detail::WhyUnreadable;

std::string FailureReason(const fs::path& file, const std::error_code& error)
{
#ifdef _WIN32
    // The system's own words ("Sharing violation") do not say what the player can do about it.
    if (error.category() == std::system_category() &&
        (error.value() == ERROR_SHARING_VIOLATION || error.value() == ERROR_LOCK_VIOLATION))
        return kpath::FromNative(file) + ": " + strings::kReasonFileInUse;
    // A file below something that is not a folder is "not found" to Windows; POSIX systems, and
    // the player, call it what it is.
    if (error == std::errc::no_such_file_or_directory) {
        for (fs::path above = file.parent_path(); !above.empty() && above != above.parent_path();
             above = above.parent_path()) {
            std::error_code ec;
            const fs::file_status status = fs::status(above, ec);
            if (fs::exists(status)) {
                if (!fs::is_directory(status))
                    return kpath::FromNative(file) + ": " +
                           std::make_error_code(std::errc::not_a_directory).message();
                break;
            }
        }
    }
    // Windows neither deletes nor replaces a read-only file.
    if (error == std::errc::permission_denied) {
        const DWORD attributes = ::GetFileAttributesW(file.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
            return kpath::FromNative(file) + ": " + strings::kReasonWriteProtected;
    }
    // The system's numbers in the words POSIX systems use, the same on every system.
    if (error.category() == std::system_category())
        return kpath::FromNative(file) + ": " + error.default_error_condition().message();
#endif
    return kpath::FromNative(file) + ": " + error.message();
}

std::string ReadFailureReason(const fs::path& file)
{
    const std::error_code cause = WhyUnreadable(file);
    if (cause == std::errc::io_error)
        return kpath::FromNative(file) + ": " + strings::kReasonUnreadable;
    return FailureReason(file, cause);
}

namespace {

// Waits until the bytes of file are on the disk.
bool FlushFile(const fs::path& file)
{
#ifdef _WIN32
    std::FILE* const out = _wfopen(file.c_str(), L"r+b");
#else
    std::FILE* const out = std::fopen(file.c_str(), "rb");
#endif
    if (!out)
        return false;
    const bool flushed = SyncToDisk(out);
    const int cause = errno;
    std::fclose(out);
    errno = cause;
    return flushed;
}

} // namespace

korvane::Status CopyFileNoOverwrite(const fs::path& source, const fs::path& target, Flush flush)
{
    std::error_code ec;
    if (fs::exists(fs::symlink_status(target, ec)))
        return Failure(target, std::make_error_code(std::errc::file_exists));
    if (!fs::is_regular_file(source, ec))
        return Failure(source, ec ? ec : std::make_error_code(std::errc::invalid_argument));
    const fs::path temporary = TemporaryPathBeside(target);
    if (!fs::copy_file(source, temporary, fs::copy_options::overwrite_existing, ec)) {
        const std::error_code cause = ec;
        RemoveOwnFile(temporary);
        return Failure(target, cause);
    }
#ifdef _WIN32
    // A copy that took a read-only attribute from its source cannot be opened to be flushed: it
    // gets the attribute back once it is on the disk.
    const DWORD attributes = ::GetFileAttributesW(temporary.c_str());
    const bool readOnly =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && flush == Flush::ToDisk)
        ::SetFileAttributesW(temporary.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
#endif
    errno = 0;
    if (flush == Flush::ToDisk && !FlushFile(temporary)) {
        const std::error_code cause = LastError();
        RemoveOwnFile(temporary);
        return Failure(target, cause);
    }
#ifdef _WIN32
    if (readOnly && flush == Flush::ToDisk)
        ::SetFileAttributesW(temporary.c_str(), attributes);
    // A rename without MOVEFILE_REPLACE_EXISTING fails when the name is taken, so a file that
    // appeared meanwhile stays untouched.
    if (!::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
        const std::error_code cause = LastWindowsError();
        RemoveOwnFile(temporary);
        return Failure(target, cause);
    }
#else
    // A hard link is created only when the name is free, so a file that appeared meanwhile
    // stays untouched; file systems without links fall back to a rename after a last check.
    fs::create_hard_link(temporary, target, ec);
    if (ec && !fs::exists(fs::symlink_status(target)))
        fs::rename(temporary, target, ec);
    const std::error_code cause = ec;
    fs::remove(temporary, ec);
    if (cause)
        return Failure(target, cause);
#endif
    // A copy whose name may not last is no copy to delete the source on the strength of: it goes
    // again (its source is still there), so that a later copy is made and flushed anew.
    if (flush == Flush::ToDisk) {
        if (const std::error_code synced = SyncFolder(target.parent_path())) {
            fs::remove(target, ec);
            return Failure(target, synced);
        }
    }
    return korvane::Status::Success();
}

korvane::Status CopyFileReplacing(const fs::path& source, const fs::path& target)
{
    std::error_code ec;
    if (!fs::is_regular_file(source, ec))
        return Failure(source,
                       ec ? ec : std::make_error_code(std::errc::no_such_file_or_directory));
    std::ifstream in(source, std::ios::binary);
    if (!in)
        return Failure(source, std::make_error_code(std::errc::permission_denied));
    AtomicFile copy(target);
    char block[65536];
    while (in.read(block, sizeof block) || in.gcount() > 0) {
        if (!copy.Append(std::string_view(block, static_cast<size_t>(in.gcount()))))
            break;
    }
    if (in.bad())
        return Failure(source, std::make_error_code(std::errc::io_error));
    return copy.Commit();
}

korvane::Status CreateFolder(const fs::path& folder)
{
    std::error_code ec;
    if (fs::create_directory(folder, ec) && !ec)
        return korvane::Status::Success();
    // Something of that name is there already: a file, which the player must move, is named so.
    if (!ec || ec == std::errc::file_exists)
        ec = std::make_error_code(fs::is_directory(folder) ? std::errc::file_exists
                                                           : std::errc::not_a_directory);
    return Failure(folder, ec);
}

korvane::Status EnsureFolder(const fs::path& folder)
{
    return IsFolder(folder) ? korvane::Status::Success() : CreateFolder(folder);
}

korvane::Status MakeSubfolders(const Path& root, std::string_view relative, std::vector<Path>* made)
{
    if (!kpath::IsContainedRelative(relative)) {
        std::string reason = strings::kReasonUnsafeName;
        reason.replace(reason.find("%1"), 2, relative);
        return korvane::Status::Failure(reason);
    }
    // A folder below no root would be one below the working folder.
    if (root.Stored().empty())
        return Failure(root.OnDisk(), std::make_error_code(std::errc::no_such_file_or_directory));
    Path folder = root;
    size_t start = 0;
    while (start < relative.size()) {
        const size_t end = std::min(relative.find_first_of("\\/", start), relative.size());
        if (end > start) {
            // Each level keeps its separator, as every folder's stored form does.
            folder /= relative.substr(start, end + 1 - start);
            const fs::path onDisk = folder.OnDisk();
            if (!IsFolder(onDisk)) {
                const korvane::Status created = CreateFolder(onDisk);
                if (!created && !IsFolder(onDisk))
                    return created;
                if (created && made)
                    made->push_back(folder);
            }
        }
        start = end + 1;
    }
    return korvane::Status::Success();
}

korvane::Status RemoveFile(const fs::path& file)
{
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(file, ec)))
        return Failure(file, std::make_error_code(std::errc::is_a_directory));
    fs::remove(file, ec);
    return ec ? Failure(file, ec) : korvane::Status::Success();
}

korvane::Status RemoveEmptyFolder(const fs::path& folder)
{
    std::error_code ec;
    if (!fs::is_directory(fs::symlink_status(folder, ec)))
        return Failure(folder, std::make_error_code(std::errc::not_a_directory));
    fs::remove(folder, ec);
    return ec ? Failure(folder, ec) : korvane::Status::Success();
}

std::optional<std::int64_t> LastWriteStamp(const fs::path& file)
{
#ifdef _WIN32
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return static_cast<std::int64_t>((std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                     data.ftLastWriteTime.dwLowDateTime);
#else
    std::error_code error;
    const auto written = fs::last_write_time(file, error);
    if (error)
        return std::nullopt;
    return static_cast<std::int64_t>(written.time_since_epoch().count());
#endif
}

bool IsFolder(const fs::path& path)
{
    std::error_code ec;
    return fs::is_directory(path, ec);
}

bool Exists(const fs::path& path)
{
    std::error_code ec;
    return fs::exists(path, ec);
}

bool IsMissing(const fs::path& path)
{
    std::error_code ec;
    return fs::symlink_status(path, ec).type() == fs::file_type::not_found;
}

} // namespace korvane::kfs
