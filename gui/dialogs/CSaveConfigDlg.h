#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;

namespace korvane::dialogs {

// Asks for the name of a configuration and whether it stores the plug-ins' subfolders. The
// caller fills the members, runs exec() and reads them after OK.
class CSaveConfigDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CSaveConfigDlg(QWidget* parent = nullptr);

    void accept() override;

    QString m_strConfigName;
    bool m_bStoreDirectory = false;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Moves the members into the controls (false) or the controls into the members (true).
    void UpdateData(bool saveAndValidate);

    QLineEdit* m_editConfigName = nullptr;
    QCheckBox* m_checkStoreDirectory = nullptr;
};

} // namespace korvane::dialogs
