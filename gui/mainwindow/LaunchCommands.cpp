#include "gui/mainwindow/LaunchCommands.h"

#include "core/launch/QuickExec.h"
#include "core/platform/Settings.h"
#include "core/platform/SettingsProfile.h"
#include "gui/dialogs/CExecuteDlg.h"
#include "gui/dialogs/WarningBox.h"

#include <functional>
#include <QDesktopServices>
#include <QUrl>

namespace korvane::mainwindow::launchcommands {

using dialogs::CExecuteDlg;
using dialogs::ShowWarning;
using launch::BuildGameCommandLine;
using launch::CheckCanConfigureQuickExec;
using launch::kHomePageUrl;
using launch::LaunchChoices;
using launch::LaunchFailure;
using launch::LaunchTribes;
using launch::LoadQuickExec;
using launch::LoadWineSettings;
using launch::RunQuickExec;
using launch::StoreQuickExec;

namespace {

void ShowMessage(QWidget* parent, std::string_view text)
{
    ShowWarning(parent, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

std::string TribesFolder(const SettingsProfile& profile)
{
    return Settings(profile).TribesFolder().Stored();
}

void SetChoices(CExecuteDlg& dlg, const LaunchChoices& choices)
{
    dlg.m_mods.clear();
    for (const std::string& name : choices.mods)
        dlg.m_mods.append(QString::fromStdString(name));
    dlg.m_bDedicated = choices.dedicated;
    dlg.m_strExtraCmdLine = QString::fromStdString(choices.extraCommandLine);
}

// The game with the profile's Windows programs settings. A game that is not found or would not
// start is not reported, as the window always did; a missing Wine command is, since the user can
// fix it.
void Launch(const SettingsProfile& profile, QWidget* parent,
            const std::function<korvane::Status(const kprocess::WineSettings&)>& start)
{
    const korvane::Status launched = start(LoadWineSettings(profile));
    if (!launched && !launched.is(LaunchFailure::GameNotFound) &&
        !launched.is(LaunchFailure::StartFailed))
        ShowMessage(parent, launched.reason());
}

LaunchChoices ChoicesOf(const CExecuteDlg& dlg)
{
    LaunchChoices choices;
    for (const QString& name : dlg.m_mods)
        choices.mods.push_back(name.toStdString());
    choices.dedicated = dlg.m_bDedicated;
    choices.extraCommandLine = dlg.m_strExtraCmdLine.toStdString();
    return choices;
}

} // namespace

void OnExecuteTribes(const SettingsProfile& profile, QWidget* parent)
{
    CExecuteDlg dlg(profile, false, parent);
    if (dlg.exec() != QDialog::Accepted)
        return;
    const std::string parameters = BuildGameCommandLine(ChoicesOf(dlg));
    Launch(profile, parent, [&](const kprocess::WineSettings& wine) {
        return LaunchTribes(TribesFolder(profile), parameters, wine);
    });
}

void OnConfigureQuickExec(const SettingsProfile& profile, QWidget* parent)
{
    if (const korvane::Status ready = CheckCanConfigureQuickExec(
            TribesFolder(profile), Settings(profile).KorvaneFolder().Stored());
        !ready) {
        ShowMessage(parent, ready.reason());
        return;
    }
    CExecuteDlg dlg(profile, true, parent);
    SetChoices(dlg, LoadQuickExec(profile));
    if (dlg.exec() == QDialog::Accepted)
        StoreQuickExec(profile, ChoicesOf(dlg));
}

void OnQuickExec(const SettingsProfile& profile, QWidget* parent)
{
    Launch(profile, parent, [&](const kprocess::WineSettings& wine) {
        return RunQuickExec(LoadQuickExec(profile), TribesFolder(profile), wine);
    });
}

void OnHomePage()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kHomePageUrl)));
}

} // namespace korvane::mainwindow::launchcommands
