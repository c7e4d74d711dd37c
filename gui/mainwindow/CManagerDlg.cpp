#include "gui/mainwindow/CManagerDlg.h"

#include "core/catalogue/CommandMessages.h"
#include "core/catalogue/ConfigBackup.h"
#include "core/catalogue/DescriptionFile.h"
#include "core/catalogue/FunctionClashes.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/catalogue/KorvaneWorkflow.h"
#include "core/catalogue/PluginConfiguration.h"
#include "core/catalogue/PluginFunctionReader.h"
#include "core/catalogue/PluginUse.h"
#include "core/catalogue/StorageSync.h"
#include "core/launch/GameLauncher.h"
#include "core/platform/FailureList.h"
#include "core/platform/KPath.h"
#include "core/platform/Settings.h"
#include "core/platform/SettingsProfile.h"
#include "core/updater/HeldPlugins.h"
#include "gui/dialogs/BusyWork.h"
#include "gui/dialogs/CAboutDlg.h"
#include "gui/dialogs/CDescEditDlg.h"
#include "gui/dialogs/ClashesDialog.h"
#include "gui/dialogs/ConfigFileDialog.h"
#include "gui/dialogs/COptionsDlg.h"
#include "gui/dialogs/CSaveConfigDlg.h"
#include "gui/dialogs/FolderLockWait.h"
#include "gui/dialogs/SettleCopiesDialog.h"
#include "gui/dialogs/WarningBox.h"
#include "gui/mainwindow/CatalogueView.h"
#include "gui/mainwindow/CheckForUpdates.h"
#include "gui/mainwindow/ClashTexts.h"
#include "gui/mainwindow/FilterBar.h"
#include "gui/mainwindow/FolderFollower.h"
#include "gui/mainwindow/InUseFunctions.h"
#include "gui/mainwindow/LaunchCommands.h"
#include "gui/mainwindow/MarkedScan.h"
#include "gui/mainwindow/PluginDragDrop.h"
#include "gui/mainwindow/PluginKeys.h"
#include "gui/widgets/ControlLabel.h"
#include "gui/widgets/ElidedToolTips.h"
#include "gui/widgets/ShownText.h"
#include "res/Icons.h"
#include "res/Strings.h"
#include "res/Text.h"
#include "res/Version.h"

#include <algorithm>
#include <QApplication>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

namespace korvane::mainwindow {

using dialogs::BusyWork;
using dialogs::CAboutDlg;
using dialogs::CDescEditDlg;
using dialogs::ClashesDialog;
using dialogs::COptionsDlg;
using dialogs::CSaveConfigDlg;
using dialogs::FolderLockWait;
using dialogs::RunSettling;
using dialogs::WarningBox;
using strings::Text;
using widgets::ControlLabel;
using widgets::ElidedToolTips;
using widgets::ShownText;

namespace {

// Runs command, a command of workflow that refuses differing copies, and what follows it, under
// one lock: the window shows the folders as the command left them before another program can
// change them. A lock that cannot be had fails the command.
template <class T, class Command>
Settling<T> WithFollowUp(KorvaneWorkflow& workflow, Command command)
{
    std::optional<Settling<T>> settled;
    const korvane::Status locked =
        workflow.whileLocked(FolderLock::Use::Changes, [&] { settled.emplace(command()); });
    if (!locked)
        return {T(locked), {}};
    return std::move(*settled);
}

// Messages of the core, each with its reason, one after the other.
QString MessagesText(const std::vector<commandmessages::Message>& messages)
{
    QStringList parts;
    for (const auto& message : messages)
        parts << WarningBox::withReason(Text(message.text), message.reason);
    return parts.join(QStringLiteral("\n\n"));
}

QLineEdit* PanelEdit(const char* name, QWidget* parent)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(true);
    return edit;
}

} // namespace

CManagerDlg::CManagerDlg(const SettingsProfile& profile, QWidget* parent)
    : QDialog(parent), m_profile(profile)
{
    setWindowTitle(Text(strings::kAppTitle).arg(QLatin1StringView(version::kVersion)));
    setWindowIcon(icons::WindowIcon());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    createControls();
    createMenus();
    resize(540, 580);
    m_follower = std::make_unique<FolderFollower>(
        [this](MarkedScan& scan) { return showOutsideChange(scan); }, nullptr);
    // A scan made before the window showed a change of its own would undo it.
    connect(m_catalogue.get(), &CatalogueView::shownChanged, m_follower.get(),
            &FolderFollower::shownChanged);
    // Coming back from another program, the player sees what it did to the folders.
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive && isVisible())
                    m_follower->rescanNow();
            });
}

CManagerDlg::~CManagerDlg()
{
    m_follower.reset();
    // The controls outlive this object's members while the base class destroys them; nothing
    // they signal then may reach the handlers.
    m_tree->disconnect(this);
    m_list->disconnect(this);
    m_catalogue->disconnect(this);
}

