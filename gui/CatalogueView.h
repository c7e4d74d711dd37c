#pragma once

#include "core/catalogue/CPluginList.h"
#include "gui/PluginFilter.h"

#include <map>
#include <QIcon>
#include <QList>
#include <QString>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class QListWidget;
class QListWidgetItem;
class QTreeWidget;
class QTreeWidgetItem;

namespace korvane {

// The catalogue as the main window shows it: the tree of plug-ins by category and the list of
// the plug-ins in use, and the links between a record, its tree item and its list entry.
//
// A plug-in's identity is its record's index in the catalogue: a plug-in item holds it plus 1
// (a category item holds 0), a list entry holds it. The links stay valid until the next show()
// or clear(), which rebuild both controls.
class CatalogueView
{
public:
    static constexpr int kIconSize = 16; // the side of the tree's icons

    // The controls stay owned by their window, which outlives this object.
    CatalogueView(QTreeWidget* tree, QListWidget* list);
    ~CatalogueView();
    CatalogueView(const CatalogueView&) = delete;
    CatalogueView& operator=(const CatalogueView&) = delete;

    // Record fields hold the bytes of the description file, which need not be UTF-8.
    static QString display(std::string_view bytes);

    // Shows catalogue in the tree and, in the list, every plug-in of inUse the catalogue knows.
    // The filter stays as it was set.
    void show(CPluginList catalogue, const CPluginList& inUse);
    void clear();

    // Shows only the plug-ins whose texts contain text in any letter case (all for an empty
    // text), each category that holds one expanded and every other category hidden. The
    // categories open when a filter was first set are open again when it is cleared.
    void setFilter(const QString& text);
    // Whether an item is in view: the filter takes the plug-ins it leaves out out of the tree
    // and hides the categories that hold none.
    bool isShown(const QTreeWidgetItem* item) const;
    int storedCount() const { return m_catalogue.GetSize(); }
    int inUseCount() const;
    int shownCount() const { return m_shownCount; }

    // The record of a plug-in item, or null for a category item or no item.
    CPluginInfo* pluginOf(const QTreeWidgetItem* item) const;
    // The tree item a list entry stands for.
    QTreeWidgetItem* treeItemOf(const QListWidgetItem* entry) const;
    // The list entry of a plug-in item, or null when the plug-in is not in use.
    QListWidgetItem* entryOf(const QTreeWidgetItem* item) const;

    // Adds a list entry for a plug-in item at its alphabetical place, and removes one. The list
    // signals none of the selection moves it makes on its own meanwhile; removing keeps another
    // selected entry selected and returns whether one is.
    QListWidgetItem* addEntry(const QTreeWidgetItem* item);
    bool removeEntry(QListWidgetItem* entry);

    // Gives a plug-in item and its list entry the record's name as their text.
    void showName(QTreeWidgetItem* item);
    // Moves a plug-in item under the item of the category (created when missing) at its
    // alphabetical place. The item stays the same object; the old category item stays even when
    // left empty. A moved item that was the tree's current item is made current again.
    void moveToCategory(QTreeWidgetItem* item, const std::string& category);

private:
    void fillTree();
    void fillList(const CPluginList& inUse);
    // The record index an item or entry holds, or -1.
    int indexOf(const QTreeWidgetItem* item) const;
    int indexOf(const QListWidgetItem* entry) const;
    // The category's top-level item (exact, case-sensitive text), created at its alphabetical
    // place when the category has none yet.
    QTreeWidgetItem* categoryItem(const std::string& category);
    QListWidgetItem* newEntry(int index);
    QIcon pluginIcon(const CPluginInfo& plugin) const;
    // Marks the plug-ins whose key another subfolder holds too, naming the other files.
    void markSameKeys();
    PluginFilter::Texts filterTexts(int index) const;
    void prepareFilter();
    void applyFilter();
    void filterCategory(QTreeWidgetItem* category, bool filtering);
    // The plug-in items the filter took out of the tree, which the tree does not delete.
    void deleteItemsOutOfTree();

    QTreeWidget* m_tree;
    QListWidget* m_list;
    QIcon m_categoryIcon;
    QIcon m_defaultPluginIcon;

    CPluginList m_catalogue;
    std::vector<QTreeWidgetItem*> m_items;   // by record index
    std::vector<QListWidgetItem*> m_entries; // by record index; null when not in use
    std::map<std::string, QTreeWidgetItem*> m_categoryItems; // by the exact category text

    PluginFilter m_filter;
    QString m_filterText;
    int m_shownCount = 0;
    // The record index of every plug-in item of each category in the tree's order, also of
    // those out of the tree.
    std::unordered_map<const QTreeWidgetItem*, std::vector<int>> m_pluginsOf;
    QList<QTreeWidgetItem*> m_inView; // reused by each pass
    // The categories open before the filter was set; empty after a new show().
    std::unordered_set<const QTreeWidgetItem*> m_openBeforeFilter;
};

} // namespace korvane
