#pragma once

#include "cli/Command.h"

#include <QStringList>
#include <vector>

namespace korvane {

class CliSession;

// korvane-cli's command line: the options before the command, the command, and its own options
// and arguments. Run returns the exit status.
class CliTool
{
public:
    explicit CliTool(std::vector<Command> commands);

    // arguments as the process got them, the program's name first.
    int Run(CliSession& session, const QStringList& arguments) const;

private:
    const Command* Find(const QString& name) const;
    // A command that changes the Korvane folder (changesKorvaneFolder) runs only on a Korvane
    // folder, and while it holds that folder's lock as FolderLock::acquireFor gives it.
    int RunCommand(CliSession& session, const Command& command, const QStringList& arguments) const;

    std::vector<Command> m_commands;
};

// Every command of the tool, in the order the help lists them.
std::vector<Command> AllCommands();

} // namespace korvane