void CManagerDlg::createControls()
{
    auto* availableLabel = new ControlLabel(Text(strings::kAvailablePlugins), this);
    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("tree"));
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setIconSize(QSize(CatalogueView::kIconSize, CatalogueView::kIconSize));
    m_tree->setContextMenuPolicy(Qt::NoContextMenu);
    m_tree->viewport()->installEventFilter(this);
    availableLabel->setControl(m_tree);

    m_buttonUse = new QPushButton(Text(strings::kUseButton), this);
    m_buttonUse->setObjectName(QStringLiteral("use"));
    m_buttonUnuse = new QPushButton(Text(strings::kUnuseButton), this);
    m_buttonUnuse->setObjectName(QStringLiteral("unuse"));
    for (QPushButton* button : {m_buttonUse, m_buttonUnuse}) {
        button->setEnabled(false);
        button->setAutoDefault(false);
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral(">>")) + 30);
    }

    auto* usedLabel = new ControlLabel(Text(strings::kUsedPlugins), this);
    m_list = new QListView(this);
    m_list->setObjectName(QStringLiteral("list"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setUniformItemSizes(true);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setContextMenuPolicy(Qt::NoContextMenu);
    m_list->viewport()->installEventFilter(this);
    usedLabel->setControl(m_list);
    m_catalogue = std::make_unique<CatalogueView>(m_tree, m_list);
    new ElidedToolTips(m_tree);
    new ElidedToolTips(m_list);
    new PluginKeys(m_tree, m_list,
                   {[this] {
                        if (m_buttonUse->isEnabled())
                            OnUsePlugin();
                    },
                    [this] { OnUnusePlugin(); }, [this](const QPoint& at) { OnRClickTree(at); },
                    [this](const QPoint& at) { OnRClickList(at); }},
                   this);
    new PluginDragDrop(
        m_tree, m_list, *m_catalogue, [this](int plugin) { OnDropOnList(plugin); },
        [this](int plugin) { OnDropOnTree(plugin); }, this);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_buttonUse);
    buttons->addWidget(m_buttonUnuse);
    buttons->addStretch(1);

    auto* lists = new QGridLayout;
    lists->addWidget(availableLabel, 0, 0);
    lists->addWidget(usedLabel, 0, 2);
    lists->addWidget(createTreeOrHint(), 1, 0);
    lists->addLayout(buttons, 1, 1);
    lists->addWidget(m_list, 1, 2);
    lists->setColumnStretch(0, 1);
    lists->setColumnStretch(2, 1);
    lists->setRowStretch(1, 1);

    // Made before the panel, so that the focus passes from its button on to the panel's fields.
    QWidget* countsLine = createCountsLine();
    auto* panel = new QGroupBox(Text(strings::kPluginInformation), this);
    m_editName = PanelEdit("name", panel);
    m_editFileName = PanelEdit("fileName", panel);
    m_editSubdirectory = PanelEdit("subdirectory", panel);
    m_editAuthor = PanelEdit("author", panel);
    m_editDescription = new QPlainTextEdit(panel);
    m_editDescription->setObjectName(QStringLiteral("description"));
    m_editDescription->setReadOnly(true);
    m_editDescription->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Room for four lines; a larger window gives its height to the tree and the list, and a
    // smaller one takes it from here first, down to two lines: the layout keeps its stretching
    // rows (the tree and the list) at their least height until the others are at theirs, and
    // that least height is seven rows.
    const auto lines = [this](int count) {
        return m_editDescription->fontMetrics().lineSpacing() * count +
               2 * m_editDescription->frameWidth() + 8;
    };
    m_editDescription->setMinimumHeight(lines(2));
    m_editDescription->setMaximumHeight(lines(4));
    const int row = std::max(CatalogueView::kIconSize, fontMetrics().lineSpacing()) + 4;
    for (QAbstractScrollArea* view :
         {static_cast<QAbstractScrollArea*>(m_tree), static_cast<QAbstractScrollArea*>(m_list)})
        view->setMinimumHeight(7 * row + 2 * view->frameWidth());

    auto* fields = new QGridLayout(panel);
    const auto addRow = [&](const char* label, QWidget* field) {
        const int row = fields->rowCount();
        auto* caption = new ControlLabel(Text(label), panel);
        caption->setControl(field);
        fields->addWidget(caption, row, 0, Qt::AlignRight | Qt::AlignTop);
        fields->addWidget(field, row, 1);
    };
    addRow(strings::kPanelName, m_editName);
    addRow(strings::kPanelFileName, m_editFileName);
    addRow(strings::kPanelSubdirectory, m_editSubdirectory);
    addRow(strings::kPanelAuthor, m_editAuthor);
    addRow(strings::kPanelDescription, m_editDescription);
    fields->addWidget(createClashLine(panel), fields->rowCount(), 0, 1, 2);
    fields->setColumnStretch(1, 1);

    auto* layout = new QVBoxLayout(this);
    m_filterBar = new FilterBar(this);
    connect(m_filterBar, &FilterBar::filterChanged, this, &CManagerDlg::onFilterChanged);
    layout->addWidget(m_filterBar);
    layout->addLayout(lists, 1);
    layout->addWidget(countsLine);
    layout->addWidget(panel);

    // As the screen shows them: the filter above, then left to right, then the panel's fields
    // from the top.
    const QList<QWidget*> order{m_filterBar->field(), m_tree,        m_firstRunHint->focusProxy(),
                                m_buttonUse,          m_buttonUnuse, m_list,
                                m_readFailures,       m_editName,    m_editFileName,
                                m_editSubdirectory,   m_editAuthor,  m_editDescription,
                                m_clashText};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(m_catalogue.get(), &CatalogueView::currentChanged, this,
            &CManagerDlg::OnSelChangedTree);
    connect(m_tree, &QTreeView::collapsed, this, &CManagerDlg::OnItemCollapsedTree);
    connect(m_catalogue.get(), &CatalogueView::entrySelectionChanged, this,
            &CManagerDlg::OnItemChangedList);
    connect(m_buttonUse, &QPushButton::clicked, this, &CManagerDlg::OnUsePlugin);
    connect(m_buttonUnuse, &QPushButton::clicked, this, &CManagerDlg::OnUnusePlugin);
    connect(m_tree, &QTreeView::doubleClicked, this, &CManagerDlg::OnDblClickTree);
    connect(m_list, &QListView::doubleClicked, this, &CManagerDlg::OnDblClickList);
}

