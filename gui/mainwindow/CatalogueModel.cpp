#include "gui/mainwindow/CatalogueModel.h"

#include "gui/mainwindow/AlphabeticalOrder.h"
#include "gui/widgets/ShownText.h"

#include <algorithm>
#include <QTextDocument>

namespace korvane::mainwindow {

using widgets::ShownText;

namespace {

// As plain text: a tool tip that looks like rich text is read as such.
QString PlainToolTip(const QString& text)
{
    return text.isEmpty() ? text : Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

} // namespace

CatalogueModel::CatalogueModel(QIcon categoryIcon, QObject* parent)
    : QAbstractItemModel(parent), m_categoryIcon(std::move(categoryIcon))
{}

CatalogueModel::~CatalogueModel() = default;

void CatalogueModel::reset(std::vector<Plugin> plugins)
{
    beginResetModel();
    m_plugins = std::move(plugins);
    m_filedUnder.assign(m_plugins.size(), nullptr);
    m_categories.clear();
    m_categoryOf.clear();
    m_liveCount = 0;
    for (size_t number = 0; number < m_plugins.size(); ++number) {
        const Plugin& plugin = m_plugins[number];
        if (!plugin.record)
            continue;
        ++m_liveCount;
        auto [found, isNew] = m_categoryOf.try_emplace(plugin.record->m_strCategory, nullptr);
        if (isNew) {
            auto category = std::make_unique<Category>();
            category->name = plugin.record->m_strCategory;
            category->text = ShownText(category->name);
            category->icon = m_categoryIcon;
            found->second = category.get();
            m_categories.push_back(std::move(category));
        }
        found->second->plugins.push_back(static_cast<int>(number));
        m_filedUnder[number] = found->second;
    }
    // Sorted once, keeping the scan's order among equal texts.
    std::stable_sort(m_categories.begin(), m_categories.end(),
                     [](const auto& a, const auto& b) { return LessNoCase(a->text, b->text); });
    renumberCategories(0);
    for (const auto& category : m_categories) {
        std::stable_sort(category->plugins.begin(), category->plugins.end(),
                         [this](int a, int b) { return LessNoCase(at(a).text, at(b).text); });
    }
    endResetModel();
}

int CatalogueModel::add(Plugin plugin)
{
    const int number = size();
    Category* category = categoryFor(plugin.record->m_strCategory);
    const size_t place = placeFor(*category, plugin.text);
    m_plugins.push_back(std::move(plugin));
    m_filedUnder.push_back(category);
    ++m_liveCount;
    const int row = static_cast<int>(place);
    beginInsertRows(indexOf(*category), row, row);
    category->plugins.insert(category->plugins.begin() + static_cast<std::ptrdiff_t>(place),
                             number);
    endInsertRows();
    return number;
}

void CatalogueModel::remove(int number)
{
    if (!plugin(number))
        return;
    Category* category = m_filedUnder[static_cast<size_t>(number)];
    const int row = rowOf(*category, number);
    beginRemoveRows(indexOf(*category), row, row);
    category->plugins.erase(category->plugins.begin() + row);
    endRemoveRows();
    m_plugins[static_cast<size_t>(number)] = Plugin();
    m_filedUnder[static_cast<size_t>(number)] = nullptr;
    --m_liveCount;
}

void CatalogueModel::refile(int number)
{
    if (!plugin(number))
        return;
    Category* from = m_filedUnder[static_cast<size_t>(number)];
    std::vector<int>& plugins = from->plugins;
    const int row = rowOf(*from, number);
    if (from->name == at(number).record->m_strCategory) {
        // Where it goes among the others, with itself taken out.
        plugins.erase(plugins.begin() + row);
        const size_t place = placeFor(*from, at(number).text);
        plugins.insert(plugins.begin() + row, number);
        if (place == static_cast<size_t>(row)) {
            changed(number);
            return;
        }
    }
    // Out and in again rather than moved: a proxy that filters this model drops what it knows
    // of a moved row's parents at once, while its views still hold rows of them.
    beginRemoveRows(indexOf(*from), row, row);
    plugins.erase(plugins.begin() + row);
    endRemoveRows();
    Category* to = categoryFor(at(number).record->m_strCategory);
    const size_t place = placeFor(*to, at(number).text);
    beginInsertRows(indexOf(*to), static_cast<int>(place), static_cast<int>(place));
    to->plugins.insert(to->plugins.begin() + static_cast<std::ptrdiff_t>(place), number);
    m_filedUnder[static_cast<size_t>(number)] = to;
    endInsertRows();
}

void CatalogueModel::changed(int number)
{
    if (const QModelIndex index = indexOf(number); index.isValid())
        emit dataChanged(index, index);
}

std::vector<std::string> CatalogueModel::dropEmptyCategories()
{
    std::vector<std::string> dropped;
    for (size_t row = m_categories.size(); row-- > 0;) {
        Category& category = *m_categories[row];
        if (!category.plugins.empty())
            continue;
        dropped.push_back(category.name);
        beginRemoveRows({}, static_cast<int>(row), static_cast<int>(row));
        m_categoryOf.erase(category.name);
        m_categories.erase(m_categories.begin() + static_cast<std::ptrdiff_t>(row));
        renumberCategories(row);
        endRemoveRows();
    }
    return dropped;
}

void CatalogueModel::markCategories(const std::map<std::string, QString>& descriptions,
                                    const QIcon& marked)
{
    for (const auto& category : m_categories) {
        const auto found = descriptions.find(category->name);
        const QString description = found == descriptions.end() ? QString() : found->second;
        if (description == category->description)
            continue;
        category->description = description;
        category->icon = description.isEmpty() ? m_categoryIcon : marked;
        const QModelIndex index = indexOf(*category);
        emit dataChanged(index, index);
    }
}

const CatalogueModel::Plugin* CatalogueModel::plugin(int number) const
{
    if (number < 0 || number >= size())
        return nullptr;
    const Plugin& found = m_plugins[static_cast<size_t>(number)];
    return found.record ? &found : nullptr;
}

int CatalogueModel::NumberOf(const QModelIndex& index)
{
    return index.isValid() ? index.data(PluginRole).toInt() - 1 : -1;
}

int CatalogueModel::numberAt(const QModelIndex& category, int row) const
{
    const Category* found = categoryOf(category);
    if (!found || row < 0 || row >= static_cast<int>(found->plugins.size()))
        return -1;
    return found->plugins[static_cast<size_t>(row)];
}

QModelIndex CatalogueModel::indexOf(int number) const
{
    if (!plugin(number))
        return {};
    const Category& category = *m_filedUnder[static_cast<size_t>(number)];
    return createIndex(rowOf(category, number), 0, const_cast<Category*>(&category));
}

QModelIndex CatalogueModel::indexOf(const Category& category) const
{
    return createIndex(category.row, 0, nullptr);
}

QModelIndex CatalogueModel::categoryIndex(const std::string& name) const
{
    const auto found = m_categoryOf.find(name);
    return found == m_categoryOf.end() ? QModelIndex() : indexOf(*found->second);
}

std::string CatalogueModel::categoryName(const QModelIndex& category) const
{
    const Category* found = categoryOf(category);
    return found ? found->name : std::string();
}

std::string CatalogueModel::categoryOf(int number) const
{
    return plugin(number) ? m_filedUnder[static_cast<size_t>(number)]->name : std::string();
}

const CatalogueModel::Category* CatalogueModel::categoryOf(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this || index.internalPointer() ||
        index.row() >= static_cast<int>(m_categories.size()))
        return nullptr;
    return m_categories[static_cast<size_t>(index.row())].get();
}

CatalogueModel::Category* CatalogueModel::categoryFor(const std::string& name)
{
    if (const auto found = m_categoryOf.find(name); found != m_categoryOf.end())
        return found->second;
    auto category = std::make_unique<Category>();
    category->name = name;
    category->text = ShownText(name);
    category->icon = m_categoryIcon;
    const auto place = std::upper_bound(
        m_categories.begin(), m_categories.end(), category->text,
        [](const QString& text, const auto& other) { return LessNoCase(text, other->text); });
    const int row = static_cast<int>(place - m_categories.begin());
    Category* added = category.get();
    beginInsertRows({}, row, row);
    m_categories.insert(place, std::move(category));
    m_categoryOf.emplace(name, added);
    renumberCategories(static_cast<size_t>(row));
    endInsertRows();
    return added;
}

void CatalogueModel::renumberCategories(size_t from)
{
    for (size_t row = from; row < m_categories.size(); ++row)
        m_categories[row]->row = static_cast<int>(row);
}

size_t CatalogueModel::placeFor(const Category& category, const QString& text) const
{
    const auto place = std::upper_bound(
        category.plugins.begin(), category.plugins.end(), text,
        [this](const QString& wanted, int number) { return LessNoCase(wanted, at(number).text); });
    return static_cast<size_t>(place - category.plugins.begin());
}

int CatalogueModel::rowOf(const Category& category, int number) const
{
    // Found by its text among plug-ins of the same text.
    const QString& text = m_plugins[static_cast<size_t>(number)].text;
    auto first = std::lower_bound(
        category.plugins.begin(), category.plugins.end(), text,
        [this](int other, const QString& wanted) { return LessNoCase(at(other).text, wanted); });
    auto found = std::find(first, category.plugins.end(), number);
    if (found == category.plugins.end()) // its text changed since it was filed
        found = std::find(category.plugins.begin(), category.plugins.end(), number);
    return static_cast<int>(found - category.plugins.begin());
}

QModelIndex CatalogueModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid())
        return row < static_cast<int>(m_categories.size()) ? createIndex(row, 0, nullptr)
                                                           : QModelIndex();
    const Category* category = categoryOf(parent);
    if (!category || row >= static_cast<int>(category->plugins.size()))
        return {};
    return createIndex(row, 0, const_cast<Category*>(category));
}

