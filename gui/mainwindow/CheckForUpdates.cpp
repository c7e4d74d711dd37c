#include "gui/mainwindow/CheckForUpdates.h"

#include "core/catalogue/KorvaneFolders.h"
#include "core/platform/Settings.h"
#include "core/platform/SettingsProfile.h"
#include "core/updater/CUpdateList.h"
#include "core/updater/HeldPlugins.h"
#include "core/updater/UpdateSource.h"
#include "gui/dialogs/CUpdaterDlg.h"
#include "gui/dialogs/WarningBox.h"
#include "res/Strings.h"

#include <memory>
#include <QLocale>
#include <QProgressDialog>

namespace korvane::mainwindow {

using dialogs::CUpdaterDlg;
using dialogs::WarningBox;

namespace {

// Downloads the list while a small modal dialog shows the bytes received and offers Cancel; the
// window behind it keeps repainting.
korvane::Status DownloadWithProgress(CUpdateList& updates, const UpdateSource& source,
                                     QWidget* parent)
{
    QProgressDialog progress(parent);
    progress.setObjectName(QStringLiteral("listProgress"));
    progress.setWindowTitle(QString::fromUtf8(strings::kUpdaterTitle));
    progress.setLabelText(QString::fromUtf8(strings::kListDownloading).arg(0));
    progress.setRange(0, 0); // the list's length is often not known
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    progress.show();
    return source.Download(updates, [&progress](std::uint64_t received) {
        progress.setLabelText(
            QString::fromUtf8(strings::kListDownloading).arg(QLocale().toString(received)));
        return !progress.wasCanceled();
    });
}

} // namespace

CheckForUpdates::CheckForUpdates(const SettingsProfile& profile, QWidget* parent)
    : m_profile(profile), m_parent(parent)
{}

void CheckForUpdates::run(std::function<void()> onInstalled) const
{
    const auto updates = std::make_shared<CUpdateList>();
    const auto download = DownloadWithProgress(*updates, UpdateSource(m_profile), m_parent);
    using Failure = CUpdateList::DownloadFailure;
    // The server cannot be reached now, or the user gave up: nothing to show.
    if (download.is(Failure::InternetError) || download.is(Failure::Cancelled))
        return;
    if (download.is(Failure::Unreadable) || download.is(Failure::Refused)) {
        const char* message = download.is(Failure::Refused) ? strings::kUpdateListRefused
                                                            : strings::kUpdateListUnreadable;
        WarningBox::warn(m_parent,
                         WarningBox::withReason(QString::fromUtf8(message), download.reason()));
        return;
    }
    // The list came, or the server has none (NoList): the window shows the rows there are.
    CUpdaterDlg dlg(updates, Settings(m_profile).KorvaneFolder(), HeldPlugins::Load(m_profile),
                    m_parent);
    if (onInstalled)
        dlg.WhenInstallationEnds(m_parent, std::move(onInstalled));
    dlg.exec();
}

} // namespace korvane::mainwindow