QWidget* CManagerDlg::createTreeOrHint()
{
    // Framed and filled like the tree it stands for.
    auto* hint = new QFrame(this);
    hint->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    hint->setBackgroundRole(QPalette::Base);
    hint->setAutoFillBackground(true);
    m_firstRunHint = hint;
    m_firstRunHint->setObjectName(QStringLiteral("firstRunHint"));
    auto* text = new QLabel(Text(strings::kNoKorvaneFolderHint), m_firstRunHint);
    m_firstRunHint->setAccessibleName(text->text());
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignCenter);
    auto* options = new QPushButton(Text(strings::kNoKorvaneFolderOptions), m_firstRunHint);
    options->setObjectName(QStringLiteral("hintOptions"));
    options->setAutoDefault(false);
    connect(options, &QPushButton::clicked, this, &CManagerDlg::OnOptions);
    m_firstRunHint->setFocusProxy(options);
    auto* layout = new QVBoxLayout(m_firstRunHint);
    layout->addStretch(1);
    layout->addWidget(text);
    layout->addWidget(options, 0, Qt::AlignHCenter);
    layout->addStretch(1);

    m_treeOrHint = new QStackedWidget(this);
    m_treeOrHint->addWidget(m_tree);
    m_treeOrHint->addWidget(m_firstRunHint);
    return m_treeOrHint;
}

void CManagerDlg::createMenus()
{
    auto* bar = new QMenuBar(this);
    layout()->setMenuBar(bar);
    const auto command = [this](QMenu* menu, const char* text, void (CManagerDlg::*handler)()) {
        QAction* action = menu->addAction(Text(text));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };

    QMenu* file = bar->addMenu(Text(strings::kMenuFile));
    command(file, strings::kMenuQuickExec, &CManagerDlg::OnQuickExec);
    command(file, strings::kMenuExecuteTribes, &CManagerDlg::OnExecuteTribes);
    file->addSeparator();
    command(file, strings::kMenuSaveConfig, &CManagerDlg::OnSaveConfig);
    command(file, strings::kMenuLoadConfig, &CManagerDlg::OnLoadConfig);
    QAction* undoLoad = command(file, strings::kMenuUndoLoad, &CManagerDlg::OnUndoLoad);
    // Off while no load is recorded to undo.
    connect(file, &QMenu::aboutToShow, this, [this, undoLoad] {
        const Path folder = korvaneFolder();
        const auto last = configbackup::LastLoad(folder);
        undoLoad->setEnabled(!folder.Stored().empty() && (!last || !last->empty()));
    });
    file->addSeparator();
    // The menu item is never drawn greyed; a command chosen while its rule says no is dropped.
    QAction* editDescription = file->addAction(Text(strings::kMenuEditDescription));
    connect(editDescription, &QAction::triggered, this, [this] {
        if (OnUpdateEditDescription())
            OnEditDescription();
    });
    file->addSeparator();
    command(file, strings::kMenuExit, &CManagerDlg::OnExit);

    QMenu* options = bar->addMenu(Text(strings::kMenuOptions));
    command(options, strings::kMenuOptionsCommand, &CManagerDlg::OnOptions);
    command(options, strings::kMenuConfigureQuickExec, &CManagerDlg::OnConfigureQuickExec);

    QMenu* view = bar->addMenu(Text(strings::kMenuView));
    command(view, strings::kMenuClashes, &CManagerDlg::OnViewClashes);

    QMenu* help = bar->addMenu(Text(strings::kMenuHelp));
    command(help, strings::kMenuCheckForUpdates, &CManagerDlg::OnCheckForUpdates);
    help->addSeparator();
    command(help, strings::kMenuHomePage, &CManagerDlg::OnHomePage);
    help->addSeparator();
    command(help, strings::kMenuAbout, &CManagerDlg::OnAbout);

    const auto holdItem = [this](QMenu* menu, void (CManagerDlg::*handler)(bool)) {
        QAction* action = menu->addAction(Text(strings::kPopupHold));
        action->setCheckable(true);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    m_treePopup = new QMenu(this);
    command(m_treePopup, strings::kPopupAddToList, &CManagerDlg::OnAddToList);
    m_treePopup->addSeparator();
    command(m_treePopup, strings::kPopupEditDescription, &CManagerDlg::OnContextEditDescription);
    m_treePopup->addSeparator();
    m_treeHold = holdItem(m_treePopup, &CManagerDlg::OnHoldTree);

    m_listPopup = new QMenu(this);
    command(m_listPopup, strings::kPopupRemoveFromList, &CManagerDlg::OnRemoveFromList);
    m_listPopup->addSeparator();
    m_listHold = holdItem(m_listPopup, &CManagerDlg::OnHoldList);
}

void CManagerDlg::setVisible(bool visible)
{
    if (visible && !m_initialised) {
        m_initialised = true;
        restoreWindowGeometry();
        OnInitDialog();
    }
    QDialog::setVisible(visible);
}

void CManagerDlg::done(int result)
{
    // The one setting written on the way out, and only when the window moved or changed size.
    const Settings settings(m_profile);
    if (const QByteArray geometry = saveGeometry();
        isVisible() && geometry != settings.WindowGeometry())
        settings.SetWindowGeometry(geometry);
    QDialog::done(result);
}

void CManagerDlg::restoreWindowGeometry()
{
    // Qt brings a window saved on a screen that is gone onto one that is there.
    if (const QByteArray stored = Settings(m_profile).WindowGeometry(); !stored.isEmpty())
        restoreGeometry(stored);
}

void CManagerDlg::keyPressEvent(QKeyEvent* event)
{
    // Neither key ends the window, whatever has the focus: a stray key must not close it.
    switch (event->key()) {
    case Qt::Key_Escape:
        m_filterBar->clear();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Presses the button that has the focus.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()); button && button->isEnabled())
            button->click();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

bool CManagerDlg::eventFilter(QObject* watched, QEvent* event)
{
    // A right click opens the popup of the item under it without selecting that item, so the
    // popup's commands can act on another plug-in than the one the panel shows.
    const bool onTree = watched == m_tree->viewport();
    const bool onList = watched == m_list->viewport();
    if (!onTree && !onList)
        return QDialog::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::RightButton)
            break;
        if (event->type() == QEvent::MouseButtonPress) {
            const QPoint position = mouse->position().toPoint();
            if (onTree)
                OnRClickTree(position);
            else
                OnRClickList(position);
        }
        return true;
    }
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void CManagerDlg::OnExit()
{
    accept();
}

