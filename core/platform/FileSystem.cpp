#include "core/platform/FileSystem.h"

#include "core/platform/KPath.h"
#include "res/Strings.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <io.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace korvane {

namespace fs = std::filesystem;

namespace kfs {
namespace {

std::string UniqueSuffix()
{
    static std::atomic<unsigned> counter{0};
    const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return std::to_string(ticks) + "-" + std::to_string(counter.fetch_add(1));
}

// Makes a new name inside folder last through a power cut (POSIX keeps names in the folder's own
// data; Windows writes them through). The system's error when it could not.
std::error_code SyncFolder([[maybe_unused]] const fs::path& folder)
{
#ifndef _WIN32
    // A file named without a folder is in the current one.
    const int descriptor =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return std::error_code(errno, std::generic_category());
    const int synced = ::fsync(descriptor);
    const int cause = errno;
    ::close(descriptor);
    if (synced != 0)
        return std::error_code(cause, std::generic_category());
#endif
    return {};
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
        return Failure(file, strings::kReasonWriteProtected);
    return korvane::Status::Ok();
}

// The first eight bytes, the first the most significant, padded with zeros: numbers in the
// order of the names (a name holds no zero byte).
uint64_t Prefix(std::string_view name)
{
    uint64_t prefix = 0;
    for (size_t i = 0; i < 8; ++i)
        prefix = (prefix << 8) | (i < name.size() ? static_cast<unsigned char>(name[i]) : 0u);
    return prefix;
}

// How many bytes a read with maxBytes takes: one more, to tell a file that holds more.
size_t ReadLimit(size_t maxBytes)
{
    return maxBytes == kWholeFile ? kWholeFile : maxBytes + 1;
}

#ifndef _WIN32
// Read directly: a scan reads thousands of small description files, and a stream's setting up
// would cost more than the reading.
bool ReadNativeFile(const char* file, std::string& bytes, size_t maxBytes, int folder = AT_FDCWD,
                    std::error_code* error = nullptr)
{
    bytes.clear(); // its storage stays for the next file
    const int fd = ::openat(folder, file, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error)
            *error = std::error_code(errno, std::generic_category());
        return false;
    }
    const size_t limit = ReadLimit(maxBytes);
    char block[16384];
    ssize_t got = 0;
    while (bytes.size() < limit &&
           ((got = ::read(fd, block, std::min(sizeof block, limit - bytes.size()))) > 0 ||
            (got < 0 && errno == EINTR))) {
        if (got > 0)
            bytes.append(block, static_cast<size_t>(got));
    }
    if (got < 0 && error)
        *error = std::error_code(errno, std::generic_category());
    ::close(fd);
    if (got < 0)
        bytes.clear();
    return got >= 0; // at the end of the file, or at the limit
}

// Closes the descriptor it holds when it goes.
struct Descriptor
{
    explicit Descriptor(int descriptor) : fd(descriptor) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    const int fd;
};

// Fills buffer unless the file ends first; how much was read, or -1 with errno set.
ssize_t ReadFull(int fd, char* buffer, size_t size)
{
    size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, buffer + done, size - done);
        if (got == 0)
            break;
        if (got < 0 && errno != EINTR)
            return -1;
        if (got > 0)
            done += static_cast<size_t>(got);
    }
    return static_cast<ssize_t>(done);
}

// The failure of the call that just failed on file.
korvane::Status LastError(const fs::path& file)
{
    return Failure(file, std::error_code(errno, std::generic_category()));
}
#endif

// Why a file cannot be read: the system's reason when it refuses to open the file (on Windows,
// another program that holds it open), else an input/output error.
std::error_code WhyUnreadable(const fs::path& file)
{
#ifdef _WIN32
    const HANDLE handle = ::CreateFileW(kpath::SystemPath(file).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::error_code(static_cast<int>(::GetLastError()), std::system_category());
    ::CloseHandle(handle);
#else
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return std::error_code(errno, std::generic_category());
    ::close(descriptor);
#endif
    return std::make_error_code(std::errc::io_error);
}

} // namespace

