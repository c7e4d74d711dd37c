#include "core/launch/GameLauncher.h"

#include "core/catalogue/KorvaneFolders.h"
#include "core/platform/GameProcess.h"
#include "res/Strings.h"

#include <filesystem>
#include <string>
#include <system_error>

namespace launch {

std::string_view MessageFor(LaunchStatus status)
{
    switch (status) {
    case LaunchStatus::TribesFolderNotSet:
        return strings::kQuickExecNeedsTribes;
    case LaunchStatus::KorvaneFolderNotSet:
        return strings::kQuickExecNeedsKorvane;
    case LaunchStatus::QuickExecNotConfigured:
        return strings::kQuickExecNotConfigured;
    case LaunchStatus::Ok:
    case LaunchStatus::GameNotFound:
    case LaunchStatus::WineNotFound:
    case LaunchStatus::StartFailed:
        break;
    }
    return {};
}

LaunchStatus LaunchTribes(std::string_view tribesFolder, std::string_view parameters)
{
    // An unset folder would otherwise look for tribes.exe in whatever folder the program runs in.
    if (tribesFolder.empty())
        return LaunchStatus::GameNotFound;
    const auto found = korvane::FindTribesProgram(std::string(tribesFolder));
    if (!found)
        return LaunchStatus::GameNotFound;
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::absolute(*found, ec);
    if (ec)
        return LaunchStatus::GameNotFound;
    const auto kind = korvane::IsWindowsProgram(program) ? kprocess::ProgramKind::Windows
                                                         : kprocess::ProgramKind::Native;
    switch (kprocess::StartDetached(program, kind, parameters, program.parent_path())) {
    case kprocess::StartResult::Started:
        return LaunchStatus::Ok;
    case kprocess::StartResult::WineNotFound:
        return LaunchStatus::WineNotFound;
    case kprocess::StartResult::Failed:
        break;
    }
    return LaunchStatus::StartFailed;
}

} // namespace launch
