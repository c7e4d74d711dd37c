#include "gui/mainwindow/CatalogueView.h"

#include "gui/mainwindow/MarkedScan.h"
#include "gui/mainwindow/PluginIcon.h"
#include "gui/widgets/ShownText.h"
#include "res/Icons.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <algorithm>
#include <QListWidget>
#include <QSignalBlocker>
#include <QTimer>
#include <QTreeWidget>
#include <set>
#include <utility>

namespace korvane::mainwindow {

using widgets::ShownText;

namespace {

constexpr int kIdentityRole = Qt::UserRole;
// Up to this many plug-ins changed at once, or a quarter of the catalogue, a later scan is shown
// in place, item by item; beyond, the tree and the list are built again.
constexpr size_t kFewChanges = 2000;

// Names are listed alphabetically without regard to case, as players expect from any file list.
bool LessNoCase(const QString& a, const QString& b)
{
    const int order = QString::compare(a, b, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a < b;
}

class AlphabeticalTreeItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override
    {
        return LessNoCase(text(0), other.text(0));
    }
};

class AlphabeticalListItem : public QListWidgetItem
{
public:
    using QListWidgetItem::QListWidgetItem;
    bool operator<(const QListWidgetItem& other) const override
    {
        return LessNoCase(text(), other.text());
    }
};

// Inserts a tree item among its siblings (top-level items when parent is null) at its
// alphabetical place, after any sibling of equal text.
void InsertSorted(QTreeWidget* tree, QTreeWidgetItem* parent, QTreeWidgetItem* item)
{
    const auto sibling = [&](int index) {
        return parent ? parent->child(index) : tree->topLevelItem(index);
    };
    int low = 0;
    int high = parent ? parent->childCount() : tree->topLevelItemCount();
    while (low < high) {
        const int middle = (low + high) / 2;
        if (LessNoCase(item->text(0), sibling(middle)->text(0)))
            high = middle;
        else
            low = middle + 1;
    }
    if (parent)
        parent->insertChild(low, item);
    else
        tree->insertTopLevelItem(low, item);
}

} // namespace

struct CatalogueView::Changes
{
    std::vector<int> removed;
    std::vector<std::pair<int, size_t>> changed; // slot, and the plug-in of the scan it shows now
    std::vector<size_t> added;                   // the plug-ins of the scan new to the view
    std::vector<int> entriesGone;                // slots taken out of use
    std::vector<int> entriesNew;                 // slots put in use
    std::vector<std::pair<int, size_t>> marked;  // slots whose mark changed, and the plug-in

