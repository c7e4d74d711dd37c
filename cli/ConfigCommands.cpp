#include "cli/ConfigCommands.h"

#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/Output.h"
#include "cli/SettleOptions.h"
#include "core/catalogue/CommandMessages.h"
#include "core/catalogue/KorvaneWorkflow.h"
#include "core/catalogue/PluginConfiguration.h"
#include "core/platform/KPath.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace korvane {

using strings::Text;

namespace {

constexpr QLatin1StringView kName("name");
constexpr QLatin1StringView kStoreDirectory("store-directory");

// The file the argument names, wherever the tool was started from. Nothing, after a usage error,
// for a name by which Windows would open another file or a device: a configuration saved to nul
// would be lost, and one read from con waits on the keyboard.
std::optional<std::string> ConfigFile(CliSession& session, const QCommandLineParser& arguments)
{
    const QFileInfo file(arguments.positionalArguments().constFirst());
    if (!kpath::IsWindowsName(file.fileName().toStdString())) {
        session.UsageError(Text(strings::kCliBadConfigName)
                               .arg(file.fileName(), Text(strings::kReasonNotWindowsName)));
        return std::nullopt;
    }
    return file.absoluteFilePath().toStdString();
}

int SaveConfig(CliSession& session, const QCommandLineParser& arguments)
{
    const auto file = ConfigFile(session, arguments);
    if (!file)
        return kExitUsage;
    if (!session.RequireKorvaneFolder())
        return kExitFailure;
    KorvaneWorkflow& workflow = session.Workflow();
    const bool storeDirectory = arguments.isSet(kStoreDirectory);
    const auto saved =
        workflow.saveConfiguration(arguments.value(kName).toStdString(), *file, storeDirectory);
    if (!saved)
        return session.Fail(std::string_view(strings::kConfigCreateFailed), saved);
    // The file is what was asked for, so a script goes on; the player is told what it lacks.
    if (const auto keys = workflow.repeatedKeys(storeDirectory); !keys.empty())
        session.Err() << clioutput::ForTerminal(
                             commandmessages::RepeatedKeys(strings::kCliRepeatedKeys, keys))
                      << '\n';
    return kExitSuccess;
}

// A load that left plug-ins of the configuration out of use fails, naming them.
int LoadOutcome(CliSession& session, const pluginconfig::LoadedConfiguration& loaded)
{
    if (const auto notCopied = commandmessages::NotCopied(loaded, commandmessages::Naming::Key))
        return session.Fail(*notCopied);
    return kExitSuccess;
}

// What a load, of a file or of the newest backup, loaded; nothing after its failure was told,
// with how to settle the copies it refused for.
template <class Loaded>
std::optional<Loaded> LoadedOrFailed(CliSession& session, Settling<korvane::Result<Loaded>> load)
{
    if (!load.result) {
        session.Fail(std::string_view(strings::kConfigLoadFailed), load.result.status());
        if (!load.differing.empty())
            clisettle::Hint(session);
        return std::nullopt;
    }
    return std::move(load.result).value();
}

int LoadConfig(CliSession& session, const QCommandLineParser& arguments)
{
    const auto choice = clisettle::ChoiceOf(session, arguments);
    if (!choice)
        return kExitUsage;
    const auto file = ConfigFile(session, arguments);
    if (!file)
        return kExitUsage;
    if (!session.RequireKorvaneFolder())
        return kExitFailure;
    const auto loaded =
        LoadedOrFailed(session, session.Workflow().loadConfiguration(*file, *choice));
    if (!loaded)
        return kExitFailure;
    return LoadOutcome(session, *loaded);
}

int UndoLoad(CliSession& session, const QCommandLineParser& arguments)
{
    const auto choice = clisettle::ChoiceOf(session, arguments);
    if (!choice)
        return kExitUsage;
    if (!session.RequireKorvaneFolder())
        return kExitFailure;
    const auto undone = LoadedOrFailed(session, session.Workflow().undoLastLoad(*choice));
    if (!undone)
        return kExitFailure;
    if (undone->backup.empty())
        return session.Fail(std::string_view(strings::kNothingToUndo));
    // An undo that left plug-ins out has not loaded the backup: the next one tries it again.
    if (!undone->loaded.notCopied.empty())
        return LoadOutcome(session, undone->loaded);
    session.Out()
        << Text(strings::kCliUndoneLoad).arg(QString::fromStdString(undone->backup)).toStdString()
        << '\n';
    return kExitSuccess;
}

} // namespace

std::vector<Command> ConfigCommands()
{
    const QString file = QStringLiteral("FILE");
    return {
        {.name = QStringLiteral("save-config"),
         .usage = strings::kCliSaveConfigUsage,
         .help = strings::kCliSaveConfigHelp,
         .options = {ValueOption(kName, QStringLiteral("T")), FlagOption(kStoreDirectory)},
         .argumentName = file,
         .minArguments = 1,
         .maxArguments = 1,
         .run = SaveConfig,
         .changesKorvaneFolder = true,
         .onlyReads = true},
        {.name = QStringLiteral("load-config"),
         .usage = strings::kCliLoadConfigUsage,
         .help = strings::kCliLoadConfigHelp,
         .options = clisettle::Options(),
         .argumentName = file,
         .minArguments = 1,
         .maxArguments = 1,
         .run = LoadConfig,
         .changesKorvaneFolder = true},
        {.name = QStringLiteral("undo-load"),
         .usage = strings::kCliUndoLoadUsage,
         .help = strings::kCliUndoLoadHelp,
         .options = clisettle::Options(),
         .run = UndoLoad,
         .changesKorvaneFolder = true},
    };
}

} // namespace korvane
