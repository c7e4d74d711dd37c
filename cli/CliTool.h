#pragma once

#include "cli/Command.h"

#include <QStringList>
#include <vector>

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
    int RunCommand(CliSession& session, const Command& command, const QStringList& arguments) const;

    std::vector<Command> m_commands;
};

// Every command of the tool, in the order the help lists them.
std::vector<Command> AllCommands();
