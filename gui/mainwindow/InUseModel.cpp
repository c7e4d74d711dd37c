#include "gui/mainwindow/InUseModel.h"

#include "gui/mainwindow/AlphabeticalOrder.h"
#include "gui/mainwindow/CatalogueModel.h"

#include <algorithm>

namespace korvane::mainwindow {

InUseModel::InUseModel(const CatalogueModel& catalogue, QObject* parent)
    : QAbstractListModel(parent), m_catalogue(catalogue)
{}

bool InUseModel::less(int a, int b) const
{
    return LessNoCase(m_catalogue.plugin(a)->name, m_catalogue.plugin(b)->name);
}

void InUseModel::reset(std::vector<int> numbers)
{
    beginResetModel();
    m_numbers = std::move(numbers);
    std::stable_sort(m_numbers.begin(), m_numbers.end(),
                     [this](int a, int b) { return less(a, b); });
    endResetModel();
}

size_t InUseModel::placeFor(int number) const
{
    const auto place = std::upper_bound(m_numbers.begin(), m_numbers.end(), number,
                                        [this](int a, int b) { return less(a, b); });
    return static_cast<size_t>(place - m_numbers.begin());
}

void InUseModel::add(int number)
{
    if (rowOf(number) >= 0)
        return;
    const size_t place = placeFor(number);
    beginInsertRows({}, static_cast<int>(place), static_cast<int>(place));
    m_numbers.insert(m_numbers.begin() + static_cast<std::ptrdiff_t>(place), number);
    endInsertRows();
}

void InUseModel::remove(int number)
{
    const int row = rowOf(number);
    if (row < 0)
        return;
    beginRemoveRows({}, row, row);
    m_numbers.erase(m_numbers.begin() + row);
    endRemoveRows();
}

void InUseModel::refile(int number)
{
    const int row = rowOf(number);
    if (row < 0)
        return;
    m_numbers.erase(m_numbers.begin() + row);
    const int place = static_cast<int>(placeFor(number));
    m_numbers.insert(m_numbers.begin() + row, number);
    if (place == row) {
        changed(number);
        return;
    }
    // Rows are counted as they stand before the move.
    beginMoveRows({}, row, row, {}, place > row ? place + 1 : place);
    m_numbers.erase(m_numbers.begin() + row);
    m_numbers.insert(m_numbers.begin() + place, number);
    endMoveRows();
    changed(number);
}

void InUseModel::changed(int number)
{
    if (const int row = rowOf(number); row >= 0)
        emit dataChanged(index(row), index(row));
}

int InUseModel::rowOf(int number) const
{
    const CatalogueModel::Plugin* plugin = m_catalogue.plugin(number);
    if (!plugin)
        return -1;
    const auto first = std::lower_bound(
        m_numbers.begin(), m_numbers.end(), plugin->name, [this](int other, const QString& name) {
            return LessNoCase(m_catalogue.plugin(other)->name, name);
        });
    auto found = std::find(first, m_numbers.end(), number);
    if (found == m_numbers.end()) // its name changed since it was filed
        found = std::find(m_numbers.begin(), m_numbers.end(), number);
    return found == m_numbers.end() ? -1 : static_cast<int>(found - m_numbers.begin());
}

int InUseModel::numberAt(int row) const
{
    return row >= 0 && row < static_cast<int>(m_numbers.size())
               ? m_numbers[static_cast<size_t>(row)]
               : -1;
}

int InUseModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_numbers.size());
}

QVariant InUseModel::data(const QModelIndex& index, int role) const
{
    const CatalogueModel::Plugin* plugin = m_catalogue.plugin(numberAt(index.row()));
    if (!index.isValid() || !plugin)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return plugin->name;
    case CatalogueModel::PluginRole:
        return numberAt(index.row()) + 1;
    case CatalogueModel::InUseRole:
        return true;
    default: // the icon, the tip and the description as the catalogue shows them
        return m_catalogue.data(m_catalogue.indexOf(numberAt(index.row())), role);
    }
}

} // namespace korvane::mainwindow
