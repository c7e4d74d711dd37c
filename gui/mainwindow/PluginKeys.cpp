#include "gui/mainwindow/PluginKeys.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QListView>
#include <QTreeView>
#include <utility>

namespace korvane::mainwindow {

PluginKeys::PluginKeys(QTreeView* tree, QListView* list, Commands commands, QObject* parent)
    : QObject(parent), m_tree(tree), m_list(list), m_commands(std::move(commands))
{
    m_tree->installEventFilter(this);
    m_list->installEventFilter(this);
}

bool PluginKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ContextMenu) {
        // The window system sends the context-menu key as this event; the mouse's right
        // button opens the menus where it is pressed.
        if (static_cast<QContextMenuEvent*>(event)->reason() != QContextMenuEvent::Keyboard)
            return false;
        openMenu(watched);
        return true;
    }
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier) {
        openMenu(watched);
        return true;
    }
    if (key->modifiers() & ~Qt::KeypadModifier)
        return false;
    return watched == m_tree ? treeKey(key->key()) : listKey(key->key());
}

bool PluginKeys::treeKey(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    const QModelIndex current = m_tree->currentIndex();
    if (current.isValid() && !current.parent().isValid()) // a category
        m_tree->setExpanded(current, !m_tree->isExpanded(current));
    else if (current.isValid())
        m_commands.useCurrent();
    return true;
}

bool PluginKeys::listKey(int key)
{
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Delete)
        return false;
    m_commands.unuseEntry();
    return true;
}

void PluginKeys::openMenu(QObject* control)
{
    if (control == m_tree) {
        if (const QModelIndex current = m_tree->currentIndex(); current.isValid())
            m_commands.treeMenu(m_tree->visualRect(current).center());
        return;
    }
    const QModelIndexList selected = m_list->selectionModel()->selectedRows();
    if (!selected.isEmpty())
        m_commands.listMenu(m_list->visualRect(selected.first()).center());
}

} // namespace korvane::mainwindow