void CManagerDlg::OnAbout()
{
    CAboutDlg about(this);
    about.exec();
}

void CManagerDlg::OnInitDialog()
{
    const Settings settings(m_profile);
    if (settings.KorvaneFolder().Stored().empty() || settings.TribesFolder().Stored().empty())
        OnOptions();
    reloadFolders(korvaneFolder(), settings.RefreshPlugins());
    m_treeOrHint->currentWidget()->setFocus();
}

void CManagerDlg::OnOptions()
{
    const Settings settings(m_profile);
    const Path korvane = korvaneFolder();
    const std::string tribes = settings.TribesFolder().Stored();
    const bool refresh = settings.RefreshPlugins();
    COptionsDlg dlg(this);
    dlg.m_strKorvaneDir = QString::fromStdString(korvane.Stored());
    dlg.m_strTribesDir = QString::fromStdString(tribes);
    dlg.m_bRefreshPlugins = refresh;
    const kprocess::WineSettings wine = launch::LoadWineSettings(m_profile);
    dlg.m_wine = wine;
    const std::string keys = settings.PublicKeys();
    dlg.m_strPublicKeys = QString::fromStdString(keys);
    if (dlg.exec() != QDialog::Accepted)
        return;
    if (dlg.m_wine != wine)
        launch::StoreWineSettings(m_profile, dlg.m_wine);
    if (const std::string newKeys = dlg.m_strPublicKeys.toStdString(); newKeys != keys)
        settings.SetPublicKeys(newKeys);

    const std::string newTribes = dlg.m_strTribesDir.toStdString();
    if (newTribes != tribes)
        settings.SetTribesFolder(Path(newTribes));
    const Path newKorvane(dlg.m_strKorvaneDir.toStdString());
    if (newKorvane == korvane) {
        // The check box is kept also when it is the only change.
        if (dlg.m_bRefreshPlugins != refresh)
            settings.SetRefreshPlugins(dlg.m_bRefreshPlugins);
        return;
    }
    settings.SetKorvaneFolder(newKorvane);
    settings.SetRefreshPlugins(dlg.m_bRefreshPlugins);
    // An existing storage folder of the new Korvane folder is taken as it is.
    reloadFolders(newKorvane, false);
}

void CManagerDlg::reloadFolders(const Path& folder, bool refreshExistingStorage)
{
    const bool none = folder.Stored().empty();
    m_treeOrHint->setCurrentWidget(none ? m_firstRunHint : m_tree);
    // Nothing to filter without a Korvane folder.
    if (none)
        m_filterBar->clear();
    m_filterBar->setEnabled(!none);
    if (none) {
        clearControls();
        return;
    }
    MarkedScan scan;
    const auto synchronised = KorvaneWorkflow(folder, FolderLockWait(), refreshExistingStorage)
                                  .synchronise(scan.catalogue, scan.inUse);
    if (!synchronised) {
        // What the folders hold is not known while another Korvane Manager changes them.
        clearControls();
        WarningBox::warn(this, WarningBox::failureMessage(QString(), synchronised.status()));
        return;
    }
    if (synchronised->outcome == storagesync::Outcome::Ready) {
        scan.DescribeTwins(korvane::StorageFolder(folder));
        scan.ReadFunctions(folder, m_follower->idleCache());
        showCatalogue(std::move(scan), folder);
    } else {
        // Nothing of another Korvane folder may stay on show: the commands would act on the
        // folders of the new setting.
        clearControls();
    }
    showProblems(*synchronised);
}

void CManagerDlg::showProblems(const storagesync::Synchronisation& synchronised)
{
    std::vector<commandmessages::Message> problems =
        commandmessages::ReadProblems(synchronised.unreadable, synchronised.descriptions);
    if (const auto storage = commandmessages::StorageProblem(synchronised))
        problems.insert(problems.begin(), *storage);
    if (!problems.empty())
        WarningBox::warn(this, MessagesText(problems));
}

void CManagerDlg::showReadFailures(const MarkedScan& scan)
{
    const auto failures = storagesync::ReadFailuresOf(scan.catalogue, scan.inUse);
    m_readFailuresText =
        MessagesText(commandmessages::ReadProblems(failures.folders, failures.descriptions));
    m_readFailures->setVisible(!m_readFailuresText.isEmpty());
}

