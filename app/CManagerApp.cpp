#include "app/CManagerApp.h"

#include "core/platform/ProfileEntries.h"
#include "gui/mainwindow/CManagerDlg.h"
#include "res/Icons.h"
#include "res/Strings.h"
#include "res/Version.h"

#include <cstdio>
#include <cstring>

namespace korvane {

CManagerApp theApp;

int CManagerApp::Run(int& argc, char** argv)
{
    // Answered before any window system is opened, so that it works without a desktop.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("%s %s\n", strings::kProgramName, version::kVersion);
        return 0;
    }
    m_app = std::make_unique<QApplication>(argc, argv);
    QApplication::setWindowIcon(icons::WindowIcon());
    InitInstance();
    m_app.reset();
    return 0;
}

void CManagerApp::SetRegistryKey(const char* organisation)
{
    // The application name is the executable's base name, as Qt sets it by default, so a copy
    // of the program under another name keeps settings of its own.
    QCoreApplication::setOrganizationName(QString::fromLatin1(organisation));
    m_profile.emplace(QCoreApplication::organizationName(), QCoreApplication::applicationName());
}

bool CManagerApp::InitInstance()
{
    SetRegistryKey(profile::kOrganisation);
    mainwindow::CManagerDlg dlg(*m_profile);
    dlg.exec();
    return false;
}

} // namespace korvane
