#include "gui/dialogs/CDescEditDlg.h"

#include "core/catalogue/CPluginInfo.h"
#include "core/catalogue/TextEncoding.h"
#include "gui/widgets/ControlLabel.h"
#include "gui/widgets/NamedComboBox.h"
#include "res/Strings.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

namespace korvane::dialogs {

using widgets::ControlLabel;
using widgets::NamedComboBox;

namespace {

QString Shown(const std::string& bytes)
{
    return QString::fromStdString(textencoding::ToUtf8(bytes));
}

void AddRow(QFormLayout* form, const char* label, QWidget* field)
{
    auto* caption = new ControlLabel(QString::fromUtf8(label), form->parentWidget());
    caption->setControl(field);
    form->addRow(caption, field);
}

} // namespace

CDescEditDlg::CDescEditDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QString::fromUtf8(strings::kDescEditTitle));

    m_editFileName = new QLineEdit(this);
    m_editFileName->setReadOnly(true);
    m_editFileName->setObjectName("fileName");
    m_editName = new QLineEdit(this);
    m_editName->setObjectName("name");

    m_comboCategory = new NamedComboBox(this);
    m_comboCategory->setObjectName("category");
    m_comboCategory->setInsertPolicy(QComboBox::NoInsert);
    QStringList categories;
    for (const char* category : strings::kStockCategories)
        categories << QString::fromUtf8(category);
    categories.sort(Qt::CaseInsensitive);
    m_comboCategory->addItems(categories);

    m_editAuthor = new QLineEdit(this);
    m_editAuthor->setObjectName("author");
    m_editDescription = new QPlainTextEdit(this);
    m_editDescription->setObjectName("description");
    m_editDescription->setTabChangesFocus(true);
    m_editDescription->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_editDescription->installEventFilter(this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout(this);
    AddRow(form, strings::kDescEditFileName, m_editFileName);
    AddRow(form, strings::kDescEditName, m_editName);
    AddRow(form, strings::kDescEditCategory, m_comboCategory);
    AddRow(form, strings::kDescEditAuthor, m_editAuthor);
    AddRow(form, strings::kDescEditDescription, m_editDescription);
    form->addRow(buttons);
    resize(420, 360);
}

void CDescEditDlg::SetFromRecord(const CPluginInfo& plugin)
{
    m_strFileName = Shown(plugin.m_strFileName);
    m_strName = Shown(plugin.m_strName);
    m_strCategory = Shown(plugin.m_strCategory);
    m_strAuthor = Shown(plugin.m_strAuthor);
    m_strDescription = Shown(plugin.m_strDescription);
}

descriptionfile::Fields CDescEditDlg::GetEditedFields(const CPluginInfo& original) const
{
    const descriptionfile::Fields edited{m_strName.toStdString(), m_strCategory.toStdString(),
                                         m_strAuthor.toStdString(), m_strDescription.toStdString()};
    return descriptionfile::StoredEdits(descriptionfile::FieldsOf(original), edited);
}

void CDescEditDlg::accept()
{
    UpdateData(true);
    QDialog::accept();
}

void CDescEditDlg::showEvent(QShowEvent* event)
{
    UpdateData(false);
    QDialog::showEvent(event);
}

bool CDescEditDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Enter in the description presses OK, as in the other fields; Ctrl+Enter starts a new line.
    if (watched == m_editDescription && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (key->modifiers() & Qt::ControlModifier)
                m_editDescription->insertPlainText(QStringLiteral("\n"));
            else
                accept();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CDescEditDlg::UpdateData(bool saveAndValidate)
{
    if (!saveAndValidate) {
        m_editAuthor->setText(m_strAuthor);
        m_comboCategory->setEditText(m_strCategory);
        m_editDescription->setPlainText(m_strDescription);
        m_shownDescription = DescriptionText();
        m_editFileName->setText(m_strFileName);
        m_editName->setText(m_strName);
        return;
    }
    m_strAuthor = m_editAuthor->text();
    m_strCategory = m_comboCategory->currentText();
    if (DescriptionText() != m_shownDescription)
        m_strDescription = DescriptionText();
    m_strFileName = m_editFileName->text();
    m_strName = m_editName->text();
}

QString CDescEditDlg::DescriptionText() const
{
    // The raw text keeps no-break spaces, which the plain-text form would turn into blanks.
    QString text = m_editDescription->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    return text;
}

} // namespace korvane::dialogs
