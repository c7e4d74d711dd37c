#include "cli/ConfigCommands.h"

#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/Output.h"
#include "core/catalogue/PluginConfiguration.h"
#include "core/catalogue/TextEncoding.h"
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

// The file the argument names, wherever the tool was started from.
std::string ConfigFile(const QCommandLineParser& arguments)
{
    return QFileInfo(arguments.positionalArguments().constFirst()).absoluteFilePath().toStdString();
}

int SaveConfig(CliSession& session, const QCommandLineParser& arguments)
{
    const auto korvaneFolder = session.RequireKorvaneFolder();
    if (!korvaneFolder)
        return kExitFailure;
    const bool storeDirectory = arguments.isSet(kStoreDirectory);
    const auto saved =
        pluginconfig::SaveConfiguration(*korvaneFolder, arguments.value(kName).toStdString(),
                                        ConfigFile(arguments), storeDirectory);
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

int LoadConfig(CliSession& session, const QCommandLineParser& arguments)
{
    const auto korvaneFolder = session.RequireKorvaneFolder();
    if (!korvaneFolder)
        return kExitFailure;
    const auto loaded = pluginconfig::LoadConfiguration(*korvaneFolder, ConfigFile(arguments));
    if (!loaded)
        return session.Fail(std::string_view(strings::kConfigLoadFailed), loaded.status());
    return LoadOutcome(session, *loaded);
}

int UndoLoad(CliSession& session, const QCommandLineParser& /*arguments*/)
{
    const auto korvaneFolder = session.RequireKorvaneFolder();
    if (!korvaneFolder)
        return kExitFailure;
    const auto undone = pluginconfig::UndoLastLoad(*korvaneFolder);
    if (!undone)
        return session.Fail(std::string_view(strings::kConfigLoadFailed), undone.status());
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
        {QStringLiteral("save-config"),
         strings::kCliSaveConfigUsage,
         strings::kCliSaveConfigHelp,
         {ValueOption(kName, QStringLiteral("T")), FlagOption(kStoreDirectory)},
         file,
         1,
         1,
         SaveConfig,
         true,
         true},
        {QStringLiteral("load-config"),
         strings::kCliLoadConfigUsage,
         strings::kCliLoadConfigHelp,
         {},
         file,
         1,
         1,
         LoadConfig,
         true},
        {QStringLiteral("undo-load"),
         strings::kCliUndoLoadUsage,
         strings::kCliUndoLoadHelp,
         {},
         {},
         0,
         0,
         UndoLoad,
         true},
    };
}

} // namespace korvane
