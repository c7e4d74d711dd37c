#include "gui/CheckForUpdates.h"

#include "core/platform/CProfile.h"
#include "core/platform/ProfileEntries.h"
#include "res/Strings.h"
#include "gui/WarningBox.h"
#include "core/updater/CUpdateList.h"
#include "gui/CUpdaterDlg.h"

#include <memory>
#include <QCoreApplication>

void OnCheckForUpdates(const CProfile& profile, QWidget* parent)
{
    const auto pUpdates = std::make_shared<CUpdateList>();
    const std::string strUrl =
        profile.GetProfileString(profile::kUpdater, profile::kUrl, profile::kDefaultUpdateUrl);
    switch (pUpdates->DownloadList(strUrl)) {
    case CUpdateList::DownloadResult::InternetError:
        return; // the server cannot be reached now; there is nothing to show
    case CUpdateList::DownloadResult::Unreadable:
        ShowWarning(parent, QString::fromUtf8(strings::kUpdateListUnreadable));
        return;
    case CUpdateList::DownloadResult::Received:
        break;
    }
    CUpdaterDlg dlg(pUpdates, profile.GetProfileString(profile::kDirectories, profile::kKorvane),
                    parent);
    dlg.exec();
}
