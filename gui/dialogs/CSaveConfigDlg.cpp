#include "gui/dialogs/CSaveConfigDlg.h"

#include "gui/widgets/ControlLabel.h"
#include "res/Strings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

namespace korvane::dialogs {

using widgets::ControlLabel;

CSaveConfigDlg::CSaveConfigDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8(strings::kSaveConfigTitle));

    m_editConfigName = new QLineEdit(this);
    m_editConfigName->setObjectName("configName");
    auto* nameLabel = new ControlLabel(QString::fromUtf8(strings::kSaveConfigName), this);
    nameLabel->setControl(m_editConfigName);

    m_checkStoreDirectory =
        new QCheckBox(QString::fromUtf8(strings::kSaveConfigStoreDirectory), this);
    m_checkStoreDirectory->setObjectName("storeDirectory");
    auto* warning = new QLabel(QString::fromUtf8(strings::kSaveConfigWarning), this);
    warning->setObjectName("warning");
    warning->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout(this);
    form->addRow(nameLabel, m_editConfigName);
    form->addRow(m_checkStoreDirectory);
    form->addRow(warning);
    form->addRow(buttons);
    resize(360, 0);
}

void CSaveConfigDlg::accept()
{
    UpdateData(true);
    QDialog::accept();
}

void CSaveConfigDlg::showEvent(QShowEvent* event)
{
    UpdateData(false);
    QDialog::showEvent(event);
}

void CSaveConfigDlg::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate) {
        m_strConfigName = m_editConfigName->text();
        m_bStoreDirectory = m_checkStoreDirectory->isChecked();
    } else {
        m_editConfigName->setText(m_strConfigName);
        m_checkStoreDirectory->setChecked(m_bStoreDirectory);
    }
}

} // namespace korvane::dialogs
