#include "gui/CatalogueView.h"

#include "core/catalogue/TextEncoding.h"
#include "core/platform/KPath.h"
#include "res/Icons.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <QDir>
#include <QImageReader>
#include <QListWidget>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>
#include <set>
#include <unordered_map>

namespace korvane {

namespace {

constexpr int kIdentityRole = Qt::UserRole;
constexpr int kSmallIcon = CatalogueView::kIconSize;

// Names are listed alphabetically without regard to case, as players expect from any file list.
bool LessNoCase(const QString& a, const QString& b)
{
    const int order = QString::compare(a, b, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a < b;
}

class CTreeItem : public QTreeWidgetItem
{
public:
    using QTreeWidgetItem::QTreeWidgetItem;
    bool operator<(const QTreeWidgetItem& other) const override
    {
        return LessNoCase(text(0), other.text(0));
    }
};

class CListEntry : public QListWidgetItem
{
public:
    using QListWidgetItem::QListWidgetItem;
    bool operator<(const QListWidgetItem& other) const override
    {
        return LessNoCase(text(), other.text());
    }
};

// Plug-in keys, compared as the folders compare file names.
struct KeyLess
{
    bool operator()(std::string_view a, std::string_view b) const
    {
        return kpath::CompareNoCase(a, b) < 0;
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

// The small picture of an icon file: the image nearest the small icon size, scaled to it.
QImage SmallImageOf(const QString& iconFile)
{
    constexpr int kMostImages = 64; // an icon file of any sense holds far fewer
    QImageReader reader(iconFile);
    QImage best;
    for (int index = 0; index < kMostImages; ++index) {
        QImage image;
        if (!reader.read(&image) || image.isNull())
            break;
        if (best.isNull() ||
            std::abs(image.width() - kSmallIcon) < std::abs(best.width() - kSmallIcon))
            best = std::move(image);
        if (!reader.jumpToNextImage())
            break;
    }
    if (best.isNull() || best.size() == QSize(kSmallIcon, kSmallIcon))
        return best;
    return best.scaled(kSmallIcon, kSmallIcon, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// The icon with the style's warning sign over its lower right part.
QIcon WithWarning(const QIcon& icon, const QIcon& warning)
{
    constexpr int kSign = kSmallIcon * 5 / 8;
    QPixmap picture(kSmallIcon, kSmallIcon);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        painter.drawPixmap(0, 0, icon.pixmap(kSmallIcon));
        painter.drawPixmap(kSmallIcon - kSign, kSmallIcon - kSign, warning.pixmap(kSign));
    }
    QIcon marked;
    marked.addPixmap(picture, QIcon::Normal);
    marked.addPixmap(picture, QIcon::Selected);
    return marked;
}

} // namespace

CatalogueView::CatalogueView(QTreeWidget* tree, QListWidget* list)
    : m_tree(tree), m_list(list), m_categoryIcon(icons::Category()),
      m_defaultPluginIcon(icons::DefaultPlugin())
{
    m_list->setIconSize(QSize(kIconSize, kIconSize));
}

QString CatalogueView::display(std::string_view bytes)
{
    return QString::fromStdString(textencoding::ToUtf8(bytes));
}

void CatalogueView::show(CPluginList catalogue, const CPluginList& inUse)
{
    clear();
    m_catalogue = std::move(catalogue);
    fillTree();
    markSameKeys();
    fillList(inUse);
    m_shownCount = m_catalogue.GetSize();
    if (!m_filterText.isEmpty())
        applyFilter();
    else // once the window is on the screen, before the user can type
        QTimer::singleShot(0, m_tree, [this] { prepareFilter(); });
}

void CatalogueView::prepareFilter()
{
    // Made after the tree is on the screen, or when the filter is used first, so that the
    // window does not wait for it.
    if (m_filter.size() == m_catalogue.GetSize())
        return;
    m_filter.clear();
    for (int index = 0; index < m_catalogue.GetSize(); ++index)
        m_filter.add(filterTexts(index));
}

CatalogueView::~CatalogueView()
{
    deleteItemsOutOfTree();
}

void CatalogueView::deleteItemsOutOfTree()
{
    for (QTreeWidgetItem* item : m_items) {
        if (!item->treeWidget())
            delete item;
    }
}

void CatalogueView::clear()
{
    deleteItemsOutOfTree();
    m_pluginsOf.clear();
    m_list->clear();
    m_tree->clear();
    m_categoryItems.clear();
    m_items.clear();
    m_entries.clear();
    m_catalogue.DeleteAll();
    m_filter.clear();
    m_openBeforeFilter.clear();
    m_shownCount = 0;
}

int CatalogueView::inUseCount() const
{
    return m_list->count();
}

PluginFilter::Texts CatalogueView::filterTexts(int index) const
{
    const CPluginInfo& plugin = *m_catalogue.GetAt(index);
    return {display(plugin.m_strName), display(plugin.m_strFileName), display(plugin.m_strAuthor),
            display(plugin.m_strCategory), display(plugin.m_strDescription)};
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

void CatalogueView::applyFilter()
{
    prepareFilter();
    m_shownCount = m_filter.match(m_filterText);
    const bool filtering = !m_filterText.isEmpty();
    QTreeWidgetItem* const current = m_tree->currentItem();
    {
        // While a category's items move out and in, the tree's current item would pass to a
        // neighbour the user did not choose.
        const QSignalBlocker quiet(m_tree);
        m_tree->setUpdatesEnabled(false);
        for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
            filterCategory(m_tree->topLevelItem(i), filtering);
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
    for (const int index : m_pluginsOf[category]) {
        if (m_filter.matches(index))
            m_inView.append(m_items[static_cast<size_t>(index)]);
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

void CatalogueView::markSameKeys()
{
    // The scan keeps the first script of each key; the plug-in it shows is marked with the
    // others' files, which the window cannot show.
    const auto& passedOver = m_catalogue.PassedOver();
    if (passedOver.empty())
        return;
    std::unordered_map<const CPluginInfo*, int> indexOfRecord;
    for (int index = 0; index < m_catalogue.GetSize(); ++index)
        indexOfRecord.emplace(m_catalogue.GetAt(index), index);
    std::map<int, QStringList> othersOf;
    for (const auto& script : passedOver) {
        if (const CPluginInfo* shown = m_catalogue.Find(script.key))
            othersOf[indexOfRecord.at(shown)] << QDir::toNativeSeparators(
                display(script.subdirectory).replace(u'\\', u'/') + display(script.fileName));
    }
    const QIcon warning = m_tree->style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (const auto& [index, others] : othersOf) {
        const char* text = others.size() == 1 ? strings::kSameKeyOne : strings::kSameKeyMany;
        QTreeWidgetItem* item = m_items[static_cast<size_t>(index)];
        item->setIcon(0, WithWarning(item->icon(0), warning));
        // As plain text: a tool tip that looks like rich text is read as such.
        item->setToolTip(
            0, Qt::convertFromPlainText(strings::Text(text).arg(others.join(QStringLiteral(", "))),
                                        Qt::WhiteSpaceNormal));
    }
}

void CatalogueView::fillTree()
{
    // Built away from the control and sorted once: item by item sorted inserts into a shown
    // tree take quadratic time on a large catalogue.
    const int count = m_catalogue.GetSize();
    m_items.reserve(static_cast<size_t>(count));
    std::vector<std::unique_ptr<QTreeWidgetItem>> categories;
    for (int index = 0; index < count; ++index) {
        const CPluginInfo& plugin = *m_catalogue.GetAt(index);
        auto [found, isNew] = m_categoryItems.try_emplace(plugin.m_strCategory, nullptr);
        if (isNew) {
            auto category = std::make_unique<CTreeItem>(QStringList{display(plugin.m_strCategory)});
            category->setIcon(0, m_categoryIcon);
            category->setData(0, kIdentityRole, 0);
            found->second = category.get();
            categories.push_back(std::move(category));
        }
        auto* item = new CTreeItem(found->second, QStringList{display(plugin.m_strName)});
        item->setIcon(0, pluginIcon(plugin));
        item->setData(0, kIdentityRole, index + 1);
        m_items.push_back(item);
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
            plugins.push_back(indexOf(category->child(i)));
    }
}

void CatalogueView::fillList(const CPluginList& inUse)
{
    std::set<std::string_view, KeyLess> keys;
    for (const auto& used : inUse.m_arrPlugins)
        keys.insert(used->m_strFileName);
    m_entries.assign(m_items.size(), nullptr);
    // Appended unsorted and sorted once, for the same reason as the tree.
    m_list->setSortingEnabled(false);
    for (int index = 0; index < m_catalogue.GetSize(); ++index) {
        if (keys.contains(m_catalogue.GetAt(index)->m_strFileName))
            m_list->addItem(newEntry(index));
    }
    m_list->sortItems(Qt::AscendingOrder);
    m_list->setSortingEnabled(true);
}

QListWidgetItem* CatalogueView::newEntry(int index)
{
    auto entry = std::make_unique<CListEntry>(display(m_catalogue.GetAt(index)->m_strName));
    entry->setData(kIdentityRole, index);
    const QTreeWidgetItem* item = m_items.at(static_cast<size_t>(index));
    entry->setIcon(item->icon(0));
    entry->setToolTip(item->toolTip(0));
    m_entries.at(static_cast<size_t>(index)) = entry.get();
    return entry.release();
}

QIcon CatalogueView::pluginIcon(const CPluginInfo& plugin) const
{
    if (plugin.m_strIconPath.empty())
        return m_defaultPluginIcon;
    const QImage image = SmallImageOf(
        QString::fromStdString(kpath::FromNative(kpath::ResolveNoCase(plugin.m_strIconPath))));
    if (image.isNull())
        return m_defaultPluginIcon;
    const QPixmap picture = QPixmap::fromImage(image);
    QIcon icon;
    icon.addPixmap(picture, QIcon::Normal);
    icon.addPixmap(picture, QIcon::Selected);
    return icon;
}

int CatalogueView::indexOf(const QTreeWidgetItem* item) const
{
    const int index = item ? item->data(0, kIdentityRole).toInt() - 1 : -1;
    return index >= 0 && index < m_catalogue.GetSize() ? index : -1;
}

int CatalogueView::indexOf(const QListWidgetItem* entry) const
{
    const int index = entry ? entry->data(kIdentityRole).toInt() : -1;
    return index >= 0 && index < m_catalogue.GetSize() ? index : -1;
}

CPluginInfo* CatalogueView::pluginOf(const QTreeWidgetItem* item) const
{
    const int index = indexOf(item);
    return index < 0 ? nullptr : m_catalogue.GetAt(index);
}

QTreeWidgetItem* CatalogueView::treeItemOf(const QListWidgetItem* entry) const
{
    const int index = indexOf(entry);
    return index < 0 ? nullptr : m_items[static_cast<size_t>(index)];
}

QListWidgetItem* CatalogueView::entryOf(const QTreeWidgetItem* item) const
{
    const int index = indexOf(item);
    return index < 0 ? nullptr : m_entries[static_cast<size_t>(index)];
}

QListWidgetItem* CatalogueView::addEntry(const QTreeWidgetItem* item)
{
    const int index = indexOf(item);
    if (index < 0)
        return nullptr;
    if (QListWidgetItem* entry = m_entries[static_cast<size_t>(index)])
        return entry; // one entry per plug-in
    // An entry sorted in above the selected one moves the selection down a row, which must not
    // reach the window as if the user had chosen it.
    const QSignalBlocker quiet(m_list);
    QListWidgetItem* entry = newEntry(index);
    m_list->addItem(entry);
    return entry;
}

bool CatalogueView::removeEntry(QListWidgetItem* entry)
{
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    QListWidgetItem* const kept =
        selected.isEmpty() || selected.first() == entry ? nullptr : selected.first();
    if (const int index = indexOf(entry); index >= 0)
        m_entries[static_cast<size_t>(index)] = nullptr;
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
    const CPluginInfo* plugin = pluginOf(item);
    if (!plugin)
        return;
    const QString name = display(plugin->m_strName);
    item->setText(0, name);
    if (QListWidgetItem* entry = entryOf(item))
        entry->setText(name);
    if (m_filterText.isEmpty()) {
        m_filter.clear(); // made again, with the new texts, when the filter is next used
        return;
    }
    m_filter.replace(indexOf(item), filterTexts(indexOf(item)));
    applyFilter();
}

QTreeWidgetItem* CatalogueView::categoryItem(const std::string& category)
{
    auto [found, isNew] = m_categoryItems.try_emplace(category, nullptr);
    if (!isNew)
        return found->second;
    auto item = std::make_unique<CTreeItem>(QStringList{display(category)});
    item->setIcon(0, m_categoryIcon);
    item->setData(0, kIdentityRole, 0);
    found->second = item.get();
    InsertSorted(m_tree, nullptr, item.release());
    return found->second;
}

void CatalogueView::moveToCategory(QTreeWidgetItem* item, const std::string& category)
{
    QTreeWidgetItem* oldParent = item ? item->parent() : nullptr;
    if (!oldParent || !pluginOf(item))
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
    const int index = indexOf(item);
    auto& before = m_pluginsOf[oldParent];
    before.erase(std::find(before.begin(), before.end(), index));
    auto& after = m_pluginsOf[newParent];
    after.insert(std::upper_bound(after.begin(), after.end(), index,
                                  [this](int a, int b) {
                                      return LessNoCase(m_items[static_cast<size_t>(a)]->text(0),
                                                        m_items[static_cast<size_t>(b)]->text(0));
                                  }),
                 index);
    if (!m_filterText.isEmpty())
        applyFilter();
    if (wasCurrent) {
        m_tree->setCurrentItem(item);
        m_tree->scrollToItem(item);
    }
}

} // namespace korvane