    size_t size() const { return removed.size() + changed.size() + added.size(); }
    bool empty() const
    {
        return size() == 0 && entriesGone.empty() && entriesNew.empty() && marked.empty();
    }
};

size_t CatalogueView::IdentityHash::operator()(std::string_view identity) const
{
    return std::hash<std::string_view>()(identity); // as the scan hashes it
}

CatalogueView::CatalogueView(QTreeWidget* tree, QListWidget* list)
    : m_tree(tree), m_list(list), m_categoryIcon(icons::Category()),
      m_defaultPluginIcon(icons::DefaultPlugin()), m_marks(tree, kIconSize, m_categoryIcon)
{
    m_list->setIconSize(QSize(kIconSize, kIconSize));
}

CatalogueView::~CatalogueView()
{
    deleteItemsOutOfTree();
}

void CatalogueView::show(MarkedScan& scan)
{
    emit shownChanged();
    scan.MakeMarks();
    fill(scan);
    m_functions = std::move(scan.shownFunctions);
}

void CatalogueView::fill(MarkedScan& scan)
{
    clear();
    fillTree(scan);
    for (size_t slot = 0; slot < m_slots.size(); ++slot) {
        if (!m_slots[slot].mark.isEmpty() || m_slots[slot].held)
            showMark(static_cast<int>(slot));
    }
    fillList();
    showCategoryMarks();
    m_shownCount = m_liveCount;
    if (!m_filterText.isEmpty())
        applyFilter();
    else // once the window is on the screen, before the user can type
        QTimer::singleShot(0, m_tree, [this] { prepareFilter(); });
}

bool CatalogueView::filterPrepared() const
{
    return m_filter.size() == static_cast<int>(m_slots.size());
}

void CatalogueView::prepareFilter()
{
    // Made after the tree is on the screen, or when the filter is used first, so that the
    // window does not wait for it.
    if (filterPrepared())
        return;
    m_filter.clear();
    for (size_t slot = 0; slot < m_slots.size(); ++slot) {
        m_filter.add(filterTexts(static_cast<int>(slot)));
        if (!m_slots[slot].record)
            m_filter.remove(static_cast<int>(slot));
    }
}

void CatalogueView::deleteItemsOutOfTree()
{
    for (const Slot& slot : m_slots) {
        if (slot.item && !slot.item->treeWidget())
            delete slot.item;
    }
}

void CatalogueView::clear()
{
    deleteItemsOutOfTree();
    m_pluginsOf.clear();
    m_list->clear();
    m_tree->clear();
    m_categoryItems.clear();
    m_marks.clear();
    m_slots.clear();
    m_slotOf.clear();
    m_liveCount = 0;
    m_filter.clear();
    m_openBeforeFilter.clear();
    m_shownCount = 0;
}

int CatalogueView::inUseCount() const
{
    return m_list->count();
}

PluginFilter::Texts CatalogueView::filterTexts(int slot) const
{
    const CPluginInfo* plugin = m_slots[static_cast<size_t>(slot)].record.get();
    if (!plugin)
        return {};
    return {ShownText(plugin->m_strName), ShownText(plugin->m_strFileName),
            ShownText(plugin->m_strAuthor), ShownText(plugin->m_strCategory),
            ShownText(plugin->m_strDescription)};
}

void CatalogueView::setFilter(const QString& text)
{
    if (text == m_filterText)
        return;
    const bool starting = m_filterText.isEmpty();
    if (starting) {
        for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
            if (m_tree->topLevelItem(i)->isExpanded())
                m_openBeforeFilter.insert(m_tree->topLevelItem(i));
        }
    }
    m_filterText = text;
    applyFilter();
    if (!text.isEmpty())
        return;
    // Back to the categories the user had open, and the one holding the selection.
    QTreeWidgetItem* current = m_tree->currentItem();
    const QTreeWidgetItem* selectedCategory = current ? current->parent() : nullptr;
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* category = m_tree->topLevelItem(i);
        category->setExpanded(category == selectedCategory ||
                              m_openBeforeFilter.contains(category));
    }
    m_openBeforeFilter.clear();
    if (current)
        m_tree->scrollToItem(current);
}

void CatalogueView::applyFilter(const std::unordered_set<QTreeWidgetItem*>* categories)
{
    const bool filtering = !m_filterText.isEmpty();
    if (filtering) {
        prepareFilter();
        m_shownCount = m_filter.match(m_filterText);
    } else {
        m_shownCount = m_liveCount;
    }
    QTreeWidgetItem* const current = m_tree->currentItem();
    {
        // While a category's items move out and in, the tree's current item would pass to a
        // neighbour the user did not choose.
        const QSignalBlocker quiet(m_tree);
        m_tree->setUpdatesEnabled(false);
        if (categories) {
            for (QTreeWidgetItem* category : *categories)
                filterCategory(category, filtering);
        } else {
            for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
                filterCategory(m_tree->topLevelItem(i), filtering);
        }
        m_tree->setUpdatesEnabled(true);
        if (current && current->treeWidget() == m_tree && m_tree->currentItem() != current)
            m_tree->setCurrentItem(current);
    }
    if (current && !isShown(current))
        m_tree->setCurrentItem(nullptr);
}

void CatalogueView::filterCategory(QTreeWidgetItem* category, bool filtering)
{
    // The plug-ins the filter leaves out are taken out of the tree, all of a category's at once:
    // hidden one by one they cost the view far more on a large catalogue.
    m_inView.clear();
    for (const int slot : m_pluginsOf[category]) {
        if (!filtering || m_filter.matches(slot))
            m_inView.append(m_slots[static_cast<size_t>(slot)].item);
    }
    bool unchanged = m_inView.size() == category->childCount();
    for (int i = 0; unchanged && i < m_inView.size(); ++i)
        unchanged = category->child(i) == m_inView[i];
    if (!unchanged) {
        category->takeChildren();
        category->addChildren(m_inView);
    }
    const bool hide = filtering && m_inView.isEmpty();
    if (category->isHidden() != hide)
        category->setHidden(hide);
    if (filtering && !m_inView.isEmpty() && !category->isExpanded())
        category->setExpanded(true);
}

