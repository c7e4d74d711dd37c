#include "gui/dialogs/CUpdaterDlg.h"

#include "core/catalogue/CPluginList.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/platform/KPath.h"
#include "core/updater/CUpdateList.h"
#include "core/updater/InstallWorker.h"
#include "core/updater/UpdatePreview.h"
#include "gui/dialogs/FolderLockWait.h"
#include "gui/dialogs/SettleCopiesDialog.h"
#include "gui/dialogs/UpdateInfoDialog.h"
#include "gui/dialogs/WarningBox.h"
#include "gui/widgets/ShownText.h"
#include "gui/widgets/UpdateAnimation.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace korvane::dialogs {

using strings::Text;
using widgets::ShownText;
using widgets::UpdateAnimation;

namespace {

// Why a row's update is not installed: the held plug-ins it would replace. Empty for any other.
constexpr int kHeldRole = Qt::UserRole + 1;

QString InstalledText(bool installed)
{
    return Text(installed ? strings::kInstalledYes : strings::kInstalledNo);
}

QString HeldReason(const std::vector<std::string>& keys)
{
    QStringList names;
    for (const std::string& key : keys)
        names << u'"' + ShownText(key) + u'"';
    return Text(keys.size() == 1 ? strings::kUpdateHeldOne : strings::kUpdateHeldMany)
        .arg(names.join(QStringLiteral(", ")));
}

// As plain text, wrapped: a tool tip that looks like rich text is read as such, and plain text
// makes one line as wide as the screen.
QString PlainToolTip(const QString& text)
{
    return text.isEmpty() ? text : Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

// The row reads Held, and says why wherever the pointer or a screen reader is on it.
void MarkHeld(QTreeWidgetItem* row, const std::vector<std::string>& keys)
{
    const QString reason = HeldReason(keys);
    row->setText(CUpdaterDlg::kInstalledColumn, Text(strings::kInstalledHeld));
    row->setData(CUpdaterDlg::kNameColumn, kHeldRole, reason);
    for (int column = 0; column < row->columnCount(); ++column) {
        row->setToolTip(column, PlainToolTip(reason));
        row->setData(column, Qt::AccessibleDescriptionRole, reason);
    }
}

} // namespace

CUpdaterDlg::CUpdaterDlg(std::shared_ptr<CUpdateList> updates, Path korvaneFolder, HeldPlugins held,
                         QWidget* parent)
    : QDialog(parent), m_pUpdates(std::move(updates)), m_korvaneFolder(std::move(korvaneFolder)),
      m_held(std::move(held))
{
    setWindowTitle(Text(strings::kUpdaterTitle));
    CreateControls();
    OnInitDialog();
}

void CUpdaterDlg::CreateControls()
{
    m_listUpdates = new QTreeWidget(this);
    m_listUpdates->setObjectName(QStringLiteral("updates"));
    m_listUpdates->setAccessibleName(Text(strings::kUpdatesListName));
    m_listUpdates->setRootIsDecorated(false);
    m_listUpdates->setItemsExpandable(false);
    m_listUpdates->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listUpdates->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_listUpdates->header()->setSectionsClickable(false);
    m_listUpdates->header()->setSectionsMovable(false);

    m_installButton = new QPushButton(Text(strings::kInstallButton), this);
    m_installButton->setObjectName(QStringLiteral("install"));
    m_installButton->setEnabled(false);
    m_installButton->setAutoDefault(false);
    m_viewInfoButton = new QPushButton(Text(strings::kViewInfoButton), this);
    m_viewInfoButton->setObjectName(QStringLiteral("viewInfo"));
    m_viewInfoButton->setEnabled(false);
    m_viewInfoButton->setAutoDefault(false);
    m_closeButton = new QPushButton(Text(strings::kCloseButton), this);
    m_closeButton->setObjectName(QStringLiteral("close"));
    m_closeButton->setDefault(true);
    m_animate = new UpdateAnimation(this);
    m_animate->setObjectName(QStringLiteral("animation"));
    m_animate->setMinimumSize(75, 78);
    // Whether the list is signed and by which key, for the player to compare with the key the
    // server's operator publishes.
    m_signatureLabel = new QLabel(this);
    m_signatureLabel->setObjectName(QStringLiteral("signature"));
    m_signatureLabel->setTextFormat(Qt::PlainText);
    m_signatureLabel->setWordWrap(true);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_installButton);
    buttons->addWidget(m_viewInfoButton);
    buttons->addStretch();
    buttons->addWidget(m_animate);
    buttons->addWidget(m_closeButton);
    auto* listSide = new QVBoxLayout;
    listSide->addWidget(m_listUpdates, 1);
    listSide->addWidget(m_signatureLabel);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(listSide, 1);
    layout->addLayout(buttons);
    resize(600, 410);

    setTabOrder(m_closeButton, m_listUpdates);
    setTabOrder(m_listUpdates, m_installButton);
    setTabOrder(m_installButton, m_viewInfoButton);

    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_installButton, &QPushButton::clicked, this, &CUpdaterDlg::OnInstall);
    connect(m_viewInfoButton, &QPushButton::clicked, this, &CUpdaterDlg::OnViewInfo);
    connect(m_listUpdates, &QTreeWidget::itemSelectionChanged, this,
            &CUpdaterDlg::OnItemChangedUpdateList);
}

