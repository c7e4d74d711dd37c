#include "core/launch/QuickExec.h"

#include "core/platform/Settings.h"
#include "core/platform/SettingsProfile.h"
#include "res/Strings.h"

namespace korvane::launch {
namespace {

// Folder names never hold a backslash, which is why it can separate them.
constexpr char kModSeparator = '\\';

std::string JoinMods(const std::vector<std::string>& mods)
{
    std::string joined;
    for (std::size_t i = 0; i < mods.size(); ++i) {
        if (i > 0)
            joined += kModSeparator;
        joined += mods[i];
    }
    return joined;
}

} // namespace

LaunchChoices LoadQuickExec(const SettingsProfile& profile)
{
    LaunchChoices choices;
    const Settings settings(profile);
    SplitString(settings.QuickExecMods(), kModSeparator, choices.mods);
    choices.dedicated = settings.QuickExecDedicated();
    choices.extraCommandLine = settings.QuickExecExtraCommandLine();
    return choices;
}

bool StoreQuickExec(const SettingsProfile& profile, const LaunchChoices& choices)
{
    const Settings settings(profile);
    const bool mods = settings.SetQuickExecMods(JoinMods(choices.mods));
    const bool dedicated = settings.SetQuickExecDedicated(choices.dedicated);
    const bool extra = settings.SetQuickExecExtraCommandLine(choices.extraCommandLine);
    return mods && dedicated && extra;
}

korvane::Status CheckCanConfigureQuickExec(std::string_view tribesFolder,
                                           std::string_view korvaneFolder)
{
    if (tribesFolder.empty())
        return korvane::Status::Failure(LaunchFailure::TribesFolderNotSet,
                                        strings::kQuickExecNeedsTribes);
    if (korvaneFolder.empty())
        return korvane::Status::Failure(LaunchFailure::KorvaneFolderNotSet,
                                        strings::kQuickExecNeedsKorvane);
    return korvane::Status::Success();
}

korvane::Status RunQuickExec(const LaunchChoices& stored, std::string_view tribesFolder,
                             const kprocess::WineSettings& wine)
{
    if (stored.mods.empty())
        return korvane::Status::Failure(LaunchFailure::QuickExecNotConfigured,
                                        strings::kQuickExecNotConfigured);
    return LaunchTribes(tribesFolder, BuildGameCommandLine(stored), wine);
}

} // namespace korvane::launch
