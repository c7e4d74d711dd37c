#include "gui/mainwindow/CatalogueView.h"

#include "gui/mainwindow/CatalogueFilter.h"
#include "gui/mainwindow/InUseModel.h"
#include "gui/mainwindow/MarkedScan.h"
#include "gui/mainwindow/PluginIcon.h"
#include "gui/widgets/ShownText.h"
#include "res/Icons.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <algorithm>
#include <optional>
#include <QListView>
#include <QScopedValueRollback>
#include <QTimer>
#include <QTreeView>
#include <utility>

namespace korvane::mainwindow {

using widgets::ShownText;

namespace {

// Up to this many plug-ins changed at once, or a quarter of the catalogue, a later scan is shown
// in place, row by row; beyond, the models are filled again.
constexpr size_t kFewChanges = 2000;

} // namespace

class CatalogueView::Quiet
{
public:
    explicit Quiet(CatalogueView& view) : m_view(view) { ++m_view.m_quiet; }
    ~Quiet() { --m_view.m_quiet; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

private:
    CatalogueView& m_view;
};

struct CatalogueView::Changes
{
    std::vector<int> removed;
    std::vector<std::pair<int, size_t>> changed; // plug-in, and the plug-in of the scan it is now
    std::vector<size_t> added;                   // the plug-ins of the scan new to the view
    std::vector<int> entriesGone;                // plug-ins taken out of use
    std::vector<int> entriesNew;                 // plug-ins put in use
    std::vector<std::pair<int, size_t>> marked;  // plug-ins whose mark changed, and the scan's

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

CatalogueView::CatalogueView(QTreeView* tree, QListView* list)
    : m_tree(tree), m_list(list), m_categoryIcon(icons::Category()),
      m_defaultPluginIcon(icons::DefaultPlugin()),
      m_model(new CatalogueModel(m_categoryIcon, tree)),
      m_filter(new CatalogueFilter(*m_model, tree)), m_inUse(new InUseModel(*m_model, list)),
      m_marks(tree, kIconSize)
{
    m_filter->setSourceModel(m_model);
    m_tree->setModel(m_filter);
    m_list->setModel(m_inUse);
    m_list->setIconSize(QSize(kIconSize, kIconSize));
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!m_quiet)
                    emit currentChanged(current);
            });
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_quiet)
            emit entrySelectionChanged();
    });
    // The rows the tree laid out are the filter's rows from before its search, which are gone:
    // laid out again at once, before anything (a screen reader's question) reads one of them.
    connect(m_filter, &QAbstractItemModel::layoutChanged, m_tree, [this] {
        if (!m_searching)
            m_tree->doItemsLayout();
    });
}

CatalogueView::~CatalogueView() = default;

void CatalogueView::show(MarkedScan& scan)
{
    emit shownChanged();
    scan.MakeMarks();
    fill(scan);
    m_functions = std::move(scan.shownFunctions);
}

void CatalogueView::clear()
{
    const Quiet quiet(*this);
    m_inUse->reset({});
    m_model->reset({});
    m_numberOf.clear();
    m_marked.clear();
    m_marks.clear();
    m_filter->texts().clear();
    m_openBeforeFilter.clear();
    m_shownCount = 0;
}

void CatalogueView::fill(MarkedScan& scan)
{
    clear();
    const Quiet quiet(*this);
    std::vector<Plugin> plugins;
    plugins.reserve(scan.Size());
    std::vector<int> inUse;
    for (size_t index = 0; index < scan.Size(); ++index) {
        const int number = static_cast<int>(plugins.size());
        plugins.push_back(pluginFrom(scan, index));
        m_numberOf.emplace(plugins.back().identity, number);
        if (plugins.back().inUse)
            inUse.push_back(number);
        if (!plugins.back().mark.isEmpty())
            m_marked.insert(number);
    }
    m_model->reset(std::move(plugins));
    m_inUse->reset(std::move(inUse));
    showCategoryMarks();
    m_shownCount = m_model->liveCount();
    if (m_filter->filtering())
        applyFilter(m_filter->text());
    else // once the window is on the screen, before the user can type
        QTimer::singleShot(0, m_tree, [this] { prepareFilter(); });
}

