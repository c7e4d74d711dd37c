#pragma once

#include "core/catalogue/DescriptionFile.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace korvane {
class CPluginInfo;
} // namespace korvane

namespace korvane::dialogs {

// The description editor: the caller fills the members, runs exec() and reads them after OK.
class CDescEditDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CDescEditDlg(QWidget* parent = nullptr);

    // Fills the members from a record, its texts decoded for display.
    void SetFromRecord(const CPluginInfo& plugin);
    // The members after OK as the bytes the record and its file keep (see
    // descriptionfile::StoredEdits); original is the record SetFromRecord was given, unchanged.
    descriptionfile::Fields GetEditedFields(const CPluginInfo& original) const;

    void accept() override;

    QString m_strAuthor;
    QString m_strCategory;
    QString m_strDescription;
    QString m_strFileName;
    QString m_strName;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Moves the members into the controls (false) or the controls into the members (true).
    void UpdateData(bool saveAndValidate);
    // The description control's text with every line break as LF.
    QString DescriptionText() const;

    QLineEdit* m_editFileName = nullptr;
    QLineEdit* m_editName = nullptr;
    QComboBox* m_comboCategory = nullptr;
    QLineEdit* m_editAuthor = nullptr;
    QPlainTextEdit* m_editDescription = nullptr;
    // The description as the control showed it when filled: the control changes line breaks, so
    // the member is taken back only when the user changed the text.
    QString m_shownDescription;
};

} // namespace korvane::dialogs