void CManagerDlg::clearControls()
{
    showCatalogue(MarkedScan(), Path());
}

void CManagerDlg::showCatalogue(MarkedScan scan, const Path& folder)
{
    m_hContextItem = -1;
    showReadFailures(scan);
    const auto folders = scan.Folders();
    m_catalogue->show(scan);
    showHeld();
    m_follower->follow(folder, folders);
    // The records the panel showed are gone with the old tree.
    clearPluginInfo();
    updateActions();
    showFilterCount();
    showCounts();
}

bool CManagerDlg::showOutsideChange(MarkedScan& scan)
{
    const QWidget* modal = QApplication::activeModalWidget();
    if ((modal && modal != this) || QApplication::activePopupWidget() || m_busy)
        return false;
    showReadFailures(scan);
    // Another Korvane Manager or korvane-cli may have held or released plug-ins meanwhile.
    showHeld();
    if (m_catalogue->update(scan))
        showSelectionAsItIs();
    else
        updateActions(); // the plug-ins in use may define other functions now
    return true;
}

void CManagerDlg::showSelectionAsItIs()
{
    m_hContextItem = -1; // the next popup remembers its own
    const int current = m_catalogue->currentPlugin();
    if (const CPluginInfo* plugin = m_catalogue->record(current)) {
        // The list's selection follows the tree's plug-in, as when the user selects it.
        m_catalogue->selectEntry(current, true);
        showPluginInfo(*plugin);
    } else if (const int selected = m_catalogue->selectedEntry(); selected >= 0) {
        showPluginInfo(*m_catalogue->record(selected));
    } else if (!m_tree->currentIndex().isValid()) {
        clearPluginInfo();
    }
    updateActions();
    showFilterCount();
    showCounts();
}

void CManagerDlg::onFilterChanged(const QString& text)
{
    m_catalogue->setFilter(text);
    showFilterCount();
    dropHiddenSelection();
}

void CManagerDlg::showFilterCount()
{
    m_filterBar->showCount(m_catalogue->shownCount(), m_catalogue->storedCount());
}

void CManagerDlg::dropHiddenSelection()
{
    // The catalogue leaves no plug-in out of view current in the tree, which turned ">>" off.
    if (m_tree->currentIndex().isValid())
        return;
    if (m_catalogue->selectedEntry() < 0)
        clearPluginInfo();
    updateActions(); // a selected entry stays the one "<<" takes out of use
}

QWidget* CManagerDlg::createClashLine(QWidget* panel)
{
    m_clashLine = new QWidget(panel);
    auto* layout = new QHBoxLayout(m_clashLine);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* sign = new QLabel(m_clashLine);
    sign->setPixmap(style()
                        ->standardIcon(QStyle::SP_MessageBoxWarning)
                        .pixmap(CatalogueView::kIconSize, CatalogueView::kIconSize));
    sign->setAlignment(Qt::AlignTop);
    m_clashText = new QLabel(m_clashLine);
    m_clashText->setObjectName(QStringLiteral("clashWarning"));
    m_clashText->setTextFormat(Qt::PlainText);
    m_clashText->setWordWrap(true);
    // Reached with Tab, so that a screen reader reads it with the panel's fields.
    m_clashText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_clashText->setFocusPolicy(Qt::StrongFocus);
    layout->addWidget(sign);
    layout->addWidget(m_clashText, 1);
    m_clashLine->hide();
    return m_clashLine;
}

QWidget* CManagerDlg::createCountsLine()
{
    auto* line = new QWidget(this);
    auto* layout = new QHBoxLayout(line);
    layout->setContentsMargins(0, 0, 0, 0);
    m_counts = new QLabel(line);
    m_counts->setObjectName(QStringLiteral("counts"));
    layout->addWidget(m_counts, 1);
    // A later scan tells of what it could not read here rather than in a message of its own:
    // scans follow changes the user did not ask for.
    m_readFailures = new QPushButton(style()->standardIcon(QStyle::SP_MessageBoxWarning),
                                     Text(strings::kReadFailuresButton), line);
    m_readFailures->setObjectName(QStringLiteral("readFailures"));
    m_readFailures->setFlat(true);
    // The lists keep their height as it comes and goes.
    QSizePolicy policy = m_readFailures->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    m_readFailures->setSizePolicy(policy);
    m_readFailures->hide();
    connect(m_readFailures, &QPushButton::clicked, this,
            [this] { WarningBox::warn(this, m_readFailuresText); });
    layout->addWidget(m_readFailures);
    return line;
}

void CManagerDlg::showCounts()
{
    const QLocale locale;
    const QString inUse = locale.toString(m_catalogue->inUseCount());
    const int stored = m_catalogue->storedCount();
    m_counts->setText(stored == 1
                          ? Text(strings::kStoredCountOne).arg(inUse)
                          : Text(strings::kStoredCount).arg(locale.toString(stored), inUse));
}

void CManagerDlg::OnSelChangedTree(const QModelIndex& current)
{
    // The list's selection is the tree's plug-in's entry or none, so that "<<" never acts on
    // another plug-in than the panel shows. Only a plug-in the filter took out of the tree
    // leaves its entry selected.
    const int plugin = m_catalogue->pluginOf(current);
    if (plugin < 0) {
        if (current.isValid())
            m_list->clearSelection();
        updateActions();
        return;
    }
    m_catalogue->selectEntry(plugin);
    updateActions();
    showPluginInfo(*m_catalogue->record(plugin));
}

