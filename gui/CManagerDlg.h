#pragma once

#include "core/catalogue/CPluginList.h"

#include <map>
#include <QDialog>
#include <QIcon>
#include <QPersistentModelIndex>
#include <QString>
#include <string>

class CProfile;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The main window: the plug-ins of the storage folder as a tree by category (left), the plug-ins
// in use as a list (right), ">>" and "<<" between them and the selected plug-in's details below.
//
// Links between the controls and the catalogue: a tree item's data is 0 for a category and the
// record's index in m_plugins plus 1 for a plug-in; a list entry's data is its plug-in's tree
// item; a record of m_plugins keeps its tree item in m_hTreeItem. Any rebuild of the tree is
// followed by a rebuild of the list.
class CManagerDlg : public QDialog
{
    Q_OBJECT

public:
    explicit CManagerDlg(const CProfile& profile, QWidget* parent = nullptr);
    ~CManagerDlg() override;

    // The first time the window is shown, the start-up sequence runs before it appears.
    void setVisible(bool visible) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void OnExit();
    void OnAbout();
    void OnOptions();
    void OnSelChangedTree(QTreeWidgetItem* item);
    void OnItemCollapsedTree(QTreeWidgetItem* item);
    void OnItemChangedList();
    void OnUsePlugin();
    void OnUnusePlugin();
    void OnRClickTree(const QPoint& viewportPos);
    void OnRClickList(const QPoint& viewportPos);
    void OnAddToList();
    void OnRemoveFromList();

    // Commands of the description editor, configurations, launching and the updater.
    void OnEditDescription();
    void OnContextEditDescription();
    void OnSaveConfig();
    void OnLoadConfig();
    void OnExecuteTribes();
    void OnQuickExec();
    void OnConfigureQuickExec();
    void OnHomePage();
    void OnCheckForUpdates();

private:
    void CreateControls();
    void CreateMenus();

    // Start-up: brings the folders into step and fills the tree and the list.
    void OnInitDialog();
    // Storage made ready from the plugins folder (refreshExistingStorage: also when it exists
    // already), both folders scanned, the tree and the list filled. An empty Korvane folder or
    // a storage folder that cannot be created leaves both empty.
    void ReloadFolders(const std::string& korvaneFolder, bool refreshExistingStorage);
    // After a configuration was loaded or failed to load: the tree and the list show what the
    // folders hold now.
    void ShowFoldersAsTheyAre();
    void ClearControls();

    // Rebuilds m_plugins from the storage folder of the current setting, then the tree; the
    // list is left empty for FillList.
    void FillTree();
    // Rebuilds the tree and m_categoryItems from m_plugins as it is; the list is left empty.
    void FillTreeFromCatalogue();
    // Rebuilds the list: one entry per plug-in of inUse that m_plugins knows, by key.
    void FillList(const CPluginList& inUse);

    // The commands behind ">>" and "<<" and the popup's: the files change first, and the list
    // only when they did. False when nothing changed; a failure to change the files is shown.
    bool PutInUse(QTreeWidgetItem* treeItem);
    bool TakeOutOfUse(QListWidgetItem* entry);

    // Enabling rule of "Edit Description...": a plug-in is selected in the tree.
    bool OnUpdateEditDescription() const;

    // Helpers for the commands that change single tree items and list entries.

    // The tree item's data: 0 for a category item or no item, index in m_plugins plus 1 else.
    static int ItemData(const QTreeWidgetItem* item);
    // The record of a plug-in item, or null for a category item or no item.
    CPluginInfo* PluginOf(const QTreeWidgetItem* item) const;
    // The tree item a list entry stands for.
    static QTreeWidgetItem* TreeItemOf(const QListWidgetItem* entry);
    // The list entry of a plug-in's tree item, or null when the plug-in is not in use.
    QListWidgetItem* FindListEntry(const QTreeWidgetItem* treeItem) const;
    // Adds a list entry for the plug-in item at its alphabetical place, and removes one. The
    // selection moves the list makes on its own meanwhile do not reach the tree or the panel.
    QListWidgetItem* AddListEntry(QTreeWidgetItem* treeItem);
    void RemoveListEntry(QListWidgetItem* entry);
    // ">>" is on while the tree's current item is a plug-in the list does not hold.
    void UpdateUseButton();
    // The category's top-level item (exact, case-sensitive text); created in its alphabetical
    // place and entered in m_categoryItems when the category has none yet.
    QTreeWidgetItem* CategoryItem(const std::string& category);
    // Gives a plug-in item and its list entry the record's name as their text.
    void SetPluginText(QTreeWidgetItem* treeItem);
    // Moves a plug-in item under the item of the category (created when missing) at its
    // alphabetical place. The item stays the same object, so the record and the list entry
    // keep referring to it; the old category item stays even when left empty. A moved item
    // that was the tree's selection is selected again in its new place.
    void MoveToCategory(QTreeWidgetItem* treeItem, const std::string& category);
    // Shows a record's fields in the information panel.
    void ShowPluginInfo(const CPluginInfo& plugin);
    void ClearPluginInfo();
    // Runs the description editor on a plug-in item, writes its file and updates the record,
    // the tree item (moved to its new category) and the list entry.
    void EditDescription(QTreeWidgetItem* treeItem);
    // The Korvane folder setting and its storage folder.
    std::string KorvaneFolder() const;
    std::string StorageFolder() const;

    QIcon PluginIcon(const CPluginInfo& plugin) const;
    void SelectListEntry(QListWidgetItem* entry);

    const CProfile& m_profile;
    bool m_bInitialised = false;

    QListWidget* m_list = nullptr;
    QTreeWidget* m_tree = nullptr;
    QPushButton* m_buttonUse = nullptr;
    QPushButton* m_buttonUnuse = nullptr;
    QLineEdit* m_editName = nullptr;
    QLineEdit* m_editFileName = nullptr;
    QLineEdit* m_editSubdirectory = nullptr;
    QLineEdit* m_editAuthor = nullptr;
    QPlainTextEdit* m_editDescription = nullptr;
    QMenu* m_treePopup = nullptr;
    QMenu* m_listPopup = nullptr;

    CPluginList m_plugins;
    std::map<std::string, QTreeWidgetItem*> m_categoryItems; // by the exact category text
    QIcon m_categoryIcon;
    QIcon m_defaultPluginIcon;

    QTreeWidgetItem* m_hContextItem = nullptr; // plug-in item under the last right click
    int m_nContextItem = -1;                   // list entry under the last right click
    QPersistentModelIndex m_contextEntry;      // the same entry, followed as the list changes
};