CatalogueView::Plugin CatalogueView::pluginFrom(MarkedScan& scan, size_t index)
{
    FolderScan::Digest& digest = scan.digests[index];
    Plugin plugin;
    plugin.record = std::move(scan.Record(index));
    plugin.identity = std::move(digest.identity);
    plugin.fields = digest.fields;
    plugin.twin = scan.IsTwin(index);
    plugin.inUse = digest.inUse;
    plugin.held = m_held.IsHeld(plugin.record->m_strFileName);
    plugin.mark = std::move(scan.marks[index].text);
    plugin.marks = scan.marks[index].kinds;
    plugin.text = itemText(plugin);
    plugin.name = ShownText(plugin.record->m_strName);
    plugin.ownIcon = PluginIcon(*plugin.record, m_defaultPluginIcon, kIconSize);
    decorate(plugin);
    return plugin;
}

QString CatalogueView::itemText(const Plugin& plugin) const
{
    QString text = ShownText(plugin.record->m_strName);
    if (plugin.twin)
        text = strings::Text(strings::kTwinItem)
                   .arg(text, strings::Text(strings::kInStorage)
                                  .arg(ShownText(plugin.record->m_strSubdirectory)));
    if (plugin.held)
        text = strings::Text(strings::kHeldItem).arg(text);
    return text;
}

void CatalogueView::decorate(Plugin& plugin)
{
    plugin.icon = plugin.mark.isEmpty() ? plugin.ownIcon : m_marks.marked(plugin.ownIcon);
    plugin.description = TwinMarks::Description(
        plugin.mark, plugin.held ? strings::Text(strings::kHeldMark) : QString());
}

void CatalogueView::showCategoryMarks()
{
    std::map<std::string, unsigned> kinds;
    for (const int number : m_marked)
        kinds[m_model->categoryOf(number)] |= m_model->at(number).marks;
    std::map<std::string, QString> descriptions;
    for (const auto& [category, held] : kinds) {
        QStringList lines;
        if (held & MarkedScan::kSharesFileName)
            lines << strings::Text(strings::kCategoryHasTwins);
        if (held & MarkedScan::kClashes)
            lines << strings::Text(strings::kCategoryHasClashes);
        descriptions.emplace(category, lines.join(u'\n'));
    }
    m_model->markCategories(descriptions, m_marks.marked(m_categoryIcon));
}

// The filter.

PluginFilter::Texts CatalogueView::filterTexts(int plugin) const
{
    const CPluginInfo* record = this->record(plugin);
    if (!record)
        return {};
    return {ShownText(record->m_strName), ShownText(record->m_strFileName),
            ShownText(record->m_strAuthor), ShownText(record->m_strCategory),
            ShownText(record->m_strDescription)};
}

bool CatalogueView::filterPrepared() const
{
    return m_filter->texts().size() == m_model->size();
}

void CatalogueView::prepareFilter()
{
    // Made after the tree is on the screen, or when the filter is used first, so that the
    // window does not wait for it.
    if (filterPrepared())
        return;
    PluginFilter& texts = m_filter->texts();
    texts.clear();
    for (int number = 0; number < m_model->size(); ++number) {
        texts.add(filterTexts(number));
        if (!record(number))
            texts.remove(number);
    }
}

void CatalogueView::setFilter(const QString& text)
{
    if (text == m_filter->text())
        return;
    if (!m_filter->filtering()) {
        for (int row = 0; row < m_filter->rowCount(); ++row) {
            const QModelIndex category = m_filter->index(row, 0);
            if (m_tree->isExpanded(category))
                m_openBeforeFilter.insert(m_model->categoryName(m_filter->mapToSource(category)));
        }
    }
    if (!text.isEmpty()) {
        applyFilter(text);
        return;
    }
    m_shownCount = m_filter->search(text);
    // Back to the categories the user had open, and the one holding the selection.
    const QModelIndex current = m_tree->currentIndex();
    const QModelIndex selectedCategory = current.parent();
    for (int row = 0; row < m_filter->rowCount(); ++row) {
        const QModelIndex category = m_filter->index(row, 0);
        m_tree->setExpanded(category, category == selectedCategory ||
                                          m_openBeforeFilter.contains(m_model->categoryName(
                                              m_filter->mapToSource(category))));
    }
    m_openBeforeFilter.clear();
    if (current.isValid())
        m_tree->scrollTo(current);
}

void CatalogueView::applyFilter(const QString& text)
{
    if (text.isEmpty())
        return;
    prepareFilter();
    {
        // Laid out once, with the categories open: opened one by one in a tree laid out, each
        // would move the rows below it.
        const QScopedValueRollback searching(m_searching, true);
        m_shownCount = m_filter->search(text);
        for (int row = 0; row < m_filter->rowCount(); ++row)
            m_tree->expand(m_filter->index(row, 0));
    }
    m_tree->doItemsLayout();
}

bool CatalogueView::isShown(int plugin) const
{
    return record(plugin) && m_filter->finds(plugin);
}

