#pragma once

#include "core/platform/GameProcess.h"
#include "gui/dialogs/FolderBrowserDialog.h"

#include <functional>
#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace korvane::dialogs {

// The Options dialog: the Tribes folder, the Korvane folder, whether storage is refreshed
// from the plugins folder at start-up, where Windows programs need Wine, how they run, and the
// public keys updates are checked against. Folders
// change only by browsing, and the browser hands back only a folder that passed its test. The
// caller fills the members and reads them after OK.
class COptionsDlg : public QDialog
{
    Q_OBJECT

public:
    explicit COptionsDlg(QWidget* parent = nullptr);

    void setVisible(bool visible) override;

    QString m_strKorvaneDir; // ends in a separator once browsed
    QString m_strTribesDir;  // ends in a separator once browsed
    bool m_bRefreshPlugins = false;
    kprocess::WineSettings m_wine; // edited only where the Windows programs group is shown
    QString m_strPublicKeys;       // minisign public keys separated by blanks; trimmed after OK

private slots:
    void OnBrowseKorvaneDir();
    void OnBrowseTribesDir();
    void OnBrowseWinePrefix();
    void OnOK();

private:
    void OnInitDialog();
    // Runs the folder browser from current; a folder the player chose goes to store, with a
    // trailing separator, and the dialog shows it.
    void Browse(const char* title, const QString& current,
                const FolderBrowserDialog::FolderTest& test,
                const std::function<void(const QString& folder)>& store);
    void ShowMembers();
    // The Windows programs group: the Wine command and prefix. Null on Windows.
    QWidget* WindowsProgramsGroup();
    void ReadWineEdits();
    // The Updates group: the public keys and, below them, their IDs or why the text is no key.
    QWidget* UpdatesGroup();
    void OnPublicKeysEdited();

    QLineEdit* m_editKorvaneDir = nullptr;
    QLineEdit* m_editTribesDir = nullptr;
    QCheckBox* m_checkRefresh = nullptr;
    QLineEdit* m_editWineCommand = nullptr;
    QLineEdit* m_editWinePrefix = nullptr;
    QLineEdit* m_editPublicKeys = nullptr;
    QLabel* m_labelKeyIds = nullptr;
    QString m_strOldKorvaneDir; // as it was when the dialog opened
};

} // namespace korvane::dialogs
