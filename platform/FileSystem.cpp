#include "platform/FileSystem.h"

#include "platform/KPath.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace kfs {
namespace {

std::string UniqueSuffix()
{
    static std::atomic<unsigned> counter{0};
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return std::to_string(ticks) + "-" + std::to_string(counter.fetch_add(1));
}

bool WriteWhole(const fs::path& file, std::string_view bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    return static_cast<bool>(out);
}

constexpr std::string_view kTemporarySuffix = ".part";

korvane::Status Failure(const fs::path& file, std::string_view cause)
{
    return korvane::Status::Failure(kpath::FromNative(file) + ": " + std::string(cause));
}

korvane::Status Failure(const fs::path& file, const std::error_code& error)
{
    return korvane::Status::Failure(FailureReason(file, error));
}

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
        return Failure(file, "it is not a file");
    constexpr auto kWriteBits =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    bool writable = (status.permissions() & kWriteBits) != fs::perms::none;
#ifndef _WIN32
    writable = writable && ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) == 0;
#endif
    if (!writable)
        return Failure(file, "the file is write-protected");
    return korvane::Status::Ok();
}

} // namespace

std::vector<FolderEntry> ListFolder(const fs::path& folder)
{
    std::vector<FolderEntry> entries;
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec)
        return entries;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec)
            break;
        std::error_code typeError;
        FolderEntry entry;
        entry.path = it->path();
        entry.name = kpath::FromNative(entry.path.filename());
        // A link to a folder is not followed: a tree walk must never leave its tree or loop.
        entry.isFolder = it->is_directory(typeError) && !it->is_symlink(typeError);
        entry.isFile = it->is_regular_file(typeError);
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
        const int order = kpath::CompareNoCase(a.name, b.name);
        return order != 0 ? order < 0 : a.name < b.name;
    });
    return entries;
}

std::optional<std::string> ReadFile(const fs::path& file)
{
#ifndef _WIN32
    // Read directly: a scan reads thousands of small description files, and a stream's setting
    // up would cost more than the reading.
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string bytes;
    char block[16384];
    ssize_t got = 0;
    while ((got = ::read(fd, block, sizeof block)) > 0 || (got < 0 && errno == EINTR)) {
        if (got > 0)
            bytes.append(block, static_cast<size_t>(got));
    }
    ::close(fd);
    if (got < 0)
        return std::nullopt;
    return bytes;
#else
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes;
    char block[16384];
    while (in.read(block, sizeof block) || in.gcount() > 0)
        bytes.append(block, static_cast<size_t>(in.gcount()));
    if (in.bad())
        return std::nullopt;
    return bytes;
#endif
}

fs::path TemporaryPathBeside(const fs::path& target)
{
    // A leading dot and a foreign suffix: no key matches it and no scan takes it for a script.
    return target.parent_path() / kpath::ToNative("." + kpath::FromNative(target.filename()) + "." +
                                                  UniqueSuffix() + std::string(kTemporarySuffix));
}

bool IsTemporaryName(std::string_view name)
{
    return name.size() > kTemporarySuffix.size() && name.front() == '.' &&
           name.ends_with(kTemporarySuffix);
}

std::string FailureReason(const fs::path& file, const std::error_code& error)
{
    return kpath::FromNative(file) + ": " + error.message();
}

korvane::Status WriteFileAtomically(const fs::path& path, std::string_view bytes)
{
    const fs::path file = WriteTarget(path);
    std::error_code ec;
    const fs::file_status old = fs::status(file, ec);
    const bool replacing = fs::exists(old);
    if (replacing) {
        if (auto replaceable = CheckReplaceable(file, old); !replaceable)
            return replaceable;
    }
    const fs::path temporary = TemporaryPathBeside(file);
    errno = 0;
    if (!WriteWhole(temporary, bytes)) {
        const std::error_code cause = errno != 0 ? std::error_code(errno, std::generic_category())
                                                 : std::make_error_code(std::errc::io_error);
        fs::remove(temporary, ec);
        return Failure(file, cause);
    }
    ec.clear();
    if (replacing)
        fs::permissions(temporary, old.permissions(), ec);
    if (!ec)
        fs::rename(temporary, file, ec);
    if (ec) {
        const std::error_code cause = ec;
        fs::remove(temporary, ec);
        return Failure(file, cause);
    }
    return korvane::Status::Ok();
}

korvane::Status CopyFileNoOverwrite(const fs::path& source, const fs::path& target)
{
    std::error_code ec;
    if (fs::exists(fs::symlink_status(target, ec)))
        return Failure(target, std::make_error_code(std::errc::file_exists));
    if (!fs::is_regular_file(source, ec))
        return Failure(source, ec ? ec : std::make_error_code(std::errc::invalid_argument));
    const fs::path temporary = TemporaryPathBeside(target);
    if (!fs::copy_file(source, temporary, fs::copy_options::overwrite_existing, ec)) {
        const std::error_code cause = ec;
        fs::remove(temporary, ec);
        return Failure(target, cause);
    }
    // A hard link is created only when the name is free, so a file that appeared meanwhile
    // stays untouched; file systems without links fall back to a rename after a last check.
    fs::create_hard_link(temporary, target, ec);
    if (ec && !fs::exists(fs::symlink_status(target)))
        fs::rename(temporary, target, ec);
    const std::error_code cause = ec;
    fs::remove(temporary, ec);
    return cause ? Failure(target, cause) : korvane::Status::Ok();
}

bool CopyFileReplacing(const fs::path& source, const fs::path& target)
{
    std::error_code ec;
    if (!fs::is_regular_file(source, ec))
        return false;
    const fs::path temporary = TemporaryPathBeside(target);
    if (!fs::copy_file(source, temporary, fs::copy_options::overwrite_existing, ec)) {
        fs::remove(temporary, ec);
        return false;
    }
    fs::rename(temporary, target, ec);
    if (ec) {
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

bool CreateFolder(const fs::path& folder)
{
    std::error_code ec;
    return fs::create_directory(folder, ec) && !ec;
}

korvane::Status RemoveFile(const fs::path& file)
{
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(file, ec)))
        return Failure(file, std::make_error_code(std::errc::is_a_directory));
    fs::remove(file, ec);
    return ec ? Failure(file, ec) : korvane::Status::Ok();
}

korvane::Status RemoveEmptyFolder(const fs::path& folder)
{
    std::error_code ec;
    if (!fs::is_directory(fs::symlink_status(folder, ec)))
        return Failure(folder, std::make_error_code(std::errc::not_a_directory));
    fs::remove(folder, ec);
    return ec ? Failure(folder, ec) : korvane::Status::Ok();
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

} // namespace kfs
