#pragma once

class QWidget;

namespace korvane {
class SettingsProfile;
} // namespace korvane

namespace korvane::mainwindow {

// The main window's launch commands. Each reads the settings at the moment it runs.
namespace launchcommands {

// "Execute Tribes...": the Execute dialog, then the game with the choices made. Nothing is stored.
void OnExecuteTribes(const SettingsProfile& profile, QWidget* parent);

// "Configure QuickExec...": the Execute dialog over the stored QuickExec, stored again on "Save".
void OnConfigureQuickExec(const SettingsProfile& profile, QWidget* parent);

// "QuickExec": the game with the stored choices, without a dialog.
void OnQuickExec(const SettingsProfile& profile, QWidget* parent);

// "Display Korvane Home Page": the project's home page in the system's browser.
void OnHomePage();

} // namespace launchcommands

} // namespace korvane::mainwindow
