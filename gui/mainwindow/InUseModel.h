#pragma once

#include <QAbstractListModel>
#include <vector>

namespace korvane::mainwindow {

class CatalogueModel;

// The plug-ins in use, in alphabetical order of their names, as rows of the catalogue's
// plug-ins: a row carries its plug-in's number plus 1 in CatalogueModel::PluginRole, as the
// plug-in's row in the catalogue does, and shows its icon and description.
class InUseModel : public QAbstractListModel
{
    Q_OBJECT

public:
    // The catalogue outlives this model.
    explicit InUseModel(const CatalogueModel& catalogue, QObject* parent = nullptr);

    // Lists these plug-ins and no others.
    void reset(std::vector<int> numbers);
    // Lists a plug-in at the place of its name, or takes it out.
    void add(int number);
    void remove(int number);
    // Moves a plug-in to the place of its new name.
    void refile(int number);
    // Tells the view that a plug-in's icon or description changed.
    void changed(int number);

    // The row of a plug-in, or -1 when it is not listed.
    int rowOf(int number) const;
    int numberAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    size_t placeFor(int number) const;
    bool less(int a, int b) const;

    const CatalogueModel& m_catalogue;
    std::vector<int> m_numbers; // in the order shown
};

} // namespace korvane::mainwindow