int CatalogueView::storedCount() const
{
    return m_model->liveCount();
}

int CatalogueView::inUseCount() const
{
    return m_inUse->rowCount();
}

// Plug-ins by number.

int CatalogueView::pluginOf(const QModelIndex& index) const
{
    const int number = CatalogueModel::NumberOf(index);
    return m_model->plugin(number) ? number : -1;
}

int CatalogueView::pluginAt(const QAbstractItemView* control, const QPoint& viewportPos) const
{
    return pluginOf(control->indexAt(viewportPos));
}

int CatalogueView::findPlugin(const std::string& subdirectory, const std::string& key) const
{
    for (int number = 0; number < m_model->size(); ++number) {
        const CPluginInfo* found = record(number);
        if (found && found->m_strSubdirectory == subdirectory && found->m_strFileName == key)
            return number;
    }
    return -1;
}

CPluginInfo* CatalogueView::record(int plugin) const
{
    const Plugin* found = m_model->plugin(plugin);
    return found ? found->record.get() : nullptr;
}

bool CatalogueView::isTwin(int plugin) const
{
    const Plugin* found = m_model->plugin(plugin);
    return found && found->twin;
}

bool CatalogueView::isHeld(int plugin) const
{
    const Plugin* found = m_model->plugin(plugin);
    return found && found->held;
}

bool CatalogueView::isInUse(int plugin) const
{
    const Plugin* found = m_model->plugin(plugin);
    return found && found->inUse;
}

QModelIndex CatalogueView::shownIndex(int plugin) const
{
    return m_filter->mapFromSource(m_model->indexOf(plugin));
}

int CatalogueView::currentPlugin() const
{
    return pluginOf(m_tree->currentIndex());
}

void CatalogueView::makeCurrent(int plugin)
{
    const QModelIndex index = shownIndex(plugin);
    m_tree->setCurrentIndex(index);
    if (index.isValid())
        m_tree->scrollTo(index);
}

int CatalogueView::selectedEntry() const
{
    const QModelIndexList selected = m_list->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : m_inUse->numberAt(selected.first().row());
}

void CatalogueView::selectEntry(int plugin, bool quietly)
{
    std::optional<Quiet> quiet;
    if (quietly)
        quiet.emplace(*this);
    const int row = m_inUse->rowOf(plugin);
    if (row < 0) {
        m_list->clearSelection();
        return;
    }
    const QModelIndex entry = m_inUse->index(row);
    m_list->selectionModel()->setCurrentIndex(entry, QItemSelectionModel::ClearAndSelect);
    m_list->scrollTo(entry, QAbstractItemView::EnsureVisible);
}

int CatalogueView::entryAt(int row) const
{
    return m_inUse->numberAt(row);
}

int CatalogueView::entryRow(int plugin) const
{
    return m_inUse->rowOf(plugin);
}

void CatalogueView::setInUse(int plugin, bool inUse)
{
    m_model->at(plugin).inUse = inUse;
    if (inUse)
        m_inUse->add(plugin);
    else
        m_inUse->remove(plugin);
    m_model->changed(plugin);
}

bool CatalogueView::addEntry(int plugin)
{
    if (!record(plugin) || isTwin(plugin))
        return false;
    if (isInUse(plugin))
        return true; // one entry per plug-in
    emit shownChanged();
    // An entry sorted in above the selected one moves the selection down a row, which must not
    // reach the window as if the user had chosen it.
    const Quiet quiet(*this);
    setInUse(plugin, true);
    return true;
}

bool CatalogueView::removeEntry(int plugin)
{
    emit shownChanged();
    const int selected = selectedEntry();
    const int kept = selected == plugin ? -1 : selected;
    // The list hands a removed entry's selection to its neighbour; the user chose neither.
    const Quiet quiet(*this);
    if (isInUse(plugin))
        setInUse(plugin, false);
    m_list->clearSelection();
    if (kept >= 0)
        selectEntry(kept);
    return kept >= 0;
}

void CatalogueView::showEdited(int plugin)
{
    if (!record(plugin))
        return;
    emit shownChanged();
    Plugin& edited = m_model->at(plugin);
    edited.fields = FolderScan::FieldsOf(*edited.record); // as the next scan finds it
    edited.text = itemText(edited);
    edited.name = ShownText(edited.record->m_strName);
    const Place kept = place();
    const int selected = selectedEntry();
    {
        // The rows go to their new places; the tree's current one and the list's selection
        // stay with the plug-ins.
        const Quiet quiet(*this);
        m_model->refile(plugin);
        m_inUse->refile(plugin);
        restore(kept);
        selectEntry(selected);
    }
    showCategoryMarks();
    if (m_filter->filtering()) {
        m_filter->texts().replace(plugin, filterTexts(plugin));
        applyFilter(m_filter->text());
    } else {
        m_filter->texts().clear(); // made again, with the new texts, when the filter is next used
    }
    if (kept.plugin == plugin && isShown(plugin))
        m_tree->scrollTo(shownIndex(plugin));
}