void FolderNames::Add(std::string_view name, bool isFolder, bool isFile)
{
    m_entries.push_back({0, m_names.size(), name.size(), isFolder, isFile});
    m_names.append(name);
    m_names.push_back('\0');
}

void FolderNames::Sort()
{
    // Every name is lowered once, and its first eight bytes make a number that decides most
    // comparisons alone.
    std::string lowered(m_names);
    for (char& c : lowered)
        c = kpath::LowerAscii(c);
    const auto name = [](std::string_view names, const Entry& entry) {
        return names.substr(entry.offset, entry.size);
    };
    for (Entry& entry : m_entries)
        entry.prefix = Prefix(name(lowered, entry));
    std::sort(m_entries.begin(), m_entries.end(), [&](const Entry& a, const Entry& b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        const int order = name(lowered, a).compare(name(lowered, b));
        return order != 0 ? order < 0 : name(m_names, a) < name(m_names, b);
    });
}

FolderNames ListFolderNames(const fs::path& folder)
{
    FolderNames listing;
#ifndef _WIN32
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        if (errno != ENOENT && errno != ENOTDIR)
            listing.SetFailure(
                FailureReason(folder, std::error_code(errno, std::generic_category())));
        return listing;
    }
    const int fd = ::dirfd(dir);
    // The end of the listing and a failure to read on both give no entry; only errno tells them
    // apart, and a listing cut short must never pass for the whole folder.
    errno = 0;
    while (const dirent* found = ::readdir(dir)) {
        const std::string_view name(found->d_name);
        if (name == "." || name == "..")
            continue;
        unsigned char type = found->d_type;
        struct stat info
        {};
        if (type == DT_UNKNOWN && ::fstatat(fd, found->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0)
            type = S_ISDIR(info.st_mode)   ? DT_DIR
                   : S_ISREG(info.st_mode) ? DT_REG
                   : S_ISLNK(info.st_mode) ? DT_LNK
                                           : DT_UNKNOWN;
        // A link to a folder is not followed: a tree walk must never leave its tree or loop.
        const bool isFile =
            type == DT_REG || (type == DT_LNK && ::fstatat(fd, found->d_name, &info, 0) == 0 &&
                               S_ISREG(info.st_mode));
        listing.Add(name, type == DT_DIR, isFile);
        errno = 0;
    }
    if (errno != 0)
        listing.SetFailure(FailureReason(folder, std::error_code(errno, std::generic_category())));
    ::closedir(dir);
#else
    // The system's own listing: MinGW's directory reading lists the current folder instead of
    // one whose path is longer than 260 characters.
    WIN32_FIND_DATAW found;
    const HANDLE search =
        ::FindFirstFileExW(kpath::SystemPath(folder / L"*").c_str(), FindExInfoBasic, &found,
                           FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        // No entry at all, no such folder, or a file of that name, is an empty listing.
        const DWORD attributes = ::GetFileAttributesW(kpath::SystemPath(folder).c_str());
        const bool noFolder =
            attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND &&
            error != ERROR_DIRECTORY && !noFolder)
            listing.SetFailure(FailureReason(
                folder, std::error_code(static_cast<int>(error), std::system_category())));
        return listing;
    }
    do {
        const std::wstring_view name(found.cFileName);
        if (name == L"." || name == L"..")
            continue;
        const bool folderEntry = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // A link is not followed into a folder: a tree walk must never leave its tree or loop.
        const bool link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        bool isFile = !folderEntry;
        if (link && isFile) {
            std::error_code ec;
            isFile = fs::is_regular_file(folder / found.cFileName, ec);
        }
        listing.Add(kpath::FromNative(fs::path(found.cFileName)), folderEntry && !link, isFile);
    } while (::FindNextFileW(search, &found));
    // A listing cut short is no listing of the whole folder.
    if (const DWORD error = ::GetLastError(); error != ERROR_NO_MORE_FILES)
        listing.SetFailure(FailureReason(
            folder, std::error_code(static_cast<int>(error), std::system_category())));
    ::FindClose(search);
#endif
    listing.Sort();
    return listing;
}

