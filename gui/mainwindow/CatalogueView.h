#pragma once

#include "core/catalogue/CPluginInfo.h"
#include "core/catalogue/CPluginList.h"
#include "core/updater/HeldPlugins.h"
#include "gui/mainwindow/InUseFunctions.h"
#include "gui/mainwindow/PluginFilter.h"
#include "gui/mainwindow/TwinMarks.h"

#include <cstdint>
#include <map>
#include <memory>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

class QListWidget;
class QListWidgetItem;
class QTreeWidget;
class QTreeWidgetItem;

namespace korvane::mainwindow {

class MarkedScan;

// The catalogue as the main window shows it: the tree of plug-ins by category and the list of
// the plug-ins in use, and the links between a record, its tree item and its list entry.
//
// Each plug-in shown since the last show() has a slot of its own, which keeps its number while
// later scans come and go: a plug-in item holds it plus 1 (a category item holds 0), a list entry
// holds it. The tree also shows each twin, a stored plug-in whose key a plug-in of another
// subfolder has too and which the folders' scan passes over: it is marked with its folder, and
// only the player's own copy of it in the plugins folder puts it in use. A plug-in held at its
// version is marked too. It tells whenever what it shows changes (shownChanged), so that a scan
// made before then is not applied over it.
class CatalogueView : public QObject
{
    Q_OBJECT

public:
    static constexpr int kIconSize = 16; // the side of the tree's icons

    // The controls stay owned by their window, which outlives this object.
    CatalogueView(QTreeWidget* tree, QListWidget* list);
    ~CatalogueView();
    CatalogueView(const CatalogueView&) = delete;
    CatalogueView& operator=(const CatalogueView&) = delete;

    // Shows a scan of the folders: its catalogue and twins in the tree and, in the list, every
    // plug-in in use the catalogue knows. Nothing is selected; the filter stays as it was set.
    // The records and the functions of the plug-ins in use go from the scan into the view.
    void show(MarkedScan& scan);
    void clear();
    // Brings the controls to a later scan of the same folders without a signal of theirs: the
    // plug-ins that stayed keep their items and entries, and with them the tree's current item,
    // the list's selection, the open categories and the filter. A plug-in that went takes its
    // selection along. The records of changed and new plug-ins and the functions of the plug-ins
    // in use go from the scan into the view; returns false when the plug-ins shown did not
    // change (the functions may have).
    bool update(MarkedScan& scan);
    // The functions of the plug-ins in use, as the scan shown last read them.
    const InUseFunctions& functions() const { return m_functions; }

    // Shows only the plug-ins whose texts contain text in any letter case (all for an empty
    // text), each category that holds one expanded and every other category hidden. The
    // categories open when a filter was first set are open again when it is cleared.
    void setFilter(const QString& text);
    // Whether an item is in view: the filter takes the plug-ins it leaves out out of the tree
    // and hides the categories that hold none.
    bool isShown(const QTreeWidgetItem* item) const;
    int storedCount() const { return m_liveCount; }
    int inUseCount() const;
    int shownCount() const { return m_shownCount; }

    // The record of a plug-in item, or null for a category item or no item.
    CPluginInfo* pluginOf(const QTreeWidgetItem* item) const;
    // Whether the item is a twin's.
    bool isTwin(const QTreeWidgetItem* item) const;
    // Marks the plug-ins of the held keys, and no others, keeping the tree's current item, its
    // scroll position and the filter. The plug-ins shown later are marked by the same keys.
    void setHeld(HeldPlugins held);
    bool isHeld(const QTreeWidgetItem* item) const;
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

signals:
    // The plug-ins shown, their entries or their texts changed.
    void shownChanged();

private:
    struct Slot
    {
        std::unique_ptr<CPluginInfo> record; // null once the plug-in is gone
        std::string identity;                // what a later scan finds it by
        std::uint64_t fields = 0;            // what a later scan compares it by
        bool twin = false;
        bool held = false;
        QTreeWidgetItem* item = nullptr;
        QListWidgetItem* entry = nullptr;    // null when not in use
        QTreeWidgetItem* category = nullptr; // also while the filter holds it out of the tree
        QIcon icon;                          // its own, without a mark
        QString mark;                        // why it is marked; empty when it is not
        unsigned marks = 0;                  // what mark tells of (MarkedScan::Kind)
    };
    // How a scan differs from what is shown.
    struct Changes;
    // Finds an identity by the hash the scan made of it.
    struct IdentityHash
    {
        using is_transparent = void;
        size_t operator()(std::string_view identity) const;
        size_t operator()(const std::pair<std::string_view, size_t>& known) const
        {
            return known.second;
        }
    };
    struct IdentityEqual
    {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const { return a == b; }
        bool operator()(const std::pair<std::string_view, size_t>& a, std::string_view b) const
        {
            return a.first == b;
        }
        bool operator()(std::string_view a, const std::pair<std::string_view, size_t>& b) const
        {
            return a == b.first;
        }
    };

