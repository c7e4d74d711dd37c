#pragma once

#include "core/platform/Path.h"
#include "core/platform/Status.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The folders the program works in and how it recognises them.
namespace korvane {

// The two folders below the Korvane folder, as the program names paths below it
// ("plugins\weapons\sniper.cs").
inline constexpr std::string_view kStorageFolderName = "storage\\";
inline constexpr std::string_view kPluginsFolderName = "plugins\\";

// korvaneFolder ends in a separator, as Settings::KorvaneFolder gives it.
inline Path StorageFolder(const Path& korvaneFolder)
{
    return Path(korvaneFolder.Stored() + std::string(kStorageFolderName));
}

inline Path PluginsFolder(const Path& korvaneFolder)
{
    return Path(korvaneFolder.Stored() + std::string(kPluginsFolderName));
}

// A Korvane folder holds the modification's own scripts: some file named korvane*.cs, in any
// letter case.
bool HasKorvaneScript(const Path& folder);

// Refuses a step that would change the files of a folder that exists and holds no such script:
// any folder could be given as the Korvane folder, and a step could empty its plugins folder.
// The reason is the folder. Ok for a Korvane folder, and for one not set or not there, which the
// step itself reports.
korvane::Status RefuseUnlessKorvaneFolder(const Path& folder);

// The file tribes.exe of a Tribes folder, in any letter case, program or not.
std::optional<std::filesystem::path> FindTribesFile(const Path& folder);

// tribes.exe of a Tribes folder, in any letter case, when it is a program: a Windows executable
// (it starts with the "MZ" signature) or, on POSIX, a file the user may execute. Nothing otherwise.
std::optional<std::filesystem::path> FindTribesProgram(const Path& folder);

bool IsWindowsProgram(const std::filesystem::path& file);

} // namespace korvane
