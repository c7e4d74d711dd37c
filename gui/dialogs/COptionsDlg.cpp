#include "gui/dialogs/COptionsDlg.h"

#include "core/catalogue/KorvaneFolders.h"
#include "core/platform/KPath.h"
#include "core/updater/MinisignKey.h"
#include "gui/dialogs/FolderBrowserDialog.h"
#include "gui/dialogs/WarningBox.h"
#include "gui/widgets/ControlLabel.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvane::dialogs {

using strings::Text;
using widgets::ControlLabel;

namespace {

bool IsKorvaneFolder(const QString& folder)
{
    return korvane::HasKorvaneScript(korvane::Path(folder.toStdString()));
}

bool IsTribesFolder(const QString& folder)
{
    return korvane::FindTribesProgram(korvane::Path(folder.toStdString())).has_value();
}

// Taken exactly: Wine is given the prefix as it is written, and finds it in no other letter case.
bool IsWinePrefix(const QString& folder)
{
    return kprocess::IsWinePrefix(korvane::Path(folder.toStdString()).AsGiven());
}

QLineEdit* FolderEdit(const char* name, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(true);
    edit->setMinimumWidth(230);
    return edit;
}

// "..." says nothing to a screen reader; the browser's title says what the button is for.
QPushButton* BrowseButton(const char* name, const char* browserTitle, QWidget* parent)
{
    auto* button = new QPushButton(Text(strings::kOptionsBrowse), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(ControlLabel::accessibleNameOf(Text(browserTitle)));
    button->setAutoDefault(false);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 12);
    return button;
}

// What the keys field's text is: the IDs of its keys as minisign prints them, or why it is none.
struct KeysReading
{
    bool valid = false;
    QString text;
};

KeysReading ReadKeys(const QString& field)
{
    const auto keys = MinisignKey::ListFrom(field.toStdString());
    if (!keys)
        return {false, Text(strings::kOptionsNotAKey).arg(QString::fromStdString(keys.reason()))};
    if (keys->empty())
        return {true, Text(strings::kOptionsNoKey)};
    QStringList ids;
    for (const MinisignKey& key : *keys)
        ids << QString::fromStdString(key.IdText());
    return {true, Text(ids.size() == 1 ? strings::kOptionsKeyId : strings::kOptionsKeyIds)
                      .arg(ids.join(QStringLiteral(", ")))};
}

} // namespace

