#include "core/launch/GameLauncher.h"

#include "core/catalogue/KorvaneFolders.h"
#include "core/platform/CProfile.h"
#include "core/platform/ProfileEntries.h"
#include "res/Strings.h"

#include <filesystem>
#include <QString>
#include <system_error>

namespace korvane::launch {

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

std::string WineNotFoundMessage(const kprocess::WineSettings& wine)
{
    return QString::fromUtf8(strings::kWineNotFound)
        .arg(QString::fromStdString(kprocess::WineProgram(wine.command)))
        .toStdString();
}

kprocess::WineSettings LoadWineSettings(const CProfile& profile)
{
    return {profile.GetProfileString(profile::kWindowsPrograms, profile::kWineCommand),
            profile.GetProfileString(profile::kWindowsPrograms, profile::kWinePrefix)};
}

bool StoreWineSettings(const CProfile& profile, const kprocess::WineSettings& wine)
{
    const bool command =
        profile.WriteProfileString(profile::kWindowsPrograms, profile::kWineCommand, wine.command);
    const bool prefix =
        profile.WriteProfileString(profile::kWindowsPrograms, profile::kWinePrefix, wine.prefix);
    return command && prefix;
}

LaunchStatus LaunchTribes(std::string_view tribesFolder, std::string_view parameters,
                          const kprocess::WineSettings& wine)
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
    switch (kprocess::StartDetached(program, kind, parameters, program.parent_path(), wine)) {
    case kprocess::StartResult::Started:
        return LaunchStatus::Ok;
    case kprocess::StartResult::WineNotFound:
        return LaunchStatus::WineNotFound;
    case kprocess::StartResult::Failed:
        break;
    }
    return LaunchStatus::StartFailed;
}

} // namespace korvane::launch
