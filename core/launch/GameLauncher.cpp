#include "core/launch/GameLauncher.h"

#include "core/catalogue/KorvaneFolders.h"
#include "core/platform/Settings.h"
#include "core/platform/SettingsProfile.h"
#include "res/Strings.h"

#include <filesystem>
#include <QString>
#include <system_error>

namespace korvane::launch {

namespace {

// Why a Windows tribes.exe did not start: the command tried, and where it comes from.
std::string WineNotFoundMessage(const kprocess::WineSettings& wine)
{
    return QString::fromUtf8(strings::kWineNotFound)
        .arg(QString::fromStdString(kprocess::WineProgram(wine.command)))
        .toStdString();
}

korvane::Status GameNotFound(std::string_view tribesFolder)
{
    if (tribesFolder.empty())
        return korvane::Status::Failure(LaunchFailure::GameNotFound,
                                        strings::kNoTribesFolderToLaunch);
    return korvane::Status::Failure(
        LaunchFailure::GameNotFound,
        QString::fromUtf8(strings::kGameNotFound)
            .arg(
                QString::fromUtf8(tribesFolder.data(), static_cast<qsizetype>(tribesFolder.size())))
            .toStdString());
}

} // namespace

kprocess::WineSettings LoadWineSettings(const SettingsProfile& profile)
{
    const Settings settings(profile);
    return {settings.WineCommand(), settings.WinePrefix().Stored()};
}

bool StoreWineSettings(const SettingsProfile& profile, const kprocess::WineSettings& wine)
{
    const Settings settings(profile);
    const bool command = settings.SetWineCommand(wine.command);
    const bool prefix = settings.SetWinePrefix(Path(wine.prefix));
    return command && prefix;
}

korvane::Status LaunchTribes(std::string_view tribesFolder, std::string_view parameters,
                             const kprocess::WineSettings& wine)
{
    // An unset folder would otherwise look for tribes.exe in whatever folder the program runs in.
    if (tribesFolder.empty())
        return GameNotFound(tribesFolder);
#ifdef _WIN32
    // Whether the file is a program Windows can start, and why not, Windows tells when it starts
    // it.
    const auto found = korvane::FindTribesFile(Path(tribesFolder));
#else
    const auto found = korvane::FindTribesProgram(Path(tribesFolder));
#endif
    if (!found)
        return GameNotFound(tribesFolder);
    std::error_code ec;
    const std::filesystem::path program = std::filesystem::absolute(*found, ec);
    if (ec)
        return GameNotFound(tribesFolder);
    const auto kind = korvane::IsWindowsProgram(program) ? kprocess::ProgramKind::Windows
                                                         : kprocess::ProgramKind::Native;
    const korvane::Status started =
        kprocess::StartDetached(program, kind, parameters, program.parent_path(), wine);
    if (started)
        return started;
    if (started.is(kprocess::StartFailure::WineNotFound))
        return korvane::Status::Failure(LaunchFailure::WineNotFound, WineNotFoundMessage(wine));
    if (started.reason().empty())
        return korvane::Status::Failure(LaunchFailure::StartFailed, strings::kGameNotStarted);
    return korvane::Status::Failure(LaunchFailure::StartFailed,
                                    QString::fromUtf8(strings::kGameNotStartedBecause)
                                        .arg(QString::fromStdString(started.reason()))
                                        .toStdString());
}

} // namespace korvane::launch
