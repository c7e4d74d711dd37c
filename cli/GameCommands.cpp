#include "cli/GameCommands.h"

#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "core/launch/GameCommandLine.h"
#include "core/launch/GameLauncher.h"
#include "core/launch/QuickExec.h"
#include "core/platform/KPath.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <QCommandLineParser>

namespace korvane {

namespace {

constexpr QLatin1StringView kDedicated("dedicated");
constexpr QLatin1StringView kMod("mod");
constexpr QLatin1StringView kExtra("extra");
constexpr QLatin1StringView kSet("set");

// The choices the options give. Without --mod the game loads the Korvane folder's modification,
// as the Execute dialog starts with it. Nothing, after a usage error, for a name that is no
// folder's name: the stored QuickExec separates names by backslashes, and the Windows game
// would open a device or another folder by some names.
std::optional<launch::LaunchChoices> ChoicesOf(CliSession& session,
                                               const QCommandLineParser& arguments)
{
    launch::LaunchChoices choices;
    for (const QString& name : arguments.values(kMod)) {
        if (!kpath::IsWindowsName(name.toStdString())) {
            session.UsageError(strings::Text(strings::kCliBadModName).arg(name));
            return std::nullopt;
        }
        choices.mods.push_back(name.toStdString());
    }
    if (choices.mods.empty()) {
        const std::string korvaneName = launch::GetKorvaneFolderName(session.KorvaneFolder());
        if (!korvaneName.empty())
            choices.mods.push_back(korvaneName);
    }
    choices.dedicated = arguments.isSet(kDedicated);
    choices.extraCommandLine = arguments.value(kExtra).toStdString();
    return choices;
}

// A launch command that did not start the game fails with the launch's message.
int ReportLaunch(CliSession& session, const korvane::Status& launched)
{
    if (!launched)
        return session.Fail(std::string_view(launched.reason()));
    return kExitSuccess;
}

int CommandLine(CliSession& session, const QCommandLineParser& arguments)
{
    const auto choices = ChoicesOf(session, arguments);
    if (!choices)
        return kExitUsage;
    session.Out() << launch::BuildGameCommandLine(*choices) << '\n';
    return kExitSuccess;
}

int Launch(CliSession& session, const QCommandLineParser& arguments)
{
    const auto choices = ChoicesOf(session, arguments);
    if (!choices)
        return kExitUsage;
    return ReportLaunch(session, launch::LaunchTribes(session.TribesFolder(),
                                                      launch::BuildGameCommandLine(*choices),
                                                      launch::LoadWineSettings(session.Profile())));
}

int StoreQuickExec(CliSession& session, const QCommandLineParser& arguments)
{
    const auto choices = ChoicesOf(session, arguments);
    if (!choices)
        return kExitUsage;
    if (const korvane::Status ready =
            launch::CheckCanConfigureQuickExec(session.TribesFolder(), session.KorvaneFolder());
        !ready)
        return session.Fail(std::string_view(ready.reason()));
    if (!launch::StoreQuickExec(session.Profile(), *choices))
        return session.Fail(std::string_view(strings::kCliSettingsNotWritten));
    return kExitSuccess;
}

int QuickExec(CliSession& session, const QCommandLineParser& arguments)
{
    if (arguments.isSet(kSet))
        return StoreQuickExec(session, arguments);
    if (arguments.isSet(kDedicated) || arguments.isSet(kMod) || arguments.isSet(kExtra))
        return session.UsageError(strings::Text(strings::kCliOnlyWithSet));
    return ReportLaunch(session, launch::RunQuickExec(launch::LoadQuickExec(session.Profile()),
                                                      session.TribesFolder(),
                                                      launch::LoadWineSettings(session.Profile())));
}

QList<QCommandLineOption> LaunchOptions()
{
    return {FlagOption(kDedicated), ValueOption(kMod, QStringLiteral("NAME")),
            ValueOption(kExtra, QStringLiteral("TEXT"))};
}

} // namespace

std::vector<Command> GameCommands()
{
    return {
        {.name = QStringLiteral("command-line"),
         .usage = strings::kCliCommandLineUsage,
         .help = strings::kCliCommandLineHelp,
         .options = LaunchOptions(),
         .run = CommandLine},
        {.name = QStringLiteral("launch"),
         .usage = strings::kCliLaunchUsage,
         .help = strings::kCliLaunchHelp,
         .options = LaunchOptions(),
         .run = Launch},
        {.name = QStringLiteral("quickexec"),
         .usage = strings::kCliQuickExecUsage,
         .help = strings::kCliQuickExecHelp,
         .options = LaunchOptions() << FlagOption(kSet),
         .run = QuickExec},
    };
}

} // namespace korvane
