#pragma once

#include <functional>
#include <QObject>
#include <QPoint>

class QListView;
class QTreeView;

namespace korvane::mainwindow {

// The keys of the tree and the list of plug-ins in use, as the window's commands: Enter on the
// tree's current item and Enter or Delete on the list's selected entry, and the context-menu key
// or Shift+F10 on either, which open the right-click menu of the current item as the mouse would.
// Enter on a category opens or closes it.
class PluginKeys : public QObject
{
public:
    struct Commands
    {
        std::function<void()> useCurrent; // Enter on a plug-in of the tree
        std::function<void()> unuseEntry; // Enter or Delete on the list
        std::function<void(const QPoint& viewportPos)> treeMenu;
        std::function<void(const QPoint& viewportPos)> listMenu;
    };

    // The window keeps the controls, which outlive this object (one of its children).
    PluginKeys(QTreeView* tree, QListView* list, Commands commands, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool treeKey(int key);
    bool listKey(int key);
    // Opens the right-click menu of the control's current item, where that item is shown.
    void openMenu(QObject* control);

    QTreeView* m_tree;
    QListView* m_list;
    Commands m_commands;
};

} // namespace korvane::mainwindow
