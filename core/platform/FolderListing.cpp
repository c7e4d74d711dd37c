#include "core/platform/FolderListing.h"

#include "core/platform/FileSystemCalls.h"
#include "core/platform/KPath.h"

#include <algorithm>
#include <cerrno>
#include <system_error>

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
#endif

namespace korvane::kfs {

namespace fs = std::filesystem;

namespace {

// The first eight bytes, the first the most significant, padded with zeros: numbers in the
// order of the names (a name holds no zero byte).
uint64_t Prefix(std::string_view name)
{
    uint64_t prefix = 0;
    for (size_t i = 0; i < 8; ++i)
        prefix = (prefix << 8) | (i < name.size() ? static_cast<unsigned char>(name[i]) : 0u);
    return prefix;
}

} // namespace

void FolderListing::Add(std::string_view name, bool isFolder, bool isFile)
{
    m_entries.push_back({0, m_names.size(), name.size(), isFolder, isFile});
    m_names.append(name);
    m_names.push_back('\0');
}

void FolderListing::Sort()
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

FolderListing ListFolderNames(const fs::path& folder)
{
    FolderListing listing;
#ifndef _WIN32
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) {
        if (errno != ENOENT && errno != ENOTDIR)
            listing.SetFailure(
                detail::Failure(folder, std::error_code(errno, std::generic_category())));
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
        listing.SetFailure(
            detail::Failure(folder, std::error_code(errno, std::generic_category())));
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
            listing.SetFailure(detail::Failure(
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
        listing.SetFailure(detail::Failure(
            folder, std::error_code(static_cast<int>(error), std::system_category())));
    ::FindClose(search);
#endif
    listing.Sort();
    return listing;
}

korvane::Result<std::vector<FolderEntry>> ListFolder(const fs::path& folder)
{
    const FolderListing names = ListFolderNames(folder);
    if (!names.Failure())
        return names.Failure();
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

} // namespace korvane::kfs
