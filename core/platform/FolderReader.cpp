#include "core/platform/FolderReader.h"

#include "core/platform/FileSystem.h"
#include "core/platform/FileSystemCalls.h"
#include "core/platform/KPath.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <system_error>
#include <vector>

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
using detail::WhyUnreadable;

namespace {

// How many bytes a read with maxBytes takes: one more, to tell a file that holds more.
size_t ReadLimit(size_t maxBytes)
{
    return maxBytes == kWholeFile ? kWholeFile : maxBytes + 1;
}

fs::path EntryPath(const fs::path& folder, std::string_view name)
{
    return folder / fs::path(std::u8string(name.begin(), name.end()));
}

korvane::Status ReadFailed(const fs::path& folder, std::string_view name,
                           const std::error_code& error)
{
    const ReadFailure kind = error == std::errc::no_such_file_or_directory
                                 ? ReadFailure::Missing
                                 : ReadFailure::Unreadable;
    return korvane::Status::Failure(kind, FailureReason(EntryPath(folder, name), error));
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

} // namespace

korvane::Status ReadFile(const fs::path& folder, std::string_view name, std::string& bytes,
                         size_t maxBytes)
{
    std::error_code error;
#ifndef _WIN32
    std::string file = folder.native();
    if (!file.empty() && file.back() != '/')
        file += '/';
    file += name;
    if (ReadNativeFile(file.c_str(), bytes, maxBytes, AT_FDCWD, &error))
        return korvane::Status::Success();
#else
    const fs::path file = EntryPath(folder, name);
    auto read = ReadFile(file, maxBytes);
    bytes = read ? std::move(read).value() : std::string();
    if (read)
        return korvane::Status::Success();
    // The stream tells no cause: a file that is not there, or the system's reason for one that
    // could not be read.
    error = IsMissing(file) ? std::make_error_code(std::errc::no_such_file_or_directory)
                            : WhyUnreadable(file);
#endif
    return ReadFailed(folder, name, error);
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

korvane::Status FolderReader::ReadFile(const char* name, std::string& bytes, size_t maxBytes) const
{
#ifndef _WIN32
    std::error_code error(m_openError, std::generic_category());
    if (m_descriptor >= 0 && ReadNativeFile(name, bytes, maxBytes, m_descriptor, &error))
        return korvane::Status::Success();
    bytes.clear();
    return ReadFailed(m_folder, name, error);
#else
    return kfs::ReadFile(m_folder, name, bytes, maxBytes);
#endif
}

korvane::Result<std::string> ReadFile(const fs::path& file, size_t maxBytes)
{
#ifndef _WIN32
    std::string bytes;
    if (!ReadNativeFile(file.c_str(), bytes, maxBytes))
        return korvane::Status::Failure(ReadFailureReason(file));
    return bytes;
#else
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return korvane::Status::Failure(ReadFailureReason(file));
    const size_t limit = ReadLimit(maxBytes);
    std::string bytes;
    char block[16384];
    while (bytes.size() < limit && (in.read(block, static_cast<std::streamsize>(std::min(
                                                       sizeof block, limit - bytes.size()))) ||
                                    in.gcount() > 0))
        bytes.append(block, static_cast<size_t>(in.gcount()));
    if (in.bad())
        return korvane::Status::Failure(ReadFailureReason(file));
    return bytes;
#endif
}

namespace {

// A block no larger than the file needs: a scan reads thousands of scripts of a few hundred bytes,
// and a block of full size for each would cost the allocator more than the reading. One byte more
// than the file shows that it ends there (it may grow meanwhile, and is then read on).
std::unique_ptr<char[]> BlockFor(std::uintmax_t fileSize, size_t& blockBytes)
{
    if (fileSize < blockBytes)
        blockBytes = static_cast<size_t>(fileSize) + 1;
    blockBytes = std::max<size_t>(blockBytes, 1);
    return std::make_unique_for_overwrite<char[]>(blockBytes);
}

} // namespace

korvane::Status ReadInBlocks(const fs::path& file, size_t blockBytes,
                             const std::function<bool(std::string_view)>& block)
{
#ifndef _WIN32
    const Descriptor in{::open(file.c_str(), O_RDONLY | O_CLOEXEC)};
    if (in.fd < 0)
        return LastError(file);
    struct stat status = {};
    const auto buffer = BlockFor(
        ::fstat(in.fd, &status) == 0 ? static_cast<std::uintmax_t>(status.st_size) : blockBytes,
        blockBytes);
    for (;;) {
        const ssize_t got = ReadFull(in.fd, buffer.get(), blockBytes);
        if (got < 0)
            return LastError(file);
        if (got > 0 && !block(std::string_view(buffer.get(), static_cast<size_t>(got))))
            return korvane::Status::Success();
        if (static_cast<size_t>(got) < blockBytes)
            return korvane::Status::Success();
    }
#else
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return korvane::Status::Failure(ReadFailureReason(file));
    std::error_code error;
    const std::uintmax_t fileSize = fs::file_size(file, error);
    const auto buffer = BlockFor(error ? blockBytes : fileSize, blockBytes);
    for (;;) {
        in.read(buffer.get(), static_cast<std::streamsize>(blockBytes));
        if (in.bad())
            return korvane::Status::Failure(ReadFailureReason(file));
        const auto got = static_cast<size_t>(in.gcount());
        if (got > 0 && !block(std::string_view(buffer.get(), got)))
            return korvane::Status::Success();
        if (got < blockBytes)
            return korvane::Status::Success();
    }
#endif
}

korvane::Result<std::optional<std::string>> ReadFileIfThere(const fs::path& file, size_t maxBytes)
{
    auto bytes = ReadFile(file, maxBytes);
    if (bytes)
        return std::optional<std::string>(std::move(bytes).value());
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (status.type() == fs::file_type::not_found ||
        (fs::status_known(status) && !fs::is_regular_file(status)))
        return std::optional<std::string>();
    return bytes.status();
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

} // namespace korvane::kfs
