#pragma once

#include "core/platform/Path.h"
#include "core/platform/Status.h"

#include <functional>
#include <memory>
#include <optional>
#include <QDialog>
#include <string>

class QAction;
class QLineEdit;
class QLabel;
class QListView;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QModelIndex;
class QTreeView;

namespace korvane {
class KorvaneWorkflow;
class CPluginInfo;
class CPluginList;
class SettingsProfile;
namespace pluginconfig {
struct LoadedConfiguration;
}
namespace storagesync {
struct Synchronisation;
}
} // namespace korvane

namespace korvane::mainwindow {

class CatalogueView;
class FilterBar;
class FolderFollower;
class MarkedScan;

// The main window: the plug-ins of the storage folder as a tree by category (left), the plug-ins
// in use as a list (right), ">>" and "<<" between them and the selected plug-in's details below.
// m_catalogue fills both from one model of the catalogue; the window names a plug-in by its
// number there.
class CManagerDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CManagerDlg(const SettingsProfile& profile, QWidget* parent = nullptr);
    ~CManagerDlg() override;

    // The first time the window is shown, the start-up sequence runs before it appears.
    void setVisible(bool visible) override;
    // However the window ends, its size and position are kept for the next start.
    void done(int result) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void OnExit();
    void OnAbout();
    void OnOptions();
    void OnSelChangedTree(const QModelIndex& current);
    void OnItemCollapsedTree(const QModelIndex& category);
    void OnItemChangedList();
    void OnUsePlugin();
    void OnUnusePlugin();
    void OnRClickTree(const QPoint& viewportPos);
    void OnRClickList(const QPoint& viewportPos);
    void OnAddToList();
    void OnRemoveFromList();
    // "Hold at This Version" of the popups: holds or releases the plug-in right-clicked.
    void OnHoldTree(bool hold);
    void OnHoldList(bool hold);
    // Double-click and drops: ">>" on a plug-in of the tree, "<<" on an entry of the list.
    void OnDblClickTree(const QModelIndex& index);
    void OnDblClickList(const QModelIndex& entry);
    void OnDropOnList(int plugin);
    void OnDropOnTree(int plugin);

    // Commands of the description editor, configurations, launching and the updater.
    void OnEditDescription();
    void OnContextEditDescription();
    void OnSaveConfig();
    void OnLoadConfig();
    void OnUndoLoad();
    void OnExecuteTribes();
    void OnQuickExec();
    void OnConfigureQuickExec();
    void OnHomePage();
    void OnCheckForUpdates();
    void OnViewClashes();

private:
    void createControls();
    void createMenus();
    // The tree, or in its place, while no Korvane folder is set, a hint with a way to Options.
    QWidget* createTreeOrHint();
    void restoreWindowGeometry();

    // Start-up: brings the folders into step and fills the tree and the list.
    void OnInitDialog();
    // Storage made ready from the plugins folder (refreshExistingStorage: also when it exists
    // already), both folders scanned, the tree and the list filled. An empty Korvane folder or
    // a storage folder that cannot be created leaves both empty.
    void reloadFolders(const Path& folder, bool refreshExistingStorage);
    // After a configuration was loaded or failed to load: the tree and the list show what the
    // folders hold now.
    void showFoldersAsTheyAre();
    // Runs work (a load) on a thread of its own while the window shows that it is busy and
    // takes no scan of the folders.
    void whileBusy(const QString& label, const std::function<void()>& work);
    // Runs load (a workflow's load of a file or of the newest backup) under the folder's lock
    // while the window is busy; when it refuses files in use that differ from storage's, asks the
    // player and loads again with the choice. The last load's result; nothing when the player
    // cancelled.
    template <class Loaded, class Load>
    std::optional<korvane::Result<Loaded>> loadSettling(Load load);
    // After a load: the plug-ins of the configuration that could not be put in use, if any.
    void showNotCopied(const pluginconfig::LoadedConfiguration& loaded);
    // One message naming the files storage could not take, and the folders and the description
    // files the scans could not read, if any.
    void showProblems(const storagesync::Synchronisation& synchronised);
    void clearControls();
    // Shows a scan of the folders in the tree and the list, nothing selected, and follows the
    // folders it read.
    void showCatalogue(MarkedScan scan, const Path& folder);
    // Shows a later scan of the folders, keeping what the user chose and looks at as far as
    // the scan still holds it. False while a dialog or menu of the window is open, which may
    // hold a plug-in or item the scan replaces.
    bool showOutsideChange(MarkedScan& scan);
    // After the catalogue changed under the selection: the panel and the buttons show what is
    // selected now.
    void showSelectionAsItIs();