void CManagerDlg::OnItemCollapsedTree(const QModelIndex& category)
{
    // A hidden plug-in cannot stay the one ">>" acts on.
    if (m_tree->currentIndex().parent() == category)
        m_tree->setCurrentIndex(category);
}

void CManagerDlg::OnItemChangedList()
{
    const int selected = m_catalogue->selectedEntry();
    updateActions();
    if (selected < 0)
        return;
    // The tree's current item is the entry's plug-in, or none while the filter hides it.
    if (m_catalogue->currentPlugin() != selected)
        m_catalogue->makeCurrent(selected);
    // An entry whose plug-in the filter leaves out of the tree still shows what it is.
    if (!m_catalogue->isShown(selected))
        showPluginInfo(*m_catalogue->record(selected));
}

void CManagerDlg::OnUsePlugin()
{
    const int current = m_catalogue->currentPlugin();
    if (!putInUse(current))
        return;
    // The new entry is the one "<<" takes out again.
    m_catalogue->selectEntry(current);
    updateActions();
}

void CManagerDlg::OnUnusePlugin()
{
    const int selected = m_catalogue->selectedEntry();
    if (selected < 0 || !takeOutOfUse(selected))
        return;
    updateActions();
}

bool CManagerDlg::putInUse(int pluginNumber)
{
    const CPluginInfo* plugin = m_catalogue->record(pluginNumber);
    // The window keeps one entry per plug-in; a twin's key is another plug-in's.
    if (!plugin || m_catalogue->isInUse(pluginNumber) || m_catalogue->isTwin(pluginNumber))
        return false;
    const korvane::Status copied = workflow().use(*plugin);
    if (!copied) {
        const QString name = ShownText(plugin->m_strName);
        WarningBox::warn(
            this, WarningBox::failureMessage(Text(strings::kUsePluginFailed).arg(name), copied));
        return false;
    }
    m_catalogue->addEntry(pluginNumber);
    // A look at the folders marks the plug-ins it made clash, whether or not a watch saw it.
    m_follower->rescanSoon();
    showCounts();
    return true;
}

bool CManagerDlg::takeOutOfUse(int pluginNumber)
{
    const CPluginInfo* plugin = m_catalogue->record(pluginNumber);
    if (!plugin || !m_catalogue->isInUse(pluginNumber))
        return false;
    KorvaneWorkflow workflow = this->workflow();
    const QString name = ShownText(plugin->m_strName);
    const CPluginInfo record = *plugin; // the catalogue's may be replaced before the second try
    bool elsewhere = false;
    const auto deleted = RunSettling(this, [&](const settle::Settlement& settlement) {
        return WithFollowUp<korvane::Status>(workflow, [&] {
            // Other subfolders of plugins change too: more than this entry goes out of date.
            elsewhere = elsewhere || pluginuse::InUseElsewhere(workflow.folder(), record);
            auto unused = workflow.unuse(record, settlement);
            if (elsewhere && (unused.result || unused.differing.empty()))
                showFoldersAsTheyAre();
            return unused;
        });
    });
    if (deleted && !*deleted)
        WarningBox::warn(this, WarningBox::failureMessage(
                                   Text(strings::kUnusePluginFailed).arg(name), *deleted));
    if (!deleted && elsewhere)
        (void)workflow.whileLocked(FolderLock::Use::Changes, [this] { showFoldersAsTheyAre(); });
    if (!deleted || !*deleted || elsewhere)
        return false;
    m_catalogue->removeEntry(pluginNumber);
    m_follower->rescanSoon(); // as after ">>"
    dropHiddenSelection();    // the panel may have shown it for its entry alone
    showCounts();
    return true;
}

void CManagerDlg::OnRClickTree(const QPoint& viewportPos)
{
    const int plugin = m_catalogue->pluginAt(m_tree, viewportPos);
    if (plugin < 0)
        return;
    m_hContextItem = plugin;
    m_treeHold->setChecked(m_catalogue->isHeld(plugin));
    m_treePopup->exec(m_tree->viewport()->mapToGlobal(viewportPos));
}

void CManagerDlg::OnRClickList(const QPoint& viewportPos)
{
    const int plugin = m_catalogue->pluginAt(m_list, viewportPos);
    if (plugin < 0)
        return;
    m_hContextItem = plugin;
    m_listHold->setChecked(m_catalogue->isHeld(plugin));
    m_listPopup->exec(m_list->viewport()->mapToGlobal(viewportPos));
}

void CManagerDlg::OnAddToList()
{
    if (!putInUse(m_hContextItem))
        return;
    // ">>" stays on only while the tree's plug-in is still out of use; "<<" acts on the
    // plug-in the panel shows.
    if (m_hContextItem == m_catalogue->currentPlugin())
        m_catalogue->selectEntry(m_hContextItem);
    updateActions();
}

void CManagerDlg::OnRemoveFromList()
{
    // The plug-in right-clicked counts only while it is still in use.
    const int row = m_catalogue->entryRow(m_hContextItem);
    if (row < 0 || !takeOutOfUse(m_hContextItem))
        return;
    if (m_catalogue->inUseCount() > 0)
        m_catalogue->selectEntry(m_catalogue->entryAt(std::max(0, row - 1)));
    updateActions(); // the panel's plug-in may be the one that went
}

void CManagerDlg::OnHoldTree(bool hold)
{
    holdPlugin(m_hContextItem, hold);
}

void CManagerDlg::OnHoldList(bool hold)
{
    // The plug-in right-clicked counts only while it is still in use.
    if (m_catalogue->isInUse(m_hContextItem))
        holdPlugin(m_hContextItem, hold);
}