bool CatalogueView::isShown(const QTreeWidgetItem* item) const
{
    for (; item; item = item->parent()) {
        if (item->treeWidget() != m_tree || item->isHidden())
            return false;
    }
    return true;
}

int CatalogueView::newSlot(MarkedScan& scan, size_t index)
{
    const int slot = static_cast<int>(m_slots.size());
    FolderScan::Digest& digest = scan.digests[index];
    Slot& added = m_slots.emplace_back();
    added.record = std::move(scan.Record(index));
    added.identity = std::move(digest.identity);
    added.fields = digest.fields;
    added.twin = scan.IsTwin(index);
    added.held = m_held.IsHeld(added.record->m_strFileName);
    added.mark = std::move(scan.marks[index].text);
    added.marks = scan.marks[index].kinds;
    added.item = new AlphabeticalTreeItem(QStringList{itemText(added)});
    added.icon = PluginIcon(*added.record, m_defaultPluginIcon, kIconSize);
    added.item->setIcon(0, added.icon);
    added.item->setData(0, kIdentityRole, slot + 1);
    m_slotOf.emplace(added.identity, slot);
    ++m_liveCount;
    return slot;
}

QString CatalogueView::itemText(const Slot& slot) const
{
    QString text = ShownText(slot.record->m_strName);
    if (slot.twin)
        text = strings::Text(strings::kTwinItem)
                   .arg(text, strings::Text(strings::kInStorage)
                                  .arg(ShownText(slot.record->m_strSubdirectory)));
    if (slot.held)
        text = strings::Text(strings::kHeldItem).arg(text);
    return text;
}

void CatalogueView::fileAgain(int slot, const QString& text)
{
    QTreeWidgetItem* item = m_slots[static_cast<size_t>(slot)].item;
    if (QTreeWidgetItem* parent = item->parent())
        parent->removeChild(item);
    item->setText(0, text);
    placeInCategory(slot);
}

void CatalogueView::fillTree(MarkedScan& scan)
{
    // Built away from the control and sorted once: item by item sorted inserts into a shown
    // tree take quadratic time on a large catalogue.
    m_slots.reserve(scan.Size());
    std::vector<std::unique_ptr<QTreeWidgetItem>> categories;
    for (size_t index = 0; index < scan.Size(); ++index) {
        const int slot = newSlot(scan, index);
        Slot& plugin = m_slots[static_cast<size_t>(slot)];
        plugin.entry = scan.digests[index].inUse ? newEntry(slot) : nullptr;
        const std::string& category = plugin.record->m_strCategory;
        auto [found, isNew] = m_categoryItems.try_emplace(category, nullptr);
        if (isNew) {
            auto item = std::make_unique<AlphabeticalTreeItem>(QStringList{ShownText(category)});
            item->setIcon(0, m_categoryIcon);
            item->setData(0, kIdentityRole, 0);
            found->second = item.get();
            categories.push_back(std::move(item));
        }
        plugin.category = found->second;
        found->second->addChild(plugin.item);
    }
    QList<QTreeWidgetItem*> topLevel;
    topLevel.reserve(static_cast<qsizetype>(categories.size()));
    for (auto& category : categories)
        topLevel.append(category.release());
    m_tree->addTopLevelItems(topLevel);
    m_tree->sortItems(0, Qt::AscendingOrder);
    for (QTreeWidgetItem* category : topLevel) {
        auto& plugins = m_pluginsOf[category];
        for (int i = 0; i < category->childCount(); ++i)
            plugins.push_back(slotOf(category->child(i)));
    }
}

