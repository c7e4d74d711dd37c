#include "gui/mainwindow/CatalogueFilter.h"

#include "gui/mainwindow/CatalogueModel.h"

namespace korvane::mainwindow {

CatalogueFilter::CatalogueFilter(const CatalogueModel& catalogue, QObject* parent)
    : QSortFilterProxyModel(parent), m_catalogue(catalogue)
{
    // The rows keep the catalogue's order; a change to a plug-in's row is filtered when the
    // window searches again.
    setDynamicSortFilter(false);
}

int CatalogueFilter::search(const QString& text)
{
    m_text = text;
    const int found = filtering() ? m_texts.match(text) : m_catalogue.liveCount();
    // As a change of layout, so that the views keep the rows that stay in view (the current
    // one, the open categories) and drop the others.
    invalidate();
    return found;
}

bool CatalogueFilter::finds(int number) const
{
    return !filtering() || (number >= 0 && number < m_texts.size() && m_texts.matches(number));
}

bool CatalogueFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    if (!filtering())
        return true;
    if (sourceParent.isValid())
        return finds(m_catalogue.numberAt(sourceParent, sourceRow));
    const QModelIndex category = m_catalogue.index(sourceRow, 0);
    const int plugins = m_catalogue.rowCount(category);
    for (int row = 0; row < plugins; ++row) {
        if (finds(m_catalogue.numberAt(category, row)))
            return true;
    }
    return false;
}

} // namespace korvane::mainwindow