void CManagerDlg::holdPlugin(int pluginNumber, bool hold)
{
    const CPluginInfo* plugin = m_catalogue->record(pluginNumber);
    if (!plugin)
        return;
    HeldPlugins held = HeldPlugins::Load(m_profile);
    if (hold)
        held.Hold(plugin->m_strFileName);
    else
        held.Release(plugin->m_strFileName);
    if (!held.Store(m_profile))
        WarningBox::warn(this, Text(hold ? strings::kHoldNotStored : strings::kReleaseNotStored)
                                   .arg(ShownText(plugin->m_strName)));
    showHeld();
}

void CManagerDlg::showHeld()
{
    m_catalogue->setHeld(HeldPlugins::Load(m_profile));
}

void CManagerDlg::OnDblClickTree(const QModelIndex& index)
{
    // A category keeps opening and closing on a double-click.
    if (m_catalogue->pluginOf(index) >= 0 && m_buttonUse->isEnabled())
        OnUsePlugin();
}

void CManagerDlg::OnDblClickList(const QModelIndex& entry)
{
    const int plugin = m_catalogue->pluginOf(entry);
    if (plugin < 0)
        return;
    m_catalogue->selectEntry(plugin);
    OnUnusePlugin();
}

void CManagerDlg::OnDropOnList(int plugin)
{
    m_catalogue->makeCurrent(plugin);
    if (m_buttonUse->isEnabled())
        OnUsePlugin();
}

void CManagerDlg::OnDropOnTree(int plugin)
{
    if (!m_catalogue->isInUse(plugin))
        return;
    m_catalogue->selectEntry(plugin);
    OnUnusePlugin();
}

bool CManagerDlg::OnUpdateEditDescription() const
{
    const int current = m_catalogue->currentPlugin();
    return current >= 0 && !m_catalogue->isTwin(current);
}

void CManagerDlg::updateActions()
{
    // ">>" puts the tree's plug-in in use while it is out of use; a twin's key is another
    // plug-in's. "<<" takes the list's selected entry out.
    const int current = m_catalogue->currentPlugin();
    const CPluginInfo* candidate = m_catalogue->record(current);
    if (m_catalogue->isInUse(current) || m_catalogue->isTwin(current))
        candidate = nullptr;
    m_buttonUse->setEnabled(candidate != nullptr);
    m_buttonUnuse->setEnabled(m_catalogue->selectedEntry() >= 0);
    showClashLine(candidate);
}

void CManagerDlg::showClashLine(const CPluginInfo* candidate)
{
    QString text;
    if (candidate) {
        // Read from storage as it is now, against the plug-ins in use of the scan shown last. A
        // script that cannot be read makes no clash to speak of here; View > Clashes names the
        // scripts in use that could not be read.
        FailureList unread;
        PluginFunctionReader storage(korvaneFolder(), kStorageFolderName, unread);
        const InUseFunctions& inUse = m_catalogue->functions();
        text = ClashTexts(inUse).wouldMake(
            functionclashes::WouldMake(inUse.plugins(), storage.Read(*candidate)));
    }
    m_clashText->setText(text);
    m_clashLine->setVisible(!text.isEmpty());
}

void CManagerDlg::clearPluginInfo()
{
    for (QLineEdit* edit : {m_editFileName, m_editName, m_editSubdirectory, m_editAuthor})
        edit->clear();
    m_editDescription->clear();
}

void CManagerDlg::showPluginInfo(const CPluginInfo& plugin)
{
    const auto show = [](QLineEdit* field, const std::string& text) {
        field->setText(ShownText(text));
        field->setCursorPosition(0); // a long text shows its start
    };
    show(m_editFileName, plugin.m_strFileName);
    show(m_editName, plugin.m_strName);
    show(m_editSubdirectory, plugin.m_strSubdirectory);
    show(m_editAuthor, plugin.m_strAuthor);
    // A description edited in the window keeps CR LF between its lines.
    QString description = ShownText(plugin.m_strDescription);
    description.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (plugin.m_descriptionCut)
        description += QStringLiteral("\n\n") + Text(strings::kDescriptionCut);
    m_editDescription->setPlainText(description);
}

Path CManagerDlg::korvaneFolder() const
{
    return Settings(m_profile).KorvaneFolder();
}

KorvaneWorkflow CManagerDlg::workflow() const
{
    const Settings settings(m_profile);
    return KorvaneWorkflow(settings.KorvaneFolder(), FolderLockWait(), settings.RefreshPlugins());
}

// Commands of the description editor, configurations, launching and the updater.

void CManagerDlg::OnEditDescription()
{
    if (OnUpdateEditDescription())
        editDescription(m_catalogue->currentPlugin());
}

void CManagerDlg::OnContextEditDescription()
{
    editDescription(m_hContextItem);
}

void CManagerDlg::editDescription(int pluginNumber)
{
    CPluginInfo* plugin = m_catalogue->record(pluginNumber);
    if (!plugin)
        return;
    const std::string oldCategory = plugin->m_strCategory;
    CDescEditDlg dlg(this);
    dlg.SetFromRecord(*plugin);
    if (dlg.exec() != QDialog::Accepted)
        return;
    const korvane::Status written = workflow().describe(*plugin, dlg.GetEditedFields(*plugin));
    if (!written) {
        WarningBox::warn(
            this, WarningBox::failureMessage(Text(strings::kDescriptionWriteFailed), written));
        return;
    }
    m_catalogue->showEdited(pluginNumber);
    if (plugin->m_strCategory != oldCategory)
        m_catalogue->makeCurrent(pluginNumber);
    // The panel shows the edited plug-in, also when the popup edited another than the selected.
    showPluginInfo(*plugin);
    // An edit that takes the plug-in out of the filter's reach hides it and ends its selection.
    showFilterCount();
    dropHiddenSelection();
}