void CatalogueView::fillList()
{
    // Appended unsorted and sorted once, for the same reason as the tree.
    m_list->setSortingEnabled(false);
    for (const Slot& slot : m_slots) {
        if (slot.entry)
            m_list->addItem(slot.entry);
    }
    m_list->sortItems(Qt::AscendingOrder);
    m_list->setSortingEnabled(true);
}

void CatalogueView::showMark(int slot)
{
    const Slot& plugin = m_slots[static_cast<size_t>(slot)];
    m_marks.show(slot, plugin.mark, plugin.held ? strings::Text(strings::kHeldMark) : QString(),
                 plugin.icon, plugin.item, plugin.entry);
}

void CatalogueView::showCategoryMarks()
{
    std::unordered_map<const QTreeWidgetItem*, unsigned> kinds;
    for (const int slot : m_marks.marked()) {
        const Slot& plugin = m_slots[static_cast<size_t>(slot)];
        kinds[plugin.category] |= plugin.marks;
    }
    TwinMarks::CategoryMarks marked;
    for (const auto& [category, held] : kinds) {
        QStringList lines;
        if (held & MarkedScan::kSharesFileName)
            lines << strings::Text(strings::kCategoryHasTwins);
        if (held & MarkedScan::kClashes)
            lines << strings::Text(strings::kCategoryHasClashes);
        marked.emplace(category, lines.join(u'\n'));
    }
    m_marks.showCategories(std::move(marked), m_categoryItems);
}

QListWidgetItem* CatalogueView::newEntry(int slot)
{
    Slot& plugin = m_slots.at(static_cast<size_t>(slot));
    auto entry = std::make_unique<AlphabeticalListItem>(ShownText(plugin.record->m_strName));
    entry->setData(kIdentityRole, slot);
    entry->setIcon(plugin.item->icon(0));
    entry->setToolTip(plugin.item->toolTip(0));
    entry->setData(Qt::AccessibleDescriptionRole,
                   plugin.item->data(0, Qt::AccessibleDescriptionRole));
    plugin.entry = entry.get();
    return entry.release();
}

const CatalogueView::Slot* CatalogueView::liveSlot(int slot) const
{
    if (slot < 0 || slot >= static_cast<int>(m_slots.size()))
        return nullptr;
    const Slot& found = m_slots[static_cast<size_t>(slot)];
    return found.record ? &found : nullptr;
}

int CatalogueView::slotOf(const QTreeWidgetItem* item) const
{
    const int slot = item ? item->data(0, kIdentityRole).toInt() - 1 : -1;
    return liveSlot(slot) ? slot : -1;
}

int CatalogueView::slotOf(const QListWidgetItem* entry) const
{
    const int slot = entry ? entry->data(kIdentityRole).toInt() : -1;
    return liveSlot(slot) ? slot : -1;
}

CPluginInfo* CatalogueView::pluginOf(const QTreeWidgetItem* item) const
{
    const int slot = slotOf(item);
    return slot < 0 ? nullptr : m_slots[static_cast<size_t>(slot)].record.get();
}

bool CatalogueView::isTwin(const QTreeWidgetItem* item) const
{
    const int slot = slotOf(item);
    return slot >= 0 && m_slots[static_cast<size_t>(slot)].twin;
}

void CatalogueView::setHeld(HeldPlugins held)
{
    if (held.Keys() == m_held.Keys())
        return;
    m_held = std::move(held);
    std::vector<int> changed;
    for (size_t slot = 0; slot < m_slots.size(); ++slot) {
        const Slot& plugin = m_slots[slot];
        if (plugin.record && m_held.IsHeld(plugin.record->m_strFileName) != plugin.held)
            changed.push_back(static_cast<int>(slot));
    }
    if (changed.empty())
        return;
    // The items move out of the tree and back under their new texts: neither the selection nor
    // the view may follow them.
    QTreeWidgetItem* const current = m_tree->currentItem();
    QTreeWidgetItem* const top = m_tree->itemAt(0, 0);
    const QSignalBlocker quiet(m_tree);
    m_tree->setUpdatesEnabled(false);
    std::unordered_set<QTreeWidgetItem*> touched;
    for (const int slot : changed) {
        Slot& plugin = m_slots[static_cast<size_t>(slot)];
        plugin.held = !plugin.held;
        fileAgain(slot, itemText(plugin));
        touched.insert(plugin.category);
        showMark(slot);
    }
    applyFilter(&touched);
    if (current && isShown(current))
        m_tree->setCurrentItem(current);
    m_tree->setUpdatesEnabled(true);
    if (top && isShown(top))
        m_tree->scrollToItem(top, QAbstractItemView::PositionAtTop);
}

