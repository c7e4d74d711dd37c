#pragma once

#include "gui/mainwindow/PluginFilter.h"

#include <QSortFilterProxyModel>
#include <QString>

namespace korvane::mainwindow {

class CatalogueModel;

// The catalogue as the filter leaves it: the plug-ins whose texts contain the filter's text, and
// the categories that hold one of them. The order stays the catalogue's.
class CatalogueFilter : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    // The catalogue outlives this proxy.
    explicit CatalogueFilter(const CatalogueModel& catalogue, QObject* parent = nullptr);

    // The texts of the catalogue's plug-ins by number, which the filter searches.
    PluginFilter& texts() { return m_texts; }
    const QString& text() const { return m_text; }
    bool filtering() const { return !m_text.isEmpty(); }
    // Searches the texts for text (every plug-in for an empty text) and shows what it finds;
    // also when the text is the same, after plug-ins changed. Returns how many it found.
    int search(const QString& text);
    // Whether the last search found the plug-in of that number.
    bool finds(int number) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    const CatalogueModel& m_catalogue;
    PluginFilter m_texts;
    QString m_text;
};

} // namespace korvane::mainwindow
