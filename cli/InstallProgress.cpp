#include "cli/InstallProgress.h"

#include "cli/Output.h"
#include "core/catalogue/TextEncoding.h"
#include "core/updater/CUpdateFileInfo.h"
#include "res/Strings.h"

#include <cstdio>
#include <QString>
#include <QtGlobal>
#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace korvane {

bool InstallProgress::StandardErrorIsTerminal()
{
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr)) != 0;
#else
    return isatty(fileno(stderr)) != 0;
#endif
}

void InstallProgress::Start(const std::string& updateName)
{
    // The name comes from the server: no control character of it reaches the terminal.
    m_updateName = clioutput::ForTerminal(textencoding::ToUtf8(updateName));
    m_terminal << m_updateName;
    m_terminal.flush();
}

void InstallProgress::Received(const CUpdateFileInfo& file, std::uint64_t received)
{
    // The line is cleared to its end, as a shorter one replaces it.
    m_terminal << '\r'
               << QString::fromUtf8(strings::kCliInstallProgress)
                      .arg(QString::fromStdString(m_updateName),
                           QString::fromStdString(
                               clioutput::ForTerminal(textencoding::ToUtf8(file.m_strFile))))
                      .arg(received)
                      .arg(file.m_dwSize)
                      .toStdString()
               << "\x1b[K";
    m_terminal.flush();
}

void InstallProgress::Finish()
{
    m_terminal << '\n';
    m_terminal.flush();
}

} // namespace korvane