bool CatalogueView::isHeld(const QTreeWidgetItem* item) const
{
    const int slot = slotOf(item);
    return slot >= 0 && m_slots[static_cast<size_t>(slot)].held;
}

QTreeWidgetItem* CatalogueView::treeItemOf(const QListWidgetItem* entry) const
{
    const int slot = slotOf(entry);
    return slot < 0 ? nullptr : m_slots[static_cast<size_t>(slot)].item;
}

QListWidgetItem* CatalogueView::entryOf(const QTreeWidgetItem* item) const
{
    const int slot = slotOf(item);
    return slot < 0 ? nullptr : m_slots[static_cast<size_t>(slot)].entry;
}

QListWidgetItem* CatalogueView::addEntry(const QTreeWidgetItem* item)
{
    const int slot = slotOf(item);
    if (slot < 0 || m_slots[static_cast<size_t>(slot)].twin)
        return nullptr;
    if (QListWidgetItem* entry = m_slots[static_cast<size_t>(slot)].entry)
        return entry; // one entry per plug-in
    emit shownChanged();
    // An entry sorted in above the selected one moves the selection down a row, which must not
    // reach the window as if the user had chosen it.
    const QSignalBlocker quiet(m_list);
    QListWidgetItem* entry = newEntry(slot);
    m_list->addItem(entry);
    return entry;
}

bool CatalogueView::removeEntry(QListWidgetItem* entry)
{
    emit shownChanged();
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    QListWidgetItem* const kept =
        selected.isEmpty() || selected.first() == entry ? nullptr : selected.first();
    if (const int slot = slotOf(entry); slot >= 0)
        m_slots[static_cast<size_t>(slot)].entry = nullptr;
    // The list hands a removed entry's selection to its neighbour; the user chose neither.
    const QSignalBlocker quiet(m_list);
    std::unique_ptr<QListWidgetItem>(m_list->takeItem(m_list->row(entry)));
    m_list->clearSelection();
    if (kept)
        kept->setSelected(true);
    return kept != nullptr;
}

void CatalogueView::showName(QTreeWidgetItem* item)
{
    const int slot = slotOf(item);
    if (slot < 0)
        return;
    emit shownChanged();
    Slot& plugin = m_slots[static_cast<size_t>(slot)];
    plugin.fields = FolderScan::FieldsOf(*plugin.record); // as the next scan finds it
    item->setText(0, itemText(plugin));
    if (plugin.entry)
        plugin.entry->setText(ShownText(plugin.record->m_strName));
    if (m_filterText.isEmpty()) {
        m_filter.clear(); // made again, with the new texts, when the filter is next used
        return;
    }
    m_filter.replace(slot, filterTexts(slot));
    applyFilter();
}

QTreeWidgetItem* CatalogueView::categoryItem(const std::string& category)
{
    auto [found, isNew] = m_categoryItems.try_emplace(category, nullptr);
    if (!isNew)
        return found->second;
    auto item = std::make_unique<AlphabeticalTreeItem>(QStringList{ShownText(category)});
    item->setIcon(0, m_categoryIcon);
    item->setData(0, kIdentityRole, 0);
    found->second = item.get();
    InsertSorted(m_tree, nullptr, item.release());
    return found->second;
}