QModelIndex CatalogueModel::parent(const QModelIndex& child) const
{
    if (!child.isValid() || !child.internalPointer())
        return {};
    return indexOf(*static_cast<const Category*>(child.internalPointer()));
}

int CatalogueModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return static_cast<int>(m_categories.size());
    const Category* category = categoryOf(parent);
    return category ? static_cast<int>(category->plugins.size()) : 0;
}

int CatalogueModel::columnCount(const QModelIndex&) const
{
    return 1;
}

Qt::ItemFlags CatalogueModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QVariant CatalogueModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (const Category* category = categoryOf(index)) {
        switch (role) {
        case Qt::DisplayRole:
            return category->text;
        case Qt::DecorationRole:
            return category->icon;
        case Qt::ToolTipRole:
            return PlainToolTip(category->description);
        case Qt::AccessibleDescriptionRole:
            return category->description;
        case PluginRole:
            return 0;
        default:
            return {};
        }
    }
    const auto* category = static_cast<const Category*>(index.internalPointer());
    if (index.row() >= static_cast<int>(category->plugins.size()))
        return {};
    const int number = category->plugins[static_cast<size_t>(index.row())];
    const Plugin& plugin = m_plugins[static_cast<size_t>(number)];
    switch (role) {
    case Qt::DisplayRole:
        return plugin.text;
    case Qt::DecorationRole:
        return plugin.icon;
    case Qt::ToolTipRole:
        return PlainToolTip(plugin.description);
    case Qt::AccessibleDescriptionRole:
        return plugin.description;
    case PluginRole:
        return number + 1;
    case InUseRole:
        return plugin.inUse;
    case TwinRole:
        return plugin.twin;
    case HeldRole:
        return plugin.held;
    default:
        return {};
    }
}

} // namespace korvane::mainwindow
