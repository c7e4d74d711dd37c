#pragma once

#include <map>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <string>
#include <unordered_map>
#include <unordered_set>

class QListWidgetItem;
class QTreeWidgetItem;
class QWidget;

namespace korvane::mainwindow {

// The marks of twins and of plug-ins that clash in the tree and the list: the style's warning sign
// over a marked plug-in's icon, and why it is marked as its tool tip and accessible description. A
// category that holds a marked plug-in carries a mark too, which shows while the category is
// closed. A note (a held plug-in's) joins the texts without a sign. Plug-ins are known by their
// slot numbers in the catalogue's view.
class TwinMarks
{
public:
    // The warning sign is the style's of view; icons are side by side pixels, and categoryIcon
    // is an unmarked category's.
    TwinMarks(const QWidget* view, int side, QIcon categoryIcon);

    // Gives a plug-in's item, and its list entry when it has one, icon with the mark over it
    // (icon as it is when mark is empty), and the mark's texts followed by the note's.
    void show(int slot, const QString& mark, const QString& note, const QIcon& icon,
              QTreeWidgetItem* item, QListWidgetItem* entry);
    // The slots whose plug-ins carry a mark.
    const std::unordered_set<int>& marked() const { return m_marked; }
    // Marks the categories that hold a marked plug-in, each with its text, and no other of
    // categories.
    using CategoryMarks = std::unordered_map<const QTreeWidgetItem*, QString>;
    void showCategories(CategoryMarks marked,
                        const std::map<std::string, QTreeWidgetItem*>& categories);
    // A plug-in or a category that went from the view.
    void forget(int slot) { m_marked.erase(slot); }
    void forget(const QTreeWidgetItem* category) { m_markedCategories.erase(category); }
    void clear();

private:
    // The icon with the warning sign over its lower right part, in each of its modes. Plug-ins
    // of one icon (most have the default one) share one picture of it.
    QIcon withWarning(const QIcon& icon);

    const QWidget* m_view;
    int m_side;
    QIcon m_categoryIcon;
    std::unordered_set<int> m_marked;
    CategoryMarks m_markedCategories;
    QPixmap m_warning;                               // the sign, at its size over an icon
    std::unordered_map<qint64, QIcon> m_withWarning; // by the icon's QIcon::cacheKey()
};

} // namespace korvane::mainwindow