void CManagerDlg::OnSaveConfig()
{
    CSaveConfigDlg dlg(this);
    if (dlg.exec() != QDialog::Accepted)
        return;
    KorvaneWorkflow workflow = this->workflow();
    if (const auto keys = workflow.repeatedKeys(dlg.m_bStoreDirectory); !keys.empty()) {
        const std::string question =
            commandmessages::RepeatedKeys(strings::kSaveConfigRepeatedKeys, keys);
        if (!WarningBox::askYesNo(this, ShownText(question)))
            return;
    }
    const QString file = dialogs::ConfigFileDialog::fileToSave(this);
    if (file.isEmpty())
        return;
    const korvane::Status saved = workflow.saveConfiguration(
        dlg.m_strConfigName.toStdString(), file.toStdString(), dlg.m_bStoreDirectory);
    if (!saved)
        WarningBox::warn(this,
                         WarningBox::failureMessage(Text(strings::kConfigCreateFailed), saved));
}

template <class Loaded, class Load>
std::optional<korvane::Result<Loaded>> CManagerDlg::loadSettling(Load load)
{
    KorvaneWorkflow workflow = this->workflow();
    return RunSettling(this, [&](const settle::Settlement& settlement) {
        return WithFollowUp<korvane::Result<Loaded>>(workflow, [&] {
            std::optional<Settling<korvane::Result<Loaded>>> loaded;
            whileBusy(Text(strings::kLoadingConfig),
                      [&] { loaded.emplace(load(workflow, settlement)); });
            showFoldersAsTheyAre();
            return std::move(*loaded);
        });
    });
}

void CManagerDlg::OnLoadConfig()
{
    const QString file = dialogs::ConfigFileDialog::fileToLoad(this);
    if (file.isEmpty())
        return;
    const auto loaded = loadSettling<pluginconfig::LoadedConfiguration>(
        [&](KorvaneWorkflow& workflow, const settle::Settlement& settlement) {
            return workflow.loadConfiguration(file.toStdString(), settlement);
        });
    if (!loaded)
        return; // the player cancelled
    if (!*loaded) {
        WarningBox::warn(
            this, WarningBox::failureMessage(Text(strings::kConfigLoadFailed), loaded->status()));
        return;
    }
    showNotCopied(**loaded);
}

void CManagerDlg::OnUndoLoad()
{
    const auto settled = loadSettling<pluginconfig::UndoneLoad>(
        [](KorvaneWorkflow& workflow, const settle::Settlement& settlement) {
            return workflow.undoLastLoad(settlement);
        });
    if (!settled)
        return; // the player cancelled
    const auto& undone = *settled;
    if (!undone) {
        WarningBox::warn(
            this, WarningBox::failureMessage(Text(strings::kConfigLoadFailed), undone.status()));
    } else if (undone->backup.empty()) {
        QMessageBox::information(this, QCoreApplication::applicationName(),
                                 Text(strings::kNothingToUndo));
    } else if (undone->loaded.notCopied.empty()) {
        QMessageBox::information(this, QCoreApplication::applicationName(),
                                 Text(strings::kUndoneLoad).arg(ShownText(undone->backup)));
    } else {
        showNotCopied(undone->loaded);
    }
}

void CManagerDlg::showNotCopied(const pluginconfig::LoadedConfiguration& loaded)
{
    const auto notCopied = commandmessages::NotCopied(loaded, commandmessages::Naming::Name);
    if (!notCopied)
        return;
    WarningBox::warn(
        this, Text(notCopied->text) + u'\n' +
                  QString::fromStdString(textencoding::EscapeBidiControls(notCopied->reason)));
}

void CManagerDlg::whileBusy(const QString& label, const std::function<void()>& work)
{
    m_busy = true;
    BusyWork(label, this).run(work);
    m_busy = false;
}

void CManagerDlg::showFoldersAsTheyAre()
{
    // Storage gains whatever only the plugins folder had, also plug-ins the configuration does
    // not name; the plugins folder holds the configuration's plug-ins that could be copied.
    const Path folder = korvaneFolder();
    MarkedScan scan = MarkedScan::Read(folder, m_follower->idleCache());
    const auto folders = scan.Folders();
    showReadFailures(scan);
    if (m_catalogue->update(scan))
        showSelectionAsItIs();
    else
        updateActions();
    m_follower->follow(folder, folders);
}

void CManagerDlg::OnExecuteTribes()
{
    LaunchCommands(m_profile, this).executeTribes();
}

void CManagerDlg::OnQuickExec()
{
    LaunchCommands(m_profile, this).quickExec();
}

void CManagerDlg::OnConfigureQuickExec()
{
    LaunchCommands(m_profile, this).configureQuickExec();
}

void CManagerDlg::OnHomePage()
{
    LaunchCommands::openHomePage();
}

void CManagerDlg::OnCheckForUpdates()
{
    // What the updater installs joins the tree, also after its window has closed.
    mainwindow::CheckForUpdates(m_profile, this).run([this] { showFoldersAsTheyAre(); });
}

void CManagerDlg::OnViewClashes()
{
    ClashesDialog clashes(m_catalogue->functions(), this);
    clashes.exec();
}

} // namespace korvane::mainwindow