korvane::Result<std::vector<FolderEntry>> ListFolder(const fs::path& folder)
{
    const FolderNames names = ListFolderNames(folder);
    if (!names.Failure().empty())
        return korvane::Status::Failure(names.Failure());
    std::vector<FolderEntry> entries;
    entries.reserve(names.Count());
    for (size_t i = 0; i < names.Count(); ++i) {
        const std::string_view name = names.Name(i);
        entries.push_back({std::string(name),
                           folder / fs::path(std::u8string(name.begin(), name.end())),
                           names.IsFolder(i), names.IsFile(i)});
    }
    return entries;
}

bool ReadFile(const fs::path& folder, std::string_view name, std::string& bytes, size_t maxBytes,
              std::error_code* error)
{
#ifndef _WIN32
    std::string file = folder.native();
    if (!file.empty() && file.back() != '/')
        file += '/';
    file += name;
    return ReadNativeFile(file.c_str(), bytes, maxBytes, AT_FDCWD, error);
#else
    const fs::path file = folder / fs::path(std::u8string(name.begin(), name.end()));
    auto read = ReadFile(file, maxBytes);
    bytes = read ? std::move(*read) : std::string();
    // The stream tells no cause: a file that is not there, or the system's reason for one that
    // could not be read.
    if (!read && error)
        *error = IsMissing(file) ? std::make_error_code(std::errc::no_such_file_or_directory)
                                 : WhyUnreadable(file);
    return read.has_value();
#endif
}

FolderReader::FolderReader(const fs::path& folder) : m_folder(folder)
{
#ifndef _WIN32
    m_descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_descriptor < 0)
        m_openError = errno;
#endif
}

FolderReader::~FolderReader()
{
#ifndef _WIN32
    if (m_descriptor >= 0)
        ::close(m_descriptor);
#endif
}

bool FolderReader::ReadFile(const char* name, std::string& bytes, size_t maxBytes,
                            std::error_code* error) const
{
#ifndef _WIN32
    if (m_descriptor < 0) {
        bytes.clear();
        if (error)
            *error = std::error_code(m_openError, std::generic_category());
        return false;
    }
    return ReadNativeFile(name, bytes, maxBytes, m_descriptor, error);
#else
    return kfs::ReadFile(m_folder, name, bytes, maxBytes, error);
#endif
}

std::optional<std::string> ReadFile(const fs::path& file, size_t maxBytes)
{
#ifndef _WIN32
    std::string bytes;
    if (!ReadNativeFile(file.c_str(), bytes, maxBytes))
        return std::nullopt;
    return bytes;
#else
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    const size_t limit = ReadLimit(maxBytes);
    std::string bytes;
    char block[16384];
    while (bytes.size() < limit && (in.read(block, static_cast<std::streamsize>(std::min(
                                                       sizeof block, limit - bytes.size()))) ||
                                    in.gcount() > 0))
        bytes.append(block, static_cast<size_t>(in.gcount()));
    if (in.bad())
        return std::nullopt;
    return bytes;
#endif
}

korvane::Result<std::optional<std::string>> ReadFileIfThere(const fs::path& file, size_t maxBytes)
{
    auto bytes = ReadFile(file, maxBytes);
    if (bytes)
        return bytes;
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (status.type() == fs::file_type::not_found ||
        (fs::status_known(status) && !fs::is_regular_file(status)))
        return std::optional<std::string>();
    return korvane::Status::Failure(ReadFailureReason(file));
}