void CatalogueView::moveToCategory(QTreeWidgetItem* item, const std::string& category)
{
    const int slot = slotOf(item);
    QTreeWidgetItem* oldParent = item ? item->parent() : nullptr;
    if (!oldParent || slot < 0)
        return;
    QTreeWidgetItem* newParent = categoryItem(category);
    if (newParent == oldParent)
        return;
    const bool wasCurrent = m_tree->currentItem() == item;
    {
        // While the item is out of the tree the selection would pass to a neighbour and drag
        // the list selection and the panel along.
        const QSignalBlocker quiet(m_tree);
        oldParent->removeChild(item);
        InsertSorted(m_tree, newParent, item);
    }
    placeInCategory(slot);
    showCategoryMarks();
    if (!m_filterText.isEmpty())
        applyFilter();
    if (wasCurrent) {
        m_tree->setCurrentItem(item);
        m_tree->scrollToItem(item);
    }
}

void CatalogueView::placeInCategory(int slot)
{
    Slot& plugin = m_slots[static_cast<size_t>(slot)];
    if (plugin.category) {
        auto& before = m_pluginsOf[plugin.category];
        if (const auto at = std::find(before.begin(), before.end(), slot); at != before.end())
            before.erase(at);
    }
    // An item the tree holds stays where it is, the one place that filing it again agrees with.
    plugin.category =
        plugin.item->parent() ? plugin.item->parent() : categoryItem(plugin.record->m_strCategory);
    auto& after = m_pluginsOf[plugin.category];
    after.insert(std::upper_bound(after.begin(), after.end(), slot,
                                  [this](int a, int b) {
                                      return LessNoCase(
                                          m_slots[static_cast<size_t>(a)].item->text(0),
                                          m_slots[static_cast<size_t>(b)].item->text(0));
                                  }),
                 slot);
}

// Later scans of the same folders.

CatalogueView::Changes CatalogueView::changesOf(const MarkedScan& scan) const
{
    // Everything compared here was made with the scan, away from the window.
    Changes changes;
    std::vector<char> seen(m_slots.size(), 0);
    for (size_t index = 0; index < scan.digests.size(); ++index) {
        const FolderScan::Digest& digest = scan.digests[index];
        const auto found =
            m_slotOf.find(std::make_pair(std::string_view(digest.identity), digest.hash));
        if (found == m_slotOf.end()) {
            changes.added.push_back(index);
            continue;
        }
        const int slot = found->second;
        const Slot& shown = m_slots[static_cast<size_t>(slot)];
        seen[static_cast<size_t>(slot)] = 1;
        if (digest.inUse != (shown.entry != nullptr))
            (shown.entry ? changes.entriesGone : changes.entriesNew).push_back(slot);
        if (digest.fields != shown.fields)
            changes.changed.emplace_back(slot, index);
        if (scan.marks[index].text != shown.mark)
            changes.marked.emplace_back(slot, index);
    }
    for (size_t slot = 0; slot < m_slots.size(); ++slot) {
        if (m_slots[slot].record && !seen[slot])
            changes.removed.push_back(static_cast<int>(slot));
    }
    return changes;
}

bool CatalogueView::update(MarkedScan& scan)
{
    emit shownChanged(); // the scan is newer than any made before, changes or not
    scan.MakeMarks();
    m_functions = std::move(scan.shownFunctions);
    const Changes changes = changesOf(scan);
    if (changes.empty())
        return false;
    if (changes.size() > std::max(kFewChanges, static_cast<size_t>(m_liveCount) / 4))
        rebuild(scan);
    else
        applyChanges(changes, scan);
    return true;
}