COptionsDlg::COptionsDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(Text(strings::kOptionsTitle));

    auto* directories = new QGroupBox(Text(strings::kOptionsDirectories), this);
    m_editTribesDir = FolderEdit("tribesDir", directories);
    m_editKorvaneDir = FolderEdit("korvaneDir", directories);
    auto* tribesLabel = new ControlLabel(Text(strings::kOptionsTribesDir), directories);
    tribesLabel->setControl(m_editTribesDir);
    auto* korvaneLabel = new ControlLabel(Text(strings::kOptionsKorvaneDir), directories);
    korvaneLabel->setControl(m_editKorvaneDir);
    auto* browseTribes = BrowseButton("browseTribes", strings::kBrowseTribesTitle, directories);
    auto* browseKorvane = BrowseButton("browseKorvane", strings::kBrowseKorvaneTitle, directories);
    connect(browseTribes, &QPushButton::clicked, this, &COptionsDlg::OnBrowseTribesDir);
    connect(browseKorvane, &QPushButton::clicked, this, &COptionsDlg::OnBrowseKorvaneDir);

    auto* grid = new QGridLayout(directories);
    grid->addWidget(tribesLabel, 0, 0, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(m_editTribesDir, 0, 1);
    grid->addWidget(browseTribes, 0, 2);
    grid->addWidget(korvaneLabel, 1, 0, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(m_editKorvaneDir, 1, 1);
    grid->addWidget(browseKorvane, 1, 2);
    grid->setColumnStretch(1, 1);

    m_checkRefresh = new QCheckBox(Text(strings::kOptionsRefresh), this);
    m_checkRefresh->setObjectName(QStringLiteral("refreshPlugins"));

    auto* ok = new QPushButton(Text(strings::kOk), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(Text(strings::kCancel), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    connect(ok, &QPushButton::clicked, this, &COptionsDlg::OnOK);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);

    auto* checkRow = new QHBoxLayout;
    checkRow->addSpacing(tribesLabel->sizeHint().width() + grid->horizontalSpacing());
    checkRow->addWidget(m_checkRefresh);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(directories);
    layout->addLayout(checkRow);
    QWidget* windowsPrograms = WindowsProgramsGroup();
    if (windowsPrograms)
        layout->addWidget(windowsPrograms);
    layout->addWidget(UpdatesGroup());
    layout->addStretch(1);
    layout->addLayout(buttons);

    // Tab order of the dialog: the folder rows, OK, Cancel, then the check box.
    setTabOrder(m_editTribesDir, browseTribes);
    setTabOrder(browseTribes, m_editKorvaneDir);
    setTabOrder(m_editKorvaneDir, browseKorvane);
    setTabOrder(browseKorvane, ok);
    setTabOrder(ok, cancel);
    setTabOrder(cancel, m_checkRefresh);
    if (windowsPrograms)
        setTabOrder(m_checkRefresh, m_editWineCommand);
    setTabOrder(windowsPrograms ? findChild<QPushButton*>(QStringLiteral("browseWinePrefix"))
                                : static_cast<QWidget*>(m_checkRefresh),
                m_editPublicKeys);
}

QWidget* COptionsDlg::UpdatesGroup()
{
    auto* group = new QGroupBox(Text(strings::kOptionsUpdates), this);
    m_editPublicKeys = new QLineEdit(group);
    m_editPublicKeys->setObjectName(QStringLiteral("publicKeys"));
    m_editPublicKeys->setPlaceholderText(Text(strings::kOptionsPublicKeysHint));
    auto* label = new ControlLabel(Text(strings::kOptionsPublicKeys), group);
    label->setControl(m_editPublicKeys);
    // A key's text comes from wherever the player copied it: shown as it is, never as markup.
    m_labelKeyIds = new QLabel(group);
    m_labelKeyIds->setObjectName(QStringLiteral("keyIds"));
    m_labelKeyIds->setTextFormat(Qt::PlainText);
    m_labelKeyIds->setWordWrap(true);
    m_labelKeyIds->setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(m_editPublicKeys, &QLineEdit::textChanged, this, &COptionsDlg::OnPublicKeysEdited);

    auto* grid = new QGridLayout(group);
    grid->addWidget(label, 0, 0, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(m_editPublicKeys, 0, 1);
    grid->addWidget(m_labelKeyIds, 1, 1);
    grid->setColumnStretch(1, 1);
    return group;
}

void COptionsDlg::OnPublicKeysEdited()
{
    m_labelKeyIds->setText(ReadKeys(m_editPublicKeys->text()).text);
    // A reason can take more lines than the dialog had room for: it grows, never hiding them.
    if (const int needed = layout()->totalHeightForWidth(width()); isVisible() && needed > height())
        resize(width(), needed);
}

QWidget* COptionsDlg::WindowsProgramsGroup()
{
#ifdef Q_OS_WIN
    return nullptr;
#else
    auto* group = new QGroupBox(Text(strings::kOptionsWindowsPrograms), this);
    m_editWineCommand = new QLineEdit(group);
    m_editWineCommand->setObjectName(QStringLiteral("wineCommand"));
    m_editWineCommand->setPlaceholderText(QString::fromLatin1(kprocess::kDefaultWineCommand));
    m_editWinePrefix = new QLineEdit(group);
    m_editWinePrefix->setObjectName(QStringLiteral("winePrefix"));
    m_editWinePrefix->setPlaceholderText(Text(strings::kOptionsWinePrefixAuto));
    auto* commandLabel = new ControlLabel(Text(strings::kOptionsWineCommand), group);
    commandLabel->setControl(m_editWineCommand);
    auto* prefixLabel = new ControlLabel(Text(strings::kOptionsWinePrefix), group);
    prefixLabel->setControl(m_editWinePrefix);
    auto* browse = BrowseButton("browseWinePrefix", strings::kBrowseWinePrefixTitle, group);
    connect(browse, &QPushButton::clicked, this, &COptionsDlg::OnBrowseWinePrefix);

    auto* grid = new QGridLayout(group);
    grid->addWidget(commandLabel, 0, 0, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(m_editWineCommand, 0, 1, 1, 2);
    grid->addWidget(prefixLabel, 1, 0, Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(m_editWinePrefix, 1, 1);
    grid->addWidget(browse, 1, 2);
    grid->setColumnStretch(1, 1);
    setTabOrder(m_editWineCommand, m_editWinePrefix);
    setTabOrder(m_editWinePrefix, browse);
    return group;
#endif
}

void COptionsDlg::setVisible(bool visible)
{
    if (visible && !isVisible())
        OnInitDialog();
    QDialog::setVisible(visible);
}

void COptionsDlg::OnInitDialog()
{
    ShowMembers();
    m_strOldKorvaneDir = m_strKorvaneDir;
}

void COptionsDlg::ShowMembers()
{
    m_editKorvaneDir->setText(m_strKorvaneDir);
    m_editTribesDir->setText(m_strTribesDir);
    m_checkRefresh->setChecked(m_bRefreshPlugins);
    if (m_editWineCommand) {
        m_editWineCommand->setText(QString::fromStdString(m_wine.command));
        m_editWinePrefix->setText(QString::fromStdString(m_wine.prefix));
    }
    m_editPublicKeys->setText(m_strPublicKeys);
    m_editPublicKeys->setCursorPosition(0); // a key is told by its beginning, RW...
    OnPublicKeysEdited();                   // also when the text is as it was
}

void COptionsDlg::ReadWineEdits()
{
    if (!m_editWineCommand)
        return;
    m_wine.command = m_editWineCommand->text().trimmed().toStdString();
    m_wine.prefix = m_editWinePrefix->text().trimmed().toStdString();
}

void COptionsDlg::Browse(const char* title, const QString& current,
                         const FolderBrowserDialog::FolderTest& test,
                         const std::function<void(const QString& folder)>& store)
{
    // What the controls show is kept while the browser runs and shown again after it.
    m_bRefreshPlugins = m_checkRefresh->isChecked();
    ReadWineEdits();
    m_strPublicKeys = m_editPublicKeys->text();
    FolderBrowserDialog browser(Text(title), {}, current, test, this);
    if (browser.exec() != QDialog::Accepted || browser.SelectedFolder().isEmpty())
        return;
    store(QString::fromStdString(
        kpath::WithTrailingSeparator(browser.SelectedFolder().toStdString())));
    ShowMembers();
}

void COptionsDlg::OnBrowseKorvaneDir()
{
    Browse(strings::kBrowseKorvaneTitle, m_strKorvaneDir,
           {IsKorvaneFolder, Text(strings::kKorvaneFound), Text(strings::kKorvaneNotFound)},
           [this](const QString& folder) { m_strKorvaneDir = folder; });
}

void COptionsDlg::OnBrowseTribesDir()
{
    Browse(strings::kBrowseTribesTitle, m_strTribesDir,
           {IsTribesFolder, Text(strings::kTribesFound), Text(strings::kTribesNotFound)},
           [this](const QString& folder) { m_strTribesDir = folder; });
}

void COptionsDlg::OnBrowseWinePrefix()
{
    // From the prefix the edit shows, as ReadWineEdits keeps it.
    Browse(strings::kBrowseWinePrefixTitle, m_editWinePrefix->text().trimmed(),
           {IsWinePrefix, Text(strings::kWinePrefixFound), Text(strings::kWinePrefixNotFound)},
           [this](const QString& folder) { m_wine.prefix = folder.toStdString(); });
}

void COptionsDlg::OnOK()
{
    m_bRefreshPlugins = m_checkRefresh->isChecked();
    ReadWineEdits();
    m_strPublicKeys = m_editPublicKeys->text().trimmed();
    if (const KeysReading keys = ReadKeys(m_strPublicKeys); !keys.valid) {
        WarningBox::warn(this, WarningBox::withReason(Text(strings::kOptionsKeysRefused),
                                                      keys.text.toStdString()));
        m_editPublicKeys->setFocus();
        return;
    }
    if (m_strTribesDir.isEmpty()) {
        WarningBox::warn(this, Text(strings::kNeedTribesFolder));
        return;
    }
    if (m_strKorvaneDir.isEmpty()) {
        WarningBox::warn(this, Text(strings::kNeedKorvaneFolder));
        return;
    }
    if (m_strKorvaneDir != m_strOldKorvaneDir)
        WarningBox::warn(this, Text(strings::kKorvaneFolderChanged));
    accept();
}

} // namespace korvane::dialogs
