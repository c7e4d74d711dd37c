#include "core/platform/FileSystemCalls.h"

#include "core/platform/FileSystem.h"
#include "core/platform/KPath.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

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

namespace korvane::kfs::detail {

namespace fs = std::filesystem;

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

korvane::Status Failure(const fs::path& file, std::string_view cause)
{
    return korvane::Status::Failure(kpath::FromNative(file) + ": " + std::string(cause));
}

korvane::Status Failure(const fs::path& file, const std::error_code& error)
{
    return korvane::Status::Failure(FailureReason(file, error));
}

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
#endif

void RemoveOwnFile(const fs::path& file)
{
    std::error_code ec;
#ifdef _WIN32
    ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
#endif
    fs::remove(file, ec);
}

} // namespace korvane::kfs::detail
