#pragma once

#include "core/catalogue/CPluginInfo.h"

#include <cstdint>
#include <map>
#include <memory>
#include <QAbstractItemModel>
#include <QIcon>
#include <QString>
#include <string>
#include <vector>

namespace korvane::mainwindow {

// The catalogue in two levels: its categories in alphabetical order, and under each the plug-ins
// of that category in alphabetical order of their texts. Each plug-in has a number of its own,
// which it keeps while others come and go; its row carries that number plus 1 in PluginRole, and
// a category's row carries 0.
class CatalogueModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    enum Role
    {
        PluginRole = Qt::UserRole, // the plug-in's number plus 1; 0 for a category
        InUseRole,                 // whether the plug-in is in use
        TwinRole,                  // whether it is a twin, which only the player's copy puts in use
        HeldRole,                  // whether it is held at its version
    };

    struct Plugin
    {
        std::unique_ptr<CPluginInfo> record; // null once the plug-in is gone
        std::string identity;                // what a later scan finds it by
        std::uint64_t fields = 0;            // what a later scan compares it by
        bool twin = false;
        bool held = false;
        bool inUse = false;
        QString text;        // as the tree shows it
        QString name;        // as the list of plug-ins in use shows it
        QIcon ownIcon;       // its own, without a mark
        QIcon icon;          // as shown, with its mark
        QString mark;        // why it is marked; empty when it is not
        unsigned marks = 0;  // what mark tells of (MarkedScan::Kind)
        QString description; // the mark, and a held plug-in's note
    };

    explicit CatalogueModel(QIcon categoryIcon, QObject* parent = nullptr);
    ~CatalogueModel() override;

    // Shows these plug-ins, numbered in their order, and no others.
    void reset(std::vector<Plugin> plugins);
    // A new plug-in, given the next number, filed under its record's category.
    int add(Plugin plugin);
    // Takes a plug-in out; its category stays, also when left empty.
    void remove(int number);
    // Files a plug-in again under its record's category at the place of its text, after either
    // changed: its row goes, and comes again at its new place.
    void refile(int number);
    // Tells the views that a plug-in's icon, description or state changed.
    void changed(int number);
    // The categories left without plug-ins go; returns their names.
    std::vector<std::string> dropEmptyCategories();
    // Gives each category its description (empty for none) and with it the marked icon or the
    // plain one.
    void markCategories(const std::map<std::string, QString>& descriptions, const QIcon& marked);

    // The plug-in of a number, or null when none has it or it is gone.
    const Plugin* plugin(int number) const;
    Plugin& at(int number) { return m_plugins[static_cast<size_t>(number)]; }
    const Plugin& at(int number) const { return m_plugins[static_cast<size_t>(number)]; }
    int size() const { return static_cast<int>(m_plugins.size()); }
    int liveCount() const { return m_liveCount; }
    // The number of the plug-in a row of this model or of a proxy of it stands for, or -1.
    static int NumberOf(const QModelIndex& index);
    // The number of the plug-in at a row of a category's, for a proxy of this model.
    int numberAt(const QModelIndex& category, int row) const;
    QModelIndex indexOf(int number) const;
    QModelIndex categoryIndex(const std::string& name) const;
    std::string categoryName(const QModelIndex& category) const;
    // The category a plug-in is filed under.
    std::string categoryOf(int number) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Category
    {
        std::string name; // exact, as the records spell it
        QString text;
        int row = 0;
        std::vector<int> plugins; // in the order shown
        QIcon icon;
        QString description;
    };

    Category* categoryFor(const std::string& name);
    void renumberCategories(size_t from);
    // Where a plug-in of that text goes among a category's, after any of equal text.
    size_t placeFor(const Category& category, const QString& text) const;
    int rowOf(const Category& category, int number) const;
    QModelIndex indexOf(const Category& category) const;
    const Category* categoryOf(const QModelIndex& index) const;

    QIcon m_categoryIcon;
    std::vector<Plugin> m_plugins;
    std::vector<Category*> m_filedUnder; // of each plug-in
    int m_liveCount = 0;
    std::vector<std::unique_ptr<Category>> m_categories; // in the order shown
    std::map<std::string, Category*> m_categoryOf;       // by exact name
};

} // namespace korvane::mainwindow
