#pragma once

#include "cli/Command.h"
#include "core/platform/FolderLock.h"

#include <optional>
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
    int RunCommand(CliSession& session, const Command& command, const QStringList& arguments) const;
    // The Korvane folder's lock when the command changes that folder and it exists (or only reads
    // it and this user could write in it); nothing when no lock is needed; the reason when it
    // could not be had.
    static korvane::Result<std::optional<korvane::FolderLock>> LockFor(CliSession& session,
                                                                       const Command& command);

    std::vector<Command> m_commands;
};

// Every command of the tool, in the order the help lists them.
std::vector<Command> AllCommands();

} // namespace korvane