    // The commands behind ">>" and "<<" and the popup's: the files change first, and the list
    // only when they did. False when nothing changed; a failure to change the files is shown.
    bool putInUse(int plugin);
    bool takeOutOfUse(int plugin);

    // Holds or releases a plug-in in the settings, then shows the plug-ins the
    // settings hold; a failure to write them is shown.
    void holdPlugin(int plugin, bool hold);
    // The tree marks the plug-ins the settings hold at their version.
    void showHeld();

    // Enabling rule of "Edit Description...": a plug-in is selected in the tree.
    bool OnUpdateEditDescription() const;

    // Every action's state from the selection: ">>" is on while the tree's current item is a
    // plug-in out of use, and then the panel says which clashes it would make; "<<" is on while
    // the list has an entry selected.
    void updateActions();
    // The panel's line that a plug-in would clash with plug-ins in use if it were put in use;
    // hidden for none.
    void showClashLine(const CPluginInfo* candidate);
    // Shows a record's fields in the information panel.
    void showPluginInfo(const CPluginInfo& plugin);
    void clearPluginInfo();
    // Runs the description editor on a plug-in, writes its file and updates the record, its row
    // in the tree (moved to its new category) and its entry.
    void editDescription(int plugin);
    // The Korvane folder setting.
    Path korvaneFolder() const;
    // The commands on that folder, with its start-up refresh, under the window's lock.
    KorvaneWorkflow workflow() const;

    // The filter above the tree and how many plug-ins it leaves in view.
    void onFilterChanged(const QString& text);
    void showFilterCount();
    // Empties the panel when the filter took the selected plug-in out of view, unless its list
    // entry stays selected.
    void dropHiddenSelection();
    // The line under the lists: how many plug-ins storage holds and how many are in use, and,
    // while the last scan of the folders could not read all of them, a button that says why.
    QWidget* createCountsLine();
    QWidget* createClashLine(QWidget* panel);
    void showCounts();
    void showReadFailures(const MarkedScan& scan);

    const SettingsProfile& m_profile;
    bool m_initialised = false;
    bool m_busy = false; // a load runs

    QListView* m_list = nullptr;
    QTreeView* m_tree = nullptr;
    QStackedWidget* m_treeOrHint = nullptr;
    QWidget* m_firstRunHint = nullptr;
    QPushButton* m_buttonUse = nullptr;
    QPushButton* m_buttonUnuse = nullptr;
    QLineEdit* m_editName = nullptr;
    QLineEdit* m_editFileName = nullptr;
    QLineEdit* m_editSubdirectory = nullptr;
    QLineEdit* m_editAuthor = nullptr;
    QPlainTextEdit* m_editDescription = nullptr;
    QWidget* m_clashLine = nullptr;
    QLabel* m_clashText = nullptr;
    QMenu* m_treePopup = nullptr;
    QMenu* m_listPopup = nullptr;
    QAction* m_treeHold = nullptr; // checked while the plug-in right-clicked is held
    QAction* m_listHold = nullptr;
    FilterBar* m_filterBar = nullptr;
    QLabel* m_counts = nullptr;
    QPushButton* m_readFailures = nullptr;
    QString m_readFailuresText; // the message the button shows

    std::unique_ptr<CatalogueView> m_catalogue;

    int m_hContextItem = -1; // the plug-in under the last right click, in the tree or the list

    // Gone before the controls and the catalogue it hands scans to.
    std::unique_ptr<FolderFollower> m_follower;
};

} // namespace korvane::mainwindow
