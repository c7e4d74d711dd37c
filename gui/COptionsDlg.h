#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;

// The Options dialog: the Tribes folder, the Korvane folder and whether storage is refreshed
// from the plugins folder at start-up. Folders change only by browsing, and the browser hands
// back only a folder that passed its test. The caller fills the members and reads them after OK.
class COptionsDlg : public QDialog
{
    Q_OBJECT

public:
    explicit COptionsDlg(QWidget* parent = nullptr);

    void setVisible(bool visible) override;

    QString m_strKorvaneDir; // ends in a separator once browsed
    QString m_strTribesDir;  // ends in a separator once browsed
    bool m_bRefreshPlugins = false;

private slots:
    void OnBrowseKorvaneDir();
    void OnBrowseTribesDir();
    void OnOK();

private:
    void OnInitDialog();
    // Runs the folder browser from the folder now shown; the chosen folder, or nothing.
    QString BrowseFolder(const QString& title, const QString& current,
                         bool (*passes)(const QString& folder), const char* passText,
                         const char* failText);
    void ShowMembers();

    QLineEdit* m_editKorvaneDir = nullptr;
    QLineEdit* m_editTribesDir = nullptr;
    QCheckBox* m_checkRefresh = nullptr;
    QString m_strOldKorvaneDir; // as it was when the dialog opened
};