korvane::Result<bool> SameContent(const fs::path& first, const fs::path& second)
{
    constexpr size_t kBlock = 64 << 10;
    std::vector<char> blocks(2 * kBlock);
    char* const firstBlock = blocks.data();
    char* const secondBlock = blocks.data() + kBlock;
#ifndef _WIN32
    const Descriptor a{::open(first.c_str(), O_RDONLY | O_CLOEXEC)};
    if (a.fd < 0)
        return LastError(first);
    const Descriptor b{::open(second.c_str(), O_RDONLY | O_CLOEXEC)};
    if (b.fd < 0)
        return LastError(second);
    for (;;) {
        const ssize_t gotFirst = ReadFull(a.fd, firstBlock, kBlock);
        if (gotFirst < 0)
            return LastError(first);
        const ssize_t gotSecond = ReadFull(b.fd, secondBlock, kBlock);
        if (gotSecond < 0)
            return LastError(second);
        if (gotFirst != gotSecond ||
            std::memcmp(firstBlock, secondBlock, static_cast<size_t>(gotFirst)) != 0)
            return false;
        if (static_cast<size_t>(gotFirst) < kBlock)
            return true; // both ended here
    }
#else
    std::ifstream a(first, std::ios::binary);
    if (!a)
        return korvane::Status::Failure(ReadFailureReason(first));
    std::ifstream b(second, std::ios::binary);
    if (!b)
        return korvane::Status::Failure(ReadFailureReason(second));
    for (;;) {
        a.read(firstBlock, kBlock);
        if (a.bad())
            return korvane::Status::Failure(ReadFailureReason(first));
        b.read(secondBlock, kBlock);
        if (b.bad())
            return korvane::Status::Failure(ReadFailureReason(second));
        if (a.gcount() != b.gcount() ||
            std::memcmp(firstBlock, secondBlock, static_cast<size_t>(a.gcount())) != 0)
            return false;
        if (static_cast<size_t>(a.gcount()) < kBlock)
            return true;
    }
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

std::FILE* OpenForWriting(const fs::path& file)
{
#ifdef _WIN32
    return _wfopen(file.c_str(), L"wb");
#else
    return std::fopen(file.c_str(), "wb");
#endif
}

// Waits until what was written to out is on the disk.
bool SyncToDisk(std::FILE* out)
{
#ifdef _WIN32
    return _commit(_fileno(out)) == 0;
#else
    return ::fsync(fileno(out)) == 0;
#endif
}

std::error_code LastError()
{
    return errno != 0 ? std::error_code(errno, std::generic_category())
                      : std::make_error_code(std::errc::io_error);
}

#ifdef _WIN32
std::error_code LastWindowsError()
{
    return std::error_code(static_cast<int>(::GetLastError()), std::system_category());
}

// Puts the new file in the target's place, keeping what the replaced file carries besides its
// bytes that the program sees: its attributes (hidden, archive…) and the letter case of its name.
// A rename that replaces (MoveFileExW) leaves no third file behind when the replaced file is held
// open, where Wine's ReplaceFileW does.
std::error_code ReplaceWith(const fs::path& target, const fs::path& replacement)
{
    // The name as the folder holds it, which Windows finds in any letter case.
    const auto replaced =
        kpath::FindNoCase(target.parent_path(), kpath::FromNative(target.filename()));
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

// Removes a file of this program's own making, also one that took a read-only attribute from its
// source (Windows deletes no read-only file).
void RemoveOwnFile(const fs::path& file)
{
    std::error_code ec;
#ifdef _WIN32
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
#endif
    fs::remove(file, ec);
}

} // namespace

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

bool AtomicFile::Append(std::string_view bytes)
{
    if (!Ok() || !m_out)
        return false;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), m_out) != bytes.size())
        Fail(LastError());
    return m_failure.ok();
}

korvane::Status AtomicFile::Close()
{
    if (!Ok() || !m_out)
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
    if (!Ok())
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
    return korvane::Status::Ok();
}

korvane::Status WriteFileAtomically(const fs::path& path, std::string_view bytes)
{
    AtomicFile file(path);
    file.Append(bytes);
    return file.Commit();
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
    return korvane::Status::Ok();
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
        return korvane::Status::Ok();
    // Something of that name is there already: a file, which the player must move, is named so.
    if (!ec || ec == std::errc::file_exists)
        ec = std::make_error_code(fs::is_directory(folder) ? std::errc::file_exists
                                                           : std::errc::not_a_directory);
    return Failure(folder, ec);
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

bool IsMissing(const fs::path& path)
{
    std::error_code ec;
    return fs::symlink_status(path, ec).type() == fs::file_type::not_found;
}

} // namespace kfs

} // namespace korvane
