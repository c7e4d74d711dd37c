#include "cli/ConfigCommands.h"

#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/Output.h"
#include "cli/SettleOptions.h"
#include "core/catalogue/PluginConfiguration.h"
#include "core/catalogue/TextEncoding.h"
#include "core/platform/KPath.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QStringList>

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
    const auto korvaneFolder = session.RequireKorvaneFolder();
    if (!korvaneFolder)
        return kExitFailure;
    const bool storeDirectory = arguments.isSet(kStoreDirectory);
    const auto saved = pluginconfig::SaveConfiguration(
        *korvaneFolder, arguments.value(kName).toStdString(), *file, storeDirectory);
    if (!saved)
        return session.Fail(std::string_view(strings::kConfigCreateFailed), saved);
    // The file is what was asked for, so a script goes on; the player is told what it lacks.
    if (const auto keys = storeDirectory ? std::vector<std::string>()
                                         : pluginconfig::RepeatedKeys(*korvaneFolder);
        !keys.empty()) {
        QStringList names;
        for (const auto& key : keys)
            names << QString::fromStdString(textencoding::ToUtf8(key));
        session.Err() << clioutput::ForTerminal(
                             Text(strings::kCliRepeatedKeys).arg(names.join(", ")).toStdString())
                      << '\n';
    }
    return kExitSuccess;
}

// A load that left plug-ins of the configuration out of use fails, naming them.
int LoadOutcome(CliSession& session, const pluginconfig::LoadedConfiguration& loaded)
{
    if (loaded.notCopied.empty())
        return kExitSuccess;
    std::string names;
    for (const auto& [key, reason] : loaded.notCopied)
        names += (names.empty() ? "" : "\n") + key + ": " + reason;
    return session.Fail(std::string_view(strings::kConfigNotAllInUse),
                        korvane::Status::Failure(names));
}

// A load, of a file or of the newest backup, with the settlement the options ask for; the load's
// result, or nothing after the failure was told.
template <class Load>
auto LoadSettling(CliSession& session, settle::Choice choice, const std::string& korvaneFolder,
                  Load load) -> std::optional<decltype(load({}))>
{
    const auto differing = [&korvaneFolder] { return settle::BelowPlugins(korvaneFolder); };
    const auto settlement = clisettle::SettlementFor(choice, differing);
    if (!settlement) {
        session.Fail(std::string_view(strings::kConfigLoadFailed), settlement.status());
        return std::nullopt;
    }
    auto loaded = load(*settlement);
    if (!loaded) {
        session.Fail(std::string_view(strings::kConfigLoadFailed), loaded.status());
        if (choice == settle::Choice::Refuse && clisettle::AnyDiffering(differing))
            clisettle::Hint(session);
        return std::nullopt;
    }
    return loaded;
}

int LoadConfig(CliSession& session, const QCommandLineParser& arguments)
{
    const auto choice = clisettle::ChoiceOf(session, arguments);
    if (!choice)
        return kExitUsage;
    const auto file = ConfigFile(session, arguments);
    if (!file)
        return kExitUsage;
    const auto korvaneFolder = session.RequireKorvaneFolder();
    if (!korvaneFolder)
        return kExitFailure;
    const auto loaded =
        LoadSettling(session, *choice, *korvaneFolder, [&](const settle::Settlement& settlement) {
            return pluginconfig::LoadConfiguration(*korvaneFolder, *file, settlement);
        });
    if (!loaded)
        return kExitFailure;
    return LoadOutcome(session, **loaded);
}

int UndoLoad(CliSession& session, const QCommandLineParser& arguments)
{
    const auto choice = clisettle::ChoiceOf(session, arguments);
    if (!choice)
        return kExitUsage;
    const auto korvaneFolder = session.RequireKorvaneFolder();
    if (!korvaneFolder)
        return kExitFailure;
    const auto loaded =
        LoadSettling(session, *choice, *korvaneFolder, [&](const settle::Settlement& settlement) {
            return pluginconfig::UndoLastLoad(*korvaneFolder, settlement);
        });
    if (!loaded)
        return kExitFailure;
    const auto& undone = *loaded;
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