void CatalogueView::setHeld(HeldPlugins held)
{
    if (held.Keys() == m_held.Keys())
        return;
    m_held = std::move(held);
    std::vector<int> changed;
    for (int number = 0; number < m_model->size(); ++number) {
        const Plugin* plugin = m_model->plugin(number);
        if (plugin && m_held.IsHeld(plugin->record->m_strFileName) != plugin->held)
            changed.push_back(number);
    }
    if (changed.empty())
        return;
    // The rows move to their places under their new texts: neither the selection nor the view
    // may follow them.
    const Place kept = place();
    const Quiet quiet(*this);
    for (const int number : changed) {
        Plugin& plugin = m_model->at(number);
        plugin.held = !plugin.held;
        plugin.text = itemText(plugin);
        decorate(plugin);
        m_model->refile(number);
        m_inUse->changed(number);
    }
    restore(kept);
}

// Later scans of the same folders.

CatalogueView::Changes CatalogueView::changesOf(const MarkedScan& scan) const
{
    // Everything compared here was made with the scan, away from the window.
    Changes changes;
    std::vector<char> seen(static_cast<size_t>(m_model->size()), 0);
    for (size_t index = 0; index < scan.digests.size(); ++index) {
        const FolderScan::Digest& digest = scan.digests[index];
        const auto found =
            m_numberOf.find(std::make_pair(std::string_view(digest.identity), digest.hash));
        if (found == m_numberOf.end()) {
            changes.added.push_back(index);
            continue;
        }
        const int number = found->second;
        const Plugin& shown = m_model->at(number);
        seen[static_cast<size_t>(number)] = 1;
        if (digest.inUse != shown.inUse)
            (shown.inUse ? changes.entriesGone : changes.entriesNew).push_back(number);
        if (digest.fields != shown.fields)
            changes.changed.emplace_back(number, index);
        if (scan.marks[index].text != shown.mark)
            changes.marked.emplace_back(number, index);
    }
    for (int number = 0; number < m_model->size(); ++number) {
        if (m_model->plugin(number) && !seen[static_cast<size_t>(number)])
            changes.removed.push_back(number);
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
    if (changes.size() > std::max(kFewChanges, static_cast<size_t>(m_model->liveCount()) / 4))
        rebuild(scan);
    else
        applyChanges(changes, scan);
    return true;
}

CatalogueView::Place CatalogueView::place() const
{
    Place kept;
    const QModelIndex current = m_tree->currentIndex();
    kept.plugin = pluginOf(current);
    if (current.isValid() && kept.plugin < 0)
        kept.category = m_model->categoryName(m_filter->mapToSource(current));
    const QModelIndex top = m_tree->indexAt(QPoint(0, 0));
    kept.top = pluginOf(top);
    if (top.isValid() && kept.top < 0)
        kept.topCategory = m_model->categoryName(m_filter->mapToSource(top));
    return kept;
}

void CatalogueView::restore(const Place& kept)
{
    const auto shown = [this](int plugin, const std::optional<std::string>& category) {
        if (plugin >= 0)
            return isShown(plugin) ? shownIndex(plugin) : QModelIndex();
        return category ? m_filter->mapFromSource(m_model->categoryIndex(*category))
                        : QModelIndex();
    };
    const Quiet quiet(*this);
    m_tree->setCurrentIndex(shown(kept.plugin, kept.category));
    if (const QModelIndex top = shown(kept.top, kept.topCategory); top.isValid())
        m_tree->scrollTo(top, QAbstractItemView::PositionAtTop);
}

void CatalogueView::applyChanges(const Changes& changes, MarkedScan& scan)
{
    const Place kept = place();
    const int selected = selectedEntry();
    const Quiet quiet(*this);
    const bool filterKept = filterPrepared();

    for (const int number : changes.removed) {
        removePlugin(number);
        if (filterKept)
            m_filter->texts().remove(number);
    }
    for (const auto& [number, index] : changes.changed) {
        changePlugin(number, scan, index);
        if (filterKept)
            m_filter->texts().replace(number, filterTexts(number));
    }
    std::vector<int> entriesNew = changes.entriesNew;
    for (const size_t index : changes.added) {
        Plugin added = pluginFrom(scan, index);
        const bool inUse = added.inUse;
        added.inUse = false; // listed below with the others
        const bool marked = !added.mark.isEmpty();
        const int number = m_model->add(std::move(added));
        m_numberOf.emplace(m_model->at(number).identity, number);
        if (marked)
            m_marked.insert(number);
        if (filterKept)
            m_filter->texts().add(filterTexts(number));
        if (inUse)
            entriesNew.push_back(number);
    }
    for (const auto& [number, index] : changes.marked) {
        Plugin& plugin = m_model->at(number);
        plugin.mark = scan.marks[index].text;
        plugin.marks = scan.marks[index].kinds;
        decorate(plugin);
        if (plugin.mark.isEmpty())
            m_marked.erase(number);
        else
            m_marked.insert(number);
        m_model->changed(number);
        m_inUse->changed(number);
    }

    if (changes.entriesGone.size() + entriesNew.size() > kFewChanges) {
        // Filled again and sorted once: entry by entry sorted inserts cost far more.
        for (const int number : changes.entriesGone)
            m_model->at(number).inUse = false;
        for (const int number : entriesNew)
            m_model->at(number).inUse = true;
        std::vector<int> inUse;
        for (int number = 0; number < m_model->size(); ++number) {
            if (isInUse(number))
                inUse.push_back(number);
        }
        m_inUse->reset(std::move(inUse));
    } else {
        for (const int number : changes.entriesGone)
            setInUse(number, false);
        for (const int number : entriesNew)
            setInUse(number, true);
    }

    for (const std::string& gone : m_model->dropEmptyCategories())
        m_openBeforeFilter.erase(gone);
    showCategoryMarks();
    applyFilter(m_filter->text());
    restore(kept);
    m_list->clearSelection();
    if (isInUse(selected))
        selectEntry(selected);
}

void CatalogueView::removePlugin(int plugin)
{
    if (isInUse(plugin))
        m_inUse->remove(plugin);
    m_numberOf.erase(m_model->at(plugin).identity);
    m_marked.erase(plugin);
    m_model->remove(plugin);
}

void CatalogueView::changePlugin(int plugin, MarkedScan& scan, size_t index)
{
    Plugin& changed = m_model->at(plugin);
    changed.record = std::move(scan.Record(index));
    changed.fields = scan.digests[index].fields;
    changed.text = itemText(changed);
    changed.name = ShownText(changed.record->m_strName);
    changed.ownIcon = PluginIcon(*changed.record, m_defaultPluginIcon, kIconSize);
    decorate(changed);
    // Filed again under its name and category.
    m_model->refile(plugin);
    m_inUse->refile(plugin);
}

void CatalogueView::rebuild(MarkedScan& scan)
{
    // What the user chose, by identity and category name, to be found again in the new rows.
    const auto identity = [this](int plugin) {
        return plugin < 0 ? std::string() : m_model->at(plugin).identity;
    };
    const Place kept = place();
    const std::string currentPlugin = identity(kept.plugin);
    const std::string selectedPlugin = identity(selectedEntry());
    const std::string topPlugin = identity(kept.top);
    std::set<std::string> open;
    for (int row = 0; row < m_filter->rowCount(); ++row) {
        const QModelIndex category = m_filter->index(row, 0);
        if (m_tree->isExpanded(category))
            open.insert(m_model->categoryName(m_filter->mapToSource(category)));
    }
    std::set<std::string> openBeforeFilter = std::move(m_openBeforeFilter);

    const Quiet quiet(*this);
    fill(scan);
    const auto numberOf = [this](const std::string& id) {
        const auto found = m_numberOf.find(id);
        return found == m_numberOf.end() ? -1 : found->second;
    };
    for (const std::string& category : openBeforeFilter) {
        if (m_model->categoryIndex(category).isValid())
            m_openBeforeFilter.insert(category);
    }
    for (const std::string& category : open)
        m_tree->expand(m_filter->mapFromSource(m_model->categoryIndex(category)));
    Place found;
    found.plugin = numberOf(currentPlugin);
    found.category = kept.category;
    found.top = numberOf(topPlugin);
    found.topCategory = kept.topCategory;
    if (found.plugin < 0 && !currentPlugin.empty())
        found.category.reset(); // the plug-in went, and with it the selection
    restore(found);
    if (const int selected = numberOf(selectedPlugin); isInUse(selected))
        selectEntry(selected);
}

} // namespace korvane::mainwindow
