#pragma once

#include <QDialog>

class CProfile;

// The main window.
class CManagerDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CManagerDlg(const CProfile& profile, QWidget* parent = nullptr);

private:
    const CProfile& m_profile;
};
