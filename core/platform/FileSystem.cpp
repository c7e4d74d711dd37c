#include "core/platform/FileSystem.h"

#include "core/platform/KPath.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <system_error>

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
}

fs::path TemporaryPathBeside(const fs::path& target)
{
    // A leading dot and a foreign suffix: no key matches it and no scan takes it for a script.
    return target.parent_path() / kpath::ToNative("." + kpath::FromNative(target.filename()) + "." +
                                                  UniqueSuffix() + ".part");
}

bool WriteFileAtomically(const fs::path& file, std::string_view bytes)
{
    const fs::path temporary = TemporaryPathBeside(file);
    std::error_code ec;
    if (!WriteWhole(temporary, bytes)) {
        fs::remove(temporary, ec);
        return false;
    }
    fs::rename(temporary, file, ec);
    if (ec) {
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

bool CopyFileNoOverwrite(const fs::path& source, const fs::path& target)
{
    std::error_code ec;
    if (fs::exists(target, ec) || !fs::is_regular_file(source, ec))
        return false;
    const fs::path temporary = TemporaryPathBeside(target);
    if (!fs::copy_file(source, temporary, fs::copy_options::overwrite_existing, ec)) {
        fs::remove(temporary, ec);
        return false;
    }
    // A hard link is created only when the name is free, so a file that appeared meanwhile
    // stays untouched; file systems without links fall back to a rename after a last check.
    bool placed = false;
    fs::create_hard_link(temporary, target, ec);
    if (!ec) {
        placed = true;
    } else if (!fs::exists(target, ec)) {
        fs::rename(temporary, target, ec);
        placed = !ec;
    }
    fs::remove(temporary, ec);
    return placed;
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

bool RemoveFile(const fs::path& file)
{
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(file, ec)))
        return false;
    return fs::remove(file, ec) && !ec;
}

bool RemoveEmptyFolder(const fs::path& folder)
{
    std::error_code ec;
    if (!fs::is_directory(fs::symlink_status(folder, ec)))
        return false;
    return fs::remove(folder, ec) && !ec;
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
