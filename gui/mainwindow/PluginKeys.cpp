#include "gui/mainwindow/PluginKeys.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QTreeWidget>
#include <utility>

namespace korvane::mainwindow {

PluginKeys::PluginKeys(QTreeWidget* tree, QListWidget* list, Commands commands, QObject* parent)
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
    QTreeWidgetItem* current = m_tree->currentItem();
    if (current && !current->parent()) // a category
        current->setExpanded(!current->isExpanded());
    else if (current)
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
        if (QTreeWidgetItem* current = m_tree->currentItem())
            m_commands.treeMenu(m_tree->visualItemRect(current).center());
        return;
    }
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    if (!selected.isEmpty())
        m_commands.listMenu(m_list->visualItemRect(selected.first()).center());
}

} // namespace korvane::mainwindow
