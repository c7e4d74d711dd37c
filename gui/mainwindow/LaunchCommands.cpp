#include "gui/mainwindow/LaunchCommands.h"

#include "core/launch/QuickExec.h"
#include "core/platform/Settings.h"
#include "core/platform/SettingsProfile.h"
#include "gui/dialogs/CExecuteDlg.h"
#include "gui/dialogs/WarningBox.h"

#include <functional>
#include <QDesktopServices>
#include <QUrl>

namespace korvane::mainwindow {

using dialogs::CExecuteDlg;
using dialogs::WarningBox;
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

void SetChoices(CExecuteDlg& dlg, const LaunchChoices& choices)
{
    dlg.m_mods.clear();
    for (const std::string& name : choices.mods)
        dlg.m_mods.append(QString::fromStdString(name));
    dlg.m_bDedicated = choices.dedicated;
    dlg.m_strExtraCmdLine = QString::fromStdString(choices.extraCommandLine);
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

LaunchCommands::LaunchCommands(const SettingsProfile& profile, QWidget* parent)
    : m_profile(profile), m_parent(parent)
{}

void LaunchCommands::executeTribes() const
{
    CExecuteDlg dlg(m_profile, false, m_parent);
    if (dlg.exec() != QDialog::Accepted)
        return;
    const std::string parameters = BuildGameCommandLine(ChoicesOf(dlg));
    launch([&](const kprocess::WineSettings& wine) {
        return LaunchTribes(tribesFolder(), parameters, wine);
    });
}

void LaunchCommands::configureQuickExec() const
{
    if (const korvane::Status ready = CheckCanConfigureQuickExec(
            tribesFolder(), Settings(m_profile).KorvaneFolder().Stored());
        !ready) {
        showMessage(ready.reason());
        return;
    }
    CExecuteDlg dlg(m_profile, true, m_parent);
    SetChoices(dlg, LoadQuickExec(m_profile));
    if (dlg.exec() == QDialog::Accepted)
        StoreQuickExec(m_profile, ChoicesOf(dlg));
}

void LaunchCommands::quickExec() const
{
    launch([&](const kprocess::WineSettings& wine) {
        return RunQuickExec(LoadQuickExec(m_profile), tribesFolder(), wine);
    });
}

void LaunchCommands::openHomePage()
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(kHomePageUrl)));
}

// A game that is not found or would not start is not reported, as the window always did; a
// missing Wine command is, since the user can fix it.
void LaunchCommands::launch(const Start& start) const
{
    const korvane::Status launched = start(LoadWineSettings(m_profile));
    if (!launched && !launched.is(LaunchFailure::GameNotFound) &&
        !launched.is(LaunchFailure::StartFailed))
        showMessage(launched.reason());
}

void LaunchCommands::showMessage(std::string_view text) const
{
    WarningBox::warn(m_parent, QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

std::string LaunchCommands::tribesFolder() const
{
    return Settings(m_profile).TribesFolder().Stored();
}

} // namespace korvane::mainwindow
