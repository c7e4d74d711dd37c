#pragma once

#include "core/catalogue/CPluginInfo.h"
#include "core/updater/HeldPlugins.h"
#include "gui/mainwindow/CatalogueModel.h"
#include "gui/mainwindow/InUseFunctions.h"
#include "gui/mainwindow/PluginFilter.h"
#include "gui/mainwindow/TwinMarks.h"

#include <optional>
#include <QIcon>
#include <QObject>
#include <QString>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

class QAbstractItemView;
class QListView;
class QModelIndex;
class QPoint;
class QTreeView;

namespace korvane::mainwindow {

class CatalogueFilter;
class InUseModel;
class MarkedScan;

// The catalogue as the main window shows it: the tree of plug-ins by category, through the
// filter, and the list of the plug-ins in use, both views of one catalogue model.
//
// The window refers to a plug-in by its number in the model, which it keeps while later scans
// come and go (-1 for none). The tree also shows each twin, a stored plug-in whose key a plug-in
// of another subfolder has too and which the folders' scan passes over: it is marked with its
// folder, and only the player's own copy of it in the plugins folder puts it in use. A plug-in
// held at its version is marked too. It tells whenever what it shows changes (shownChanged), so
// that a scan made before then is not applied over it.
class CatalogueView : public QObject
{
    Q_OBJECT

public:
    static constexpr int kIconSize = 16; // the side of the tree's icons

    // The controls stay owned by their window, which outlives this object; they own the models.
    CatalogueView(QTreeView* tree, QListView* list);
    ~CatalogueView() override;
    CatalogueView(const CatalogueView&) = delete;
    CatalogueView& operator=(const CatalogueView&) = delete;

    // Shows a scan of the folders: its catalogue and twins in the tree and, in the list, every
    // plug-in in use the catalogue knows. Nothing is selected; the filter stays as it was set.
    // The records and the functions of the plug-ins in use go from the scan into the view.
    void show(MarkedScan& scan);
    void clear();
    // Brings the controls to a later scan of the same folders without a signal of theirs: the
    // plug-ins that stayed keep their rows, and with them the tree's current item, the list's
    // selection, the open categories and the filter. A plug-in that went takes its selection
    // along. The records of changed and new plug-ins and the functions of the plug-ins in use go
    // from the scan into the view; returns false when the plug-ins shown did not change (the
    // functions may have).
    bool update(MarkedScan& scan);
    // The functions of the plug-ins in use, as the scan shown last read them.
    const InUseFunctions& functions() const { return m_functions; }

    // Shows only the plug-ins whose texts contain text in any letter case (all for an empty
    // text), each category that holds one expanded and every other category hidden. The
    // categories open when a filter was first set are open again when it is cleared.
    void setFilter(const QString& text);
    // Whether the filter leaves the plug-in in the tree.
    bool isShown(int plugin) const;
    int storedCount() const;
    int inUseCount() const;
    int shownCount() const { return m_shownCount; }

    // The plug-in a row of the tree or the list stands for, or -1 for a category or none.
    int pluginOf(const QModelIndex& index) const;
    int pluginAt(const QAbstractItemView* control, const QPoint& viewportPos) const;
    // The plug-in stored under that subfolder and key, or -1.
    int findPlugin(const std::string& subdirectory, const std::string& key) const;
    // The record of a plug-in, or null.
    CPluginInfo* record(int plugin) const;
    bool isTwin(int plugin) const;
    bool isHeld(int plugin) const;
    bool isInUse(int plugin) const;

    // The plug-in of the tree's current item: -1 also while a category is.
    int currentPlugin() const;
    // Makes a plug-in the tree's current item, in view (none for -1).
    void makeCurrent(int plugin);
    // The plug-in of the list's selected entry, or -1.
    int selectedEntry() const;
    // Selects a plug-in's entry, in view (none for -1); quietly, the list does not tell of it.
    void selectEntry(int plugin, bool quietly = false);
    // The plug-in of the list's entry at a row, or -1.
    int entryAt(int row) const;
    int entryRow(int plugin) const;

    // Marks the plug-ins of the held keys, and no others, keeping the tree's current item, its
    // scroll position and the filter. The plug-ins shown later are marked by the same keys.
    void setHeld(HeldPlugins held);
    // Adds a list entry for a plug-in at its alphabetical place, and removes one; false when
    // the plug-in cannot have one. Removing keeps another selected entry selected and returns
    // whether one is. The list tells of none of the selection moves it makes meanwhile.
    bool addEntry(int plugin);
    bool removeEntry(int plugin);
    // Shows a plug-in under its record's name and category after it was edited, filed at its
    // places in the tree and the list; its row stays the tree's current one if it was.
    void showEdited(int plugin);

signals:
    // The plug-ins shown, their entries or their texts changed.
    void shownChanged();
    // The tree's current item or the list's selection changed, by the user or by the window,
    // not while the view files rows of its own accord.
    void currentChanged(const QModelIndex& current);
    void entrySelectionChanged();

private:
    using Plugin = CatalogueModel::Plugin;
    // How a scan differs from what is shown.
    struct Changes;
    // While it lives, the views' selection moves do not reach the window.
    class Quiet;
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
    // The scan's plug-in of that number, as the model holds it.
    Plugin pluginFrom(MarkedScan& scan, size_t index);
    QString itemText(const Plugin& plugin) const;
    // Gives a plug-in its icon with its mark and its description.
    void decorate(Plugin& plugin);
    void showCategoryMarks();
    PluginFilter::Texts filterTexts(int plugin) const;
    bool filterPrepared() const;
    void prepareFilter();
    // Searches for text, when it is not empty, and opens every category that holds a plug-in
    // found.
    void applyFilter(const QString& text);
    QModelIndex shownIndex(int plugin) const;

    Changes changesOf(const MarkedScan& scan) const;
    // Applies a few changes in place, taking the records it needs from the scan; rebuild()
    // shows many at once.
    void applyChanges(const Changes& changes, MarkedScan& scan);
    void rebuild(MarkedScan& scan);
    void removePlugin(int plugin);
    void changePlugin(int plugin, MarkedScan& scan, size_t index);
    void setInUse(int plugin, bool inUse);
    // The tree's current item and the row at its top, kept over a change of what it shows.
    struct Place
    {
        int plugin = -1;
        std::optional<std::string> category; // while a category is current
        int top = -1;
        std::optional<std::string> topCategory;
    };
    Place place() const;
    void restore(const Place& place);

    QTreeView* m_tree;
    QListView* m_list;
    QIcon m_categoryIcon;
    QIcon m_defaultPluginIcon;
    CatalogueModel* m_model;
    CatalogueFilter* m_filter;
    InUseModel* m_inUse;
    int m_quiet = 0;
    bool m_searching = false; // the tree is laid out after the search

    // The live plug-ins by identity.
    std::unordered_map<std::string, int, IdentityHash, IdentityEqual> m_numberOf;
    TwinMarks m_marks;
    std::unordered_set<int> m_marked; // the plug-ins that carry a mark
    HeldPlugins m_held;
    InUseFunctions m_functions;

    int m_shownCount = 0;
    // The categories open before the filter was set; empty after a new show().
    std::set<std::string> m_openBeforeFilter;
};

} // namespace korvane::mainwindow