void CatalogueView::applyChanges(const Changes& changes, MarkedScan& scan)
{
    QTreeWidgetItem* current = m_tree->currentItem();
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    QListWidgetItem* selectedEntry = selected.isEmpty() ? nullptr : selected.first();
    QTreeWidgetItem* top = m_tree->itemAt(0, 0);
    const QSignalBlocker quietTree(m_tree);
    const QSignalBlocker quietList(m_list);
    m_tree->setUpdatesEnabled(false);
    const bool filterKept = filterPrepared();
    std::unordered_set<QTreeWidgetItem*> touched; // categories whose plug-ins changed

    for (const int slot : changes.removed) {
        const Slot& plugin = m_slots[static_cast<size_t>(slot)];
        if (plugin.item == current)
            current = nullptr;
        if (plugin.item == top)
            top = nullptr;
        if (plugin.entry && plugin.entry == selectedEntry)
            selectedEntry = nullptr;
        touched.insert(removeSlot(slot));
        if (filterKept)
            m_filter.remove(slot);
    }
    for (const auto& [slot, index] : changes.changed) {
        touched.insert(m_slots[static_cast<size_t>(slot)].category);
        changeSlot(slot, scan, index);
        touched.insert(m_slots[static_cast<size_t>(slot)].category);
        if (filterKept)
            m_filter.replace(slot, filterTexts(slot));
    }
    std::vector<int> entriesNew = changes.entriesNew;
    for (const size_t index : changes.added) {
        const bool inUse = scan.digests[index].inUse;
        const int slot = newSlot(scan, index);
        placeInCategory(slot);
        touched.insert(m_slots[static_cast<size_t>(slot)].category);
        showMark(slot);
        if (filterKept)
            m_filter.add(filterTexts(slot));
        if (inUse)
            entriesNew.push_back(slot);
    }
    for (const auto& [slot, index] : changes.marked) {
        m_slots[static_cast<size_t>(slot)].mark = scan.marks[index].text;
        m_slots[static_cast<size_t>(slot)].marks = scan.marks[index].kinds;
        showMark(slot);
    }

    const int selectedSlot = slotOf(selectedEntry);
    if (changes.entriesGone.size() + entriesNew.size() > kFewChanges) {
        changeManyEntries(changes.entriesGone, entriesNew);
        selectedEntry =
            selectedSlot < 0 ? nullptr : m_slots[static_cast<size_t>(selectedSlot)].entry;
    } else {
        for (const int slot : changes.entriesGone) {
            QListWidgetItem*& entry = m_slots[static_cast<size_t>(slot)].entry;
            if (entry == selectedEntry)
                selectedEntry = nullptr;
            delete m_list->takeItem(m_list->row(entry));
            entry = nullptr;
        }
        for (const int slot : entriesNew)
            m_list->addItem(newEntry(slot));
    }

    for (QTreeWidgetItem* gone : removeEmptyCategories()) {
        touched.erase(gone);
        if (gone == current)
            current = nullptr;
        if (gone == top)
            top = nullptr;
    }
    showCategoryMarks();

    applyFilter(&touched); // puts the items filed anew into the tree
    m_tree->setCurrentItem(current && isShown(current) ? current : nullptr);
    m_list->clearSelection();
    if (selectedEntry)
        m_list->setCurrentItem(selectedEntry, QItemSelectionModel::ClearAndSelect);
    m_tree->setUpdatesEnabled(true);
    if (top && isShown(top))
        m_tree->scrollToItem(top, QAbstractItemView::PositionAtTop);
}

void CatalogueView::changeManyEntries(const std::vector<int>& gone, const std::vector<int>& added)
{
    // Filled again and sorted once: entry by entry sorted inserts cost far more.
    std::vector<char> inUse(m_slots.size(), 0);
    for (size_t slot = 0; slot < m_slots.size(); ++slot)
        inUse[slot] = m_slots[slot].entry ? 1 : 0;
    for (const int slot : gone)
        inUse[static_cast<size_t>(slot)] = 0;
    for (const int slot : added)
        inUse[static_cast<size_t>(slot)] = 1;
    m_list->clear();
    m_list->setSortingEnabled(false);
    for (size_t slot = 0; slot < m_slots.size(); ++slot) {
        m_slots[slot].entry = nullptr;
        if (inUse[slot])
            m_list->addItem(newEntry(static_cast<int>(slot)));
    }
    m_list->sortItems(Qt::AscendingOrder);
    m_list->setSortingEnabled(true);
}

QTreeWidgetItem* CatalogueView::removeSlot(int slot)
{
    Slot& plugin = m_slots[static_cast<size_t>(slot)];
    QTreeWidgetItem* category = plugin.category;
    if (plugin.entry)
        delete m_list->takeItem(m_list->row(plugin.entry));
    auto& siblings = m_pluginsOf[category];
    if (const auto at = std::find(siblings.begin(), siblings.end(), slot); at != siblings.end())
        siblings.erase(at);
    if (QTreeWidgetItem* parent = plugin.item->parent())
        parent->removeChild(plugin.item);
    delete plugin.item;
    m_slotOf.erase(plugin.identity);
    m_marks.forget(slot);
    plugin = Slot();
    --m_liveCount;
    return category;
}

