#include "cli/ConfigCommands.h"

#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "core/catalogue/PluginConfiguration.h"
#include "res/Strings.h"

#include <QCommandLineParser>
#include <QFileInfo>

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
    const auto saved =
        pluginconfig::SaveConfiguration(*korvaneFolder, arguments.value(kName).toStdString(),
                                        ConfigFile(arguments), arguments.isSet(kStoreDirectory));
    if (!saved)
        return session.Fail(std::string_view(strings::kConfigCreateFailed), saved);
    return kExitSuccess;
}

int LoadConfig(CliSession& session, const QCommandLineParser& arguments)
{
    const auto korvaneFolder = session.RequireKorvaneFolder();
    if (!korvaneFolder)
        return kExitFailure;
    const auto loaded = pluginconfig::LoadConfiguration(*korvaneFolder, ConfigFile(arguments));
    if (!loaded)
        return session.Fail(std::string_view(strings::kConfigLoadFailed), loaded.status());
    if (loaded->notCopied.empty())
        return kExitSuccess;
    std::string names;
    for (const auto& [key, reason] : loaded->notCopied)
        names += (names.empty() ? "" : "\n") + key + ": " + reason;
    return session.Fail(std::string_view(strings::kConfigNotAllInUse),
                        korvane::Status::Failure(names));
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
    };
}
