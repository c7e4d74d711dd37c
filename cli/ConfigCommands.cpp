#include "cli/ConfigCommands.h"

#include "core/catalogue/PluginConfiguration.h"
#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
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
    if (!pluginconfig::SaveConfiguration(*korvaneFolder, arguments.value(kName).toStdString(),
                                         ConfigFile(arguments), arguments.isSet(kStoreDirectory)))
        return session.Fail(std::string_view(strings::kConfigCreateFailed));
    return kExitSuccess;
}

int LoadConfig(CliSession& session, const QCommandLineParser& arguments)
{
    const auto korvaneFolder = session.RequireKorvaneFolder();
    if (!korvaneFolder)
        return kExitFailure;
    if (!pluginconfig::LoadConfiguration(*korvaneFolder, ConfigFile(arguments)))
        return session.Fail(std::string_view(strings::kConfigLoadFailed));
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
         SaveConfig},
        {QStringLiteral("load-config"),
         strings::kCliLoadConfigUsage,
         strings::kCliLoadConfigHelp,
         {},
         file,
         1,
         1,
         LoadConfig},
    };
}
