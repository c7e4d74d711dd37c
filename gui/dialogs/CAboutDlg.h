#pragma once

#include <QDialog>

namespace korvane::dialogs {

// The About box: the application icon, the version and one line about the program.
class CAboutDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace korvane::dialogs
