#include "ui/CManagerDlg.h"

#include "platform/CProfile.h"
#include "res/Strings.h"

CManagerDlg::CManagerDlg(const CProfile& profile, QWidget* parent)
    : QDialog(parent), m_profile(profile)
{
    setWindowTitle(QString::fromUtf8(strings::kAppTitle));
}