    void fill(MarkedScan& scan);
    void fillTree(MarkedScan& scan);
    void fillList();
    // The slot of an item or entry, or -1.
    int slotOf(const QTreeWidgetItem* item) const;
    int slotOf(const QListWidgetItem* entry) const;
    const Slot* liveSlot(int slot) const;
    // A slot for the scan's plug-in of that number, with its record and tree item.
    int newSlot(MarkedScan& scan, size_t index);
    QString itemText(const Slot& slot) const;
    // Gives a slot's item that text, filed again at its place; the next filter pass puts it into
    // the tree.
    void fileAgain(int slot, const QString& text);
    // The category's top-level item (exact, case-sensitive text), created at its alphabetical
    // place when the category has none yet.
    QTreeWidgetItem* categoryItem(const std::string& category);
    QListWidgetItem* newEntry(int slot);
    // Gives an item, and its entry, its plug-in's icon with its slot's mark; a category that
    // holds a marked plug-in carries the mark too.
    void showMark(int slot);
    void showCategoryMarks();
    PluginFilter::Texts filterTexts(int slot) const;
    bool filterPrepared() const;
    void prepareFilter();
    // Brings the categories (all when null) to the filter: in the tree only the plug-ins it
    // finds, hidden when it finds none.
    void applyFilter(const std::unordered_set<QTreeWidgetItem*>* categories = nullptr);
    void filterCategory(QTreeWidgetItem* category, bool filtering);
    // The plug-in items the filter took out of the tree, which the tree does not delete.
    void deleteItemsOutOfTree();

    Changes changesOf(const MarkedScan& scan) const;
    // Applies a few changes in place, taking the records it needs from the scan; rebuild()
    // shows many at once.
    void applyChanges(const Changes& changes, MarkedScan& scan);
    void rebuild(MarkedScan& scan);
    void changeManyEntries(const std::vector<int>& gone, const std::vector<int>& added);
    // Takes a slot's plug-in out of the view; returns its category.
    QTreeWidgetItem* removeSlot(int slot);
    void changeSlot(int slot, MarkedScan& scan, size_t index);
    // Files a slot's item under its category (the one of the tree item that holds it, else the
    // record's) at the place of its text; the next filter pass puts an item that is out of the
    // tree into it.
    void placeInCategory(int slot);
    // The category items left without plug-ins go; returns them, only to be compared.
    std::vector<QTreeWidgetItem*> removeEmptyCategories();

    QTreeWidget* m_tree;
    QListWidget* m_list;
    QIcon m_categoryIcon;
    QIcon m_defaultPluginIcon;

    std::vector<Slot> m_slots;
    // The live slots by identity.
    std::unordered_map<std::string, int, IdentityHash, IdentityEqual> m_slotOf;
    int m_liveCount = 0;
    std::map<std::string, QTreeWidgetItem*> m_categoryItems; // by the exact category text
    TwinMarks m_marks;
    HeldPlugins m_held;
    InUseFunctions m_functions;

    PluginFilter m_filter;
    QString m_filterText;
    int m_shownCount = 0;
    // The slot of every plug-in item of each category in the tree's order, also of those out
    // of the tree.
    std::unordered_map<const QTreeWidgetItem*, std::vector<int>> m_pluginsOf;
    QList<QTreeWidgetItem*> m_inView; // reused by each pass
    // The categories open before the filter was set; empty after a new show().
    std::unordered_set<const QTreeWidgetItem*> m_openBeforeFilter;
};

} // namespace korvane::mainwindow
