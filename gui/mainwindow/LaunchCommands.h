#pragma once

#include "core/platform/Status.h"

#include <functional>
#include <string>
#include <string_view>

class QWidget;

namespace korvane {
class SettingsProfile;
namespace kprocess {
struct WineSettings;
} // namespace kprocess
} // namespace korvane

namespace korvane::mainwindow {

// The main window's launch commands on one profile's settings, their dialogs and messages over
// parent. Each reads the settings at the moment it runs.
class LaunchCommands
{
public:
    LaunchCommands(const SettingsProfile& profile, QWidget* parent);

    // "Execute Tribes...": the Execute dialog, then the game with the choices made. Nothing is
    // stored.
    void executeTribes() const;
    // "Configure QuickExec...": the Execute dialog over the stored QuickExec, stored again on
    // "Save".
    void configureQuickExec() const;
    // "QuickExec": the game with the stored choices, without a dialog.
    void quickExec() const;
    // "Display Korvane Home Page": the project's home page in the system's browser.
    static void openHomePage();

private:
    using Start = std::function<korvane::Status(const kprocess::WineSettings&)>;

    // The game with the profile's Windows programs settings.
    void launch(const Start& start) const;
    void showMessage(std::string_view text) const;
    std::string tribesFolder() const;

    const SettingsProfile& m_profile;
    QWidget* const m_parent;
};

} // namespace korvane::mainwindow
