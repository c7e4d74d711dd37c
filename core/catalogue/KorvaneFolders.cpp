#include "core/catalogue/KorvaneFolders.h"

#include "core/platform/FileSystem.h"
#include "core/platform/FolderListing.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"

#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace korvane {
namespace {

bool IsNativeExecutable([[maybe_unused]] const fs::path& file)
{
#ifdef _WIN32
    return false;
#else
    std::error_code ec;
    const auto status = fs::status(file, ec);
    if (ec || !fs::is_regular_file(status))
        return false;
    const auto anyExecute = fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec;
    return (status.permissions() & anyExecute) != fs::perms::none;
#endif
}

} // namespace

bool HasKorvaneScript(const Path& folder)
{
    // A folder that cannot be listed whole is taken for none: nothing is done to it.
    const auto entries = kfs::ListFolder(folder.OnDisk());
    if (!entries)
        return false;
    for (const auto& entry : *entries) {
        if (entry.isFile && kpath::StartsWithNoCase(entry.name, "korvane") &&
            kpath::EndsWithNoCase(entry.name, ".cs"))
            return true;
    }
    return false;
}

korvane::Status RefuseUnlessKorvaneFolder(const Path& folder)
{
    if (!folder.Stored().empty() && kfs::IsFolder(folder.OnDisk()) && !HasKorvaneScript(folder))
        return korvane::Status::Failure(folder.Stored());
    return korvane::Status::Success();
}

bool IsWindowsProgram(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    char signature[2] = {};
    return in.read(signature, 2) && signature[0] == 'M' && signature[1] == 'Z';
}

std::optional<fs::path> FindTribesFile(const Path& folder)
{
    const fs::path file = (folder / "tribes.exe").OnDisk();
    std::error_code error;
    if (!fs::is_regular_file(file, error))
        return std::nullopt;
    return file;
}

std::optional<fs::path> FindTribesProgram(const Path& folder)
{
    const auto file = FindTribesFile(folder);
    if (file && (IsWindowsProgram(*file) || IsNativeExecutable(*file)))
        return file;
    return std::nullopt;
}

} // namespace korvane
