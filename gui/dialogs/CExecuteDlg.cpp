#include "gui/dialogs/CExecuteDlg.h"

#include "core/launch/GameCommandLine.h"
#include "core/platform/FileSystem.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"
#include "core/platform/Settings.h"
#include "core/platform/SettingsProfile.h"
#include "gui/dialogs/FolderBrowserDialog.h"
#include "gui/dialogs/WarningBox.h"
#include "gui/widgets/ControlLabel.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace korvane::dialogs {

using strings::Text;
using widgets::ControlLabel;

namespace {

// The Tribes folder as the browser's root, or empty when it is not set or does not exist.
QString ExistingTribesFolder(const SettingsProfile& profile)
{
    const Path setting = Settings(profile).TribesFolder();
    if (setting.Stored().empty())
        return {};
    const auto folder = setting.OnDisk();
    return kfs::IsFolder(folder) ? QString::fromStdString(kpath::FromNative(folder)) : QString();
}

} // namespace

CExecuteDlg::CExecuteDlg(const SettingsProfile& profile, bool quickExec, QWidget* parent)
    : QDialog(parent), m_bQuickExec(quickExec), m_profile(profile)
{
    setWindowTitle(Text(strings::kExecTitle));

    auto* group = new QGroupBox(Text(strings::kExecModifications), this);
    m_listMods = new QListWidget(group);
    m_listMods->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listMods->setAccessibleName(ControlLabel::accessibleNameOf(group->title()));
    auto* add = new QPushButton(Text(strings::kExecAdd), group);
    auto* remove = new QPushButton(Text(strings::kExecRemove), group);
    auto* up = new QPushButton(Text(strings::kExecUp), group);
    auto* down = new QPushButton(Text(strings::kExecDown), group);
    auto* groupLayout = new QGridLayout(group);
    groupLayout->addWidget(m_listMods, 0, 0, 4, 1);
    groupLayout->addWidget(add, 0, 1, 1, 2);
    groupLayout->addWidget(remove, 1, 1, 1, 2);
    groupLayout->addWidget(up, 2, 1);
    groupLayout->addWidget(down, 2, 2);
    groupLayout->setRowStretch(3, 1);

    m_checkDedicated = new QCheckBox(Text(strings::kExecDedicated), this);
    m_editExtraCmdLine = new QLineEdit(this);
    auto* extraLabel = new ControlLabel(Text(strings::kExecExtraCommands), this);
    extraLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    extraLabel->setControl(m_editExtraCmdLine);

    m_buttonOk = new QPushButton(Text(m_bQuickExec ? strings::kExecSave : strings::kExecGo), this);
    m_buttonOk->setDefault(true);
    auto* cancel = new QPushButton(Text(strings::kExecCancel), this);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_buttonOk);
    buttons->addWidget(cancel);
    buttons->addStretch(1);

    auto* layout = new QGridLayout(this);
    layout->addWidget(group, 0, 0, 1, 2);
    layout->addLayout(buttons, 0, 2, 3, 1);
    layout->addWidget(extraLabel, 1, 0);
    layout->addWidget(m_editExtraCmdLine, 1, 1);
    layout->addWidget(m_checkDedicated, 2, 1);
    layout->setColumnStretch(1, 1);

    setTabOrder(m_listMods, add);
    setTabOrder(add, remove);
    setTabOrder(remove, up);
    setTabOrder(up, down);
    setTabOrder(down, m_checkDedicated);
    setTabOrder(m_checkDedicated, m_buttonOk);
    setTabOrder(m_buttonOk, cancel);
    setTabOrder(cancel, m_editExtraCmdLine);

    connect(add, &QPushButton::clicked, this, &CExecuteDlg::OnAdd);
    connect(remove, &QPushButton::clicked, this, &CExecuteDlg::OnRemove);
    connect(up, &QPushButton::clicked, this, &CExecuteDlg::OnUp);
    connect(down, &QPushButton::clicked, this, &CExecuteDlg::OnDown);
    connect(m_buttonOk, &QPushButton::clicked, this, &CExecuteDlg::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void CExecuteDlg::showEvent(QShowEvent* event)
{
    // Each run of the dialog starts from the members its caller has set.
    if (!event->spontaneous())
        OnInitDialog();
    QDialog::showEvent(event);
}

void CExecuteDlg::OnInitDialog()
{
    m_checkDedicated->setChecked(m_bDedicated);
    m_editExtraCmdLine->setText(m_strExtraCmdLine);
    m_listMods->clear();
    if (m_mods.isEmpty()) {
        AddSorted(KorvaneFolderName());
    } else {
        for (const QString& name : std::as_const(m_mods))
            AddSorted(name);
    }
}

void CExecuteDlg::OnAdd()
{
    const QString tribesFolder = ExistingTribesFolder(m_profile);
    if (tribesFolder.isEmpty()) {
        WarningBox::warn(this, QString::fromUtf8(strings::kExecTribesNotFound));
        return;
    }
    FolderBrowserDialog browser(Text(strings::kExecChooseMod), tribesFolder, {}, std::nullopt,
                                this);
    if (browser.exec() != QDialog::Accepted)
        return;
    const QString name =
        QString::fromStdString(launch::FolderName(browser.SelectedFolder().toStdString()));
    if (!IsListed(name))
        AddSorted(name);
}

void CExecuteDlg::OnRemove()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    // The Korvane folder is the modification itself; only that exact spelling is protected.
    if (m_listMods->item(row)->text() == KorvaneFolderName())
        return;
    delete m_listMods->takeItem(row);
    m_listMods->setCurrentItem(nullptr);
}

void CExecuteDlg::OnUp()
{
    const int row = SelectedRow();
    if (row > 0)
        MoveSelected(row, row - 1);
}

void CExecuteDlg::OnDown()
{
    const int row = SelectedRow();
    if (row >= 0 && row != m_listMods->count() - 1)
        MoveSelected(row, row + 1);
}

void CExecuteDlg::OnOK()
{
    m_mods.clear();
    for (int row = 0; row < m_listMods->count(); ++row)
        m_mods.append(m_listMods->item(row)->text());
    m_bDedicated = m_checkDedicated->isChecked();
    m_strExtraCmdLine = m_editExtraCmdLine->text();
    accept();
}

QString CExecuteDlg::KorvaneFolderName() const
{
    return QString::fromStdString(
        launch::GetKorvaneFolderName(Settings(m_profile).KorvaneFolder().Stored()));
}

void CExecuteDlg::AddSorted(const QString& name)
{
    // A drive or file-system root has no name, and "-mod" without one means nothing to the game.
    if (name.isEmpty())
        return;
    int row = 0;
    while (row < m_listMods->count() &&
           QString::compare(m_listMods->item(row)->text(), name, Qt::CaseInsensitive) <= 0)
        ++row;
    m_listMods->insertItem(row, name);
}

bool CExecuteDlg::IsListed(const QString& name) const
{
    for (int row = 0; row < m_listMods->count(); ++row) {
        if (QString::compare(m_listMods->item(row)->text(), name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

int CExecuteDlg::SelectedRow() const
{
    const QList<QListWidgetItem*> selected = m_listMods->selectedItems();
    return selected.isEmpty() ? -1 : m_listMods->row(selected.front());
}

void CExecuteDlg::MoveSelected(int row, int newRow)
{
    QListWidgetItem* item = m_listMods->takeItem(row);
    m_listMods->insertItem(newRow, item);
    m_listMods->setCurrentItem(item);
}

} // namespace korvane::dialogs