void CUpdaterDlg::OnInitDialog()
{
    m_listUpdates->setHeaderLabels({Text(strings::kUpdateNameColumn), Text(strings::kVersionColumn),
                                    Text(strings::kInstalledColumn)});
    m_listUpdates->headerItem()->setTextAlignment(kVersionColumn,
                                                  Qt::AlignRight | Qt::AlignVCenter);
    m_listUpdates->setColumnWidth(kNameColumn, 200);
    m_listUpdates->setColumnWidth(kVersionColumn, 100);
    m_listUpdates->setColumnWidth(kInstalledColumn, 150);

    // Whether an update is installed depends on the copies in use of its plug-ins too.
    CPluginList inUse;
    if (!m_korvaneFolder.Stored().empty())
        inUse.Rescan(PluginsFolder(m_korvaneFolder.AsFolder()).Stored());
    for (int i = 0; i < m_pUpdates->GetSize(); ++i) {
        const CUpdateInfo& update = m_pUpdates->GetAt(i);
        auto* row = new QTreeWidgetItem(m_listUpdates);
        row->setText(kNameColumn, ShownText(update.m_strUpdateName));
        row->setText(kVersionColumn, QString::fromStdString(update.VersionText()));
        row->setTextAlignment(kVersionColumn, Qt::AlignRight | Qt::AlignVCenter);
        if (const auto keys = m_held.ReplacedBy(update, m_korvaneFolder); !keys.empty())
            MarkHeld(row, keys);
        else
            row->setText(kInstalledColumn,
                         InstalledText(m_pUpdates->IsInstalled(m_korvaneFolder, i, &inUse)));
        row->setData(kNameColumn, Qt::UserRole, i);
    }
    m_signatureLabel->setText(
        QString::fromStdString(UpdatePreview::SignatureText(m_pUpdates->Signature())));
    m_animate->Open();
}

void CUpdaterDlg::OnItemChangedUpdateList()
{
    const QList<QTreeWidgetItem*> selected = m_listUpdates->selectedItems();
    // Install stays off for a held plug-in's update, and says why.
    const QString held =
        selected.isEmpty() ? QString() : selected.front()->data(kNameColumn, kHeldRole).toString();
    m_installButton->setEnabled(!selected.isEmpty() && held.isEmpty() && m_nInstalling == -1);
    m_installButton->setToolTip(PlainToolTip(held));
    m_viewInfoButton->setEnabled(!selected.isEmpty());
}

void CUpdaterDlg::OnViewInfo()
{
    const QList<QTreeWidgetItem*> selected = m_listUpdates->selectedItems();
    if (selected.isEmpty())
        return;
    // Looked at now, as the player is about to decide: an installation may have changed what
    // the folder holds since the window opened.
    const int index = selected.front()->data(kNameColumn, Qt::UserRole).toInt();
    UpdateInfoDialog info(UpdatePreview::Of(*m_pUpdates, index, m_korvaneFolder), this);
    info.exec();
}

void CUpdaterDlg::OnInstall()
{
    const QList<QTreeWidgetItem*> selected = m_listUpdates->selectedItems();
    if (selected.isEmpty() || m_nInstalling != -1 ||
        !selected.front()->data(kNameColumn, kHeldRole).toString().isEmpty())
        return;
    m_nInstalling = selected.front()->data(kNameColumn, Qt::UserRole).toInt();
    m_animate->Play();
    // The result goes to the longer-lived context, so that its owner hears of an installation
    // that ends after this window has closed.
    QObject* const receiver = m_endContext ? m_endContext.data() : this;
    InstallWorker::Start({m_nInstalling, m_korvaneFolder, m_pUpdates}, receiver,
                         [window = QPointer<CUpdaterDlg>(this),
                          onEnded = m_onEnded](const Settling<korvane::Status>& installed) {
                             if (window)
                                 window->OnInstallDone(installed);
                             if (onEnded)
                                 onEnded();
                         });
}

void CUpdaterDlg::WhenInstallationEnds(QObject* context, std::function<void()> onEnded)
{
    m_endContext = context;
    m_onEnded = std::move(onEnded);
}

void CUpdaterDlg::OnInstallDone(const Settling<korvane::Status>& installation)
{
    QTreeWidgetItem* row = m_listUpdates->topLevelItem(m_nInstalling);
    m_nInstalling = -1;
    m_animate->Stop();
    bool installed = installation.result.ok();
    // A window already closed keeps quiet: its user has left it.
    if (!installed && isVisible()) {
        if (!installation.differing.empty())
            installed = SettleKeptCopies(installation.differing);
        else
            WarningBox::warn(this, WarningBox::failureMessage(Text(strings::kInstallFailed),
                                                              installation.result));
    }
    if (row)
        row->setText(kInstalledColumn, InstalledText(installed));
}

bool CUpdaterDlg::SettleKeptCopies(const settle::Copies& keptCopies)
{
    // Everything else of the update is in place: the player's copies in use were kept. Settled,
    // they hold storage's bytes and the update is whole.
    const settle::Settlement settlement{SettleCopiesDialog::ask(this, keptCopies), keptCopies};
    if (settlement.choice == settle::Choice::Refuse)
        return false;
    KorvaneWorkflow workflow(m_korvaneFolder, FolderLockWait(), false);
    const korvane::Status settled = workflow.settleCopies(settlement);
    if (!settled)
        WarningBox::warn(this, WarningBox::failureMessage(Text(strings::kSettleFailed), settled));
    return settled.ok();
}

bool CUpdaterDlg::OnClose()
{
    return WarningBox::askYesNo(this, Text(strings::kCloseWhileInstalling));
}

void CUpdaterDlg::closeEvent(QCloseEvent* event)
{
    if (OnClose())
        QDialog::closeEvent(event);
    else
        event->ignore();
}

} // namespace korvane::dialogs
