#pragma once

#include "core/platform/SettingsProfile.h"

#include <memory>
#include <optional>
#include <QApplication>

namespace korvane {

// The application object: names the settings profile after the executable, runs the main window
// as a modal dialog and ends the process when it closes.
class CManagerApp
{
public:
    int Run(int& argc, char** argv);
    // Always false: the main window's own loop is the only message loop.
    bool InitInstance();

    const SettingsProfile& Profile() const { return *m_profile; }

private:
    void SetRegistryKey(const char* organisation);

    std::unique_ptr<QApplication> m_app;
    std::optional<SettingsProfile> m_profile;
};

extern CManagerApp theApp;

} // namespace korvane
