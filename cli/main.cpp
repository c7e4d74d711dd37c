#include "cli/CliSession.h"
#include "cli/CliTool.h"
#include "core/platform/ProfileEntries.h"
#include "res/Strings.h"

#include <iostream>
#include <QCoreApplication>

using namespace korvane;

int main(int argc, char** argv)
{
    const QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QString::fromLatin1(strings::kCliName));
    // The window names its settings profile after its executable, KorvaneMgr; the tool reads and
    // writes that same profile whatever its own name.
    CliSession session(
        SettingsProfile(QString::fromLatin1(profile::kOrganisation), QStringLiteral("KorvaneMgr")),
        std::cout, std::cerr);
    // Tests of the Korvane folder's lock wait less than a player would.
    if (const int wait = qEnvironmentVariableIntValue("KORVANE_LOCK_WAIT_MS"); wait > 0)
        session.SetLockWait(std::chrono::milliseconds(wait));
    const int status = CliTool(AllCommands()).Run(session, QCoreApplication::arguments());
    std::cout.flush();
    return status;
}
