#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace korvane {
class SettingsProfile;
} // namespace korvane

namespace korvane::dialogs {

// Chooses the modification folders the game loads, in order, whether it runs as a dedicated
// server and extra command text. Execute mode starts the game with the choices ("Go!");
// QuickExec mode edits the stored QuickExec ("Save"). The caller may fill the public members
// before exec() and reads them after OK.
class CExecuteDlg : public QDialog
{
    Q_OBJECT

public:
    CExecuteDlg(const SettingsProfile& profile, bool quickExec, QWidget* parent = nullptr);

    bool m_bDedicated = false;
    QString m_strExtraCmdLine;
    // On entry the names to show (empty: the Korvane folder's name); after OK the list's names,
    // top to bottom.
    QStringList m_mods;
    const bool m_bQuickExec;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OnInitDialog();
    void OnAdd();
    void OnRemove();
    void OnUp();
    void OnDown();
    void OnOK();

    QString KorvaneFolderName() const;
    // Adds at the name's alphabetical place, without regard to case; an empty name never enters.
    void AddSorted(const QString& name);
    bool IsListed(const QString& name) const;
    int SelectedRow() const;
    void MoveSelected(int row, int newRow);

    const SettingsProfile& m_profile;
    QListWidget* m_listMods = nullptr;
    QCheckBox* m_checkDedicated = nullptr;
    QLineEdit* m_editExtraCmdLine = nullptr;
    QPushButton* m_buttonOk = nullptr;
};

} // namespace korvane::dialogs