void CatalogueView::changeSlot(int slot, MarkedScan& scan, size_t index)
{
    Slot& plugin = m_slots[static_cast<size_t>(slot)];
    std::unique_ptr<CPluginInfo>& record = scan.Record(index);
    const bool newCategory = record->m_strCategory != plugin.record->m_strCategory;
    plugin.record = std::move(record);
    plugin.fields = scan.digests[index].fields;
    // Taken out of the tree, and filed again under its name and category.
    if (const QString text = itemText(plugin); newCategory || text != plugin.item->text(0))
        fileAgain(slot, text);
    plugin.icon = PluginIcon(*plugin.record, m_defaultPluginIcon, kIconSize);
    showMark(slot);
    if (plugin.entry) {
        // Sorted in again under its new name.
        const bool wasSelected = plugin.entry->isSelected();
        auto* entry = m_list->takeItem(m_list->row(plugin.entry));
        entry->setText(ShownText(plugin.record->m_strName));
        m_list->addItem(entry);
        entry->setSelected(wasSelected);
    }
}

std::vector<QTreeWidgetItem*> CatalogueView::removeEmptyCategories()
{
    std::vector<QTreeWidgetItem*> removed;
    for (auto it = m_categoryItems.begin(); it != m_categoryItems.end();) {
        QTreeWidgetItem* category = it->second;
        if (!m_pluginsOf[category].empty()) {
            ++it;
            continue;
        }
        m_pluginsOf.erase(category);
        m_openBeforeFilter.erase(category);
        m_marks.forget(category);
        removed.push_back(category);
        delete category; // takes itself out of the tree
        it = m_categoryItems.erase(it);
    }
    return removed;
}

void CatalogueView::rebuild(MarkedScan& scan)
{
    // What the user chose, by identity and category text, to be found again in the new items.
    const auto identity = [this](const QTreeWidgetItem* item) {
        const int slot = slotOf(item);
        return slot < 0 ? std::string() : m_slots[static_cast<size_t>(slot)].identity;
    };
    const QTreeWidgetItem* current = m_tree->currentItem();
    const std::string currentPlugin = identity(current);
    const QString currentCategory = current && !current->parent() ? current->text(0) : QString();
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    const std::string selectedPlugin =
        selected.isEmpty() ? std::string() : identity(treeItemOf(selected.first()));
    const std::string topPlugin = identity(m_tree->itemAt(0, 0));
    QStringList open;
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        if (m_tree->topLevelItem(i)->isExpanded())
            open << m_tree->topLevelItem(i)->text(0);
    }
    QStringList openBeforeFilter;
    for (const QTreeWidgetItem* category : m_openBeforeFilter)
        openBeforeFilter << category->text(0);

    const QSignalBlocker quietTree(m_tree);
    const QSignalBlocker quietList(m_list);
    fill(scan);
    const auto itemOf = [this](const std::string& id) -> QTreeWidgetItem* {
        const auto found = m_slotOf.find(id);
        return found == m_slotOf.end() ? nullptr : m_slots[static_cast<size_t>(found->second)].item;
    };
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* category = m_tree->topLevelItem(i);
        if (open.contains(category->text(0)))
            category->setExpanded(true);
        if (openBeforeFilter.contains(category->text(0)))
            m_openBeforeFilter.insert(category);
        if (!currentCategory.isEmpty() && category->text(0) == currentCategory)
            m_tree->setCurrentItem(category);
    }
    if (QTreeWidgetItem* item = itemOf(currentPlugin); item && isShown(item))
        m_tree->setCurrentItem(item);
    if (QTreeWidgetItem* item = itemOf(selectedPlugin); item && entryOf(item))
        m_list->setCurrentItem(entryOf(item), QItemSelectionModel::ClearAndSelect);
    if (QTreeWidgetItem* item = itemOf(topPlugin); item && isShown(item))
        m_tree->scrollToItem(item, QAbstractItemView::PositionAtTop);
}

} // namespace korvane::mainwindow
