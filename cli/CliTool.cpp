#include "cli/CliTool.h"

#include "cli/ClashCommands.h"
#include "cli/CliSession.h"
#include "cli/ConfigCommands.h"
#include "cli/ExitStatus.h"
#include "cli/GameCommands.h"
#include "cli/PluginCommands.h"
#include "cli/UpdateCommands.h"
#include "core/catalogue/KorvaneWorkflow.h"
#include "core/platform/FolderLock.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"
#include "res/Strings.h"
#include "res/Text.h"
#include "res/Version.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

namespace korvane {

namespace {

QCommandLineOption HelpOption()
{
    return QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
}

// A folder given on the command line, as the profile keeps folders: a full path ending in a
// separator, so that a relative name means the same to every command.
std::string StoredFolder(const QString& folder)
{
    const QString absolute =
        QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
    return kpath::WithTrailingSeparator(absolute.toStdString());
}

} // namespace

std::vector<Command> AllCommands()
{
    std::vector<Command> commands;
    for (auto group :
         {PluginCommands, ClashCommands, ConfigCommands, GameCommands, UpdateCommands}) {
        for (Command& command : group())
            commands.push_back(std::move(command));
    }
    return commands;
}

CliTool::CliTool(std::vector<Command> commands) : m_commands(std::move(commands)) {}

const Command* CliTool::Find(const QString& name) const
{
    for (const Command& command : m_commands) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

int CliTool::Run(CliSession& session, const QStringList& arguments) const
{
    const QCommandLineOption korvane(QStringLiteral("korvane"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption tribes(QStringLiteral("tribes"), QString(), QStringLiteral("DIR"));
    const QCommandLineOption version(QStringLiteral("version"));
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    parser.addOptions({korvane, tribes, HelpOption(), version});
    if (!parser.parse(arguments))
        return session.UsageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        session.Out() << strings::kCliHelp;
        return kExitSuccess;
    }
    if (parser.isSet(version)) {
        session.Out() << strings::kCliName << ' ' << version::kVersion << '\n';
        return kExitSuccess;
    }

    const QStringList rest = parser.positionalArguments();
    if (rest.isEmpty())
        return session.UsageError(strings::Text(strings::kCliNoCommand));
    const Command* command = Find(rest.first());
    if (!command)
        return session.UsageError(strings::Text(strings::kCliUnknownCommand).arg(rest.first()));

    for (const QCommandLineOption* folder : {&korvane, &tribes}) {
        if (parser.isSet(*folder) && parser.value(*folder).isEmpty())
            return session.UsageError(strings::Text(strings::kCliEmptyFolder)
                                          .arg(QStringLiteral("--") + folder->names().first()));
    }
    if (parser.isSet(korvane))
        session.OverrideKorvaneFolder(StoredFolder(parser.value(korvane)));
    if (parser.isSet(tribes))
        session.OverrideTribesFolder(StoredFolder(parser.value(tribes)));
    return RunCommand(session, *command, QStringList{arguments.value(0)} + rest.mid(1));
}

int CliTool::RunCommand(CliSession& session, const Command& command,
                        const QStringList& arguments) const
{
    session.SetCommand(&command);
    QCommandLineParser parser;
    parser.addOptions(command.options);
    parser.addOption(HelpOption());
    if (!parser.parse(arguments))
        return session.UsageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        session.Out() << command.usage << "\n\n" << command.help;
        return kExitSuccess;
    }

    const QStringList positional = parser.positionalArguments();
    if (positional.size() < command.minArguments)
        return session.UsageError(
            strings::Text(strings::kCliMissingArgument).arg(command.argumentName));
    if (command.maxArguments >= 0 && positional.size() > command.maxArguments)
        return session.UsageError(strings::Text(strings::kCliUnexpectedArgument)
                                      .arg(positional.value(command.maxArguments)));
    if (!command.changesKorvaneFolder)
        return command.run(session, parser);
    // The whole command runs under one lock, so that what it reads is what it changes.
    int status = kExitFailure;
    const korvane::Status locked = session.Workflow().whileLocked(
        command.onlyReads ? FolderLock::Use::Reads : FolderLock::Use::Changes,
        [&] { status = command.run(session, parser); });
    if (locked.is(KorvaneWorkflow::Refusal::NotKorvaneFolder))
        return session.Fail(std::string_view(strings::kNotKorvaneFolder), locked);
    if (!locked)
        return session.Fail(std::string_view(locked.reason()));
    return status;
}

} // namespace korvane
