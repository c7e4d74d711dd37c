#include "gui/mainwindow/PluginDragDrop.h"

#include "gui/mainwindow/CatalogueView.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QListView>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QTreeView>

namespace korvane::mainwindow {

namespace {

constexpr QLatin1StringView kMimeType("application/x-korvane-manager-plugin");

// The fields of a drag, one a line: process, origin, subdirectory, key.
QByteArray Payload(qint64 process, PluginDragDrop::Origin origin, const std::string& subdirectory,
                   const std::string& key)
{
    return QByteArray::number(process) + '\n' +
           (origin == PluginDragDrop::Origin::Tree ? "tree" : "list") + '\n' +
           QByteArray::fromStdString(subdirectory) + '\n' + QByteArray::fromStdString(key);
}

} // namespace

PluginDragDrop::PluginDragDrop(QTreeView* tree, QListView* list, const CatalogueView& catalogue,
                               DropHandler droppedOnList, DropHandler droppedOnTree,
                               QObject* parent)
    : QObject(parent), m_tree(tree), m_list(list), m_catalogue(catalogue),
      m_droppedOnList(std::move(droppedOnList)), m_droppedOnTree(std::move(droppedOnTree))
{
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(tree), static_cast<QAbstractItemView*>(list)}) {
        view->setAcceptDrops(true);
        view->viewport()->setAcceptDrops(true);
        view->viewport()->installEventFilter(this);
    }
}

QMimeData* PluginDragDrop::MimeData(const CPluginInfo& plugin, Origin origin)
{
    auto* data = new QMimeData;
    data->setData(kMimeType, Payload(QCoreApplication::applicationPid(), origin,
                                     plugin.m_strSubdirectory, plugin.m_strFileName));
    return data;
}

bool PluginDragDrop::accepts(const QMimeData* data, Origin target)
{
    if (!data || !data->hasFormat(kMimeType))
        return false;
    // A drop on the control the drag came from changes nothing.
    const QList<QByteArray> fields = data->data(kMimeType).split('\n');
    return fields.size() == 4 &&
           fields[0] == QByteArray::number(QCoreApplication::applicationPid()) &&
           fields[1] == (target == Origin::Tree ? "list" : "tree");
}

int PluginDragDrop::pluginOf(const QByteArray& payload) const
{
    const QList<QByteArray> fields = payload.split('\n');
    if (fields.size() != 4)
        return -1;
    return m_catalogue.findPlugin(fields[2].toStdString(), fields[3].toStdString());
}

const CPluginInfo* PluginDragDrop::pluginAt(Origin origin, const QPoint& position) const
{
    const QAbstractItemView* control =
        origin == Origin::Tree ? static_cast<const QAbstractItemView*>(m_tree) : m_list;
    return m_catalogue.record(m_catalogue.pluginAt(control, position));
}

void PluginDragDrop::drag(const CPluginInfo& plugin, Origin origin)
{
    QWidget* source = origin == Origin::Tree ? m_tree->viewport() : m_list->viewport();
    auto* drag = new QDrag(source);
    drag->setMimeData(MimeData(plugin, origin));
    drag->exec(Qt::MoveAction);
}

bool PluginDragDrop::eventFilter(QObject* watched, QEvent* event)
{
    const Origin at = watched == m_tree->viewport() ? Origin::Tree : Origin::List;
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton)
            m_pressedAt = mouse->position().toPoint();
        break;
    }
    case QEvent::MouseButtonRelease:
        m_pressedAt.reset();
        break;
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (!m_pressedAt || !(mouse->buttons() & Qt::LeftButton))
            break;
        const CPluginInfo* plugin = pluginAt(at, *m_pressedAt);
        if (!plugin)
            break;
        // Moving with the button down drags the plug-in instead of selecting others.
        if ((mouse->position().toPoint() - *m_pressedAt).manhattanLength() >=
            QApplication::startDragDistance()) {
            m_pressedAt.reset();
            drag(*plugin, at);
        }
        return true;
    }
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if (!accepts(drop->mimeData(), at)) {
            drop->ignore();
            return true;
        }
        drop->setDropAction(Qt::MoveAction);
        drop->accept();
        if (event->type() != QEvent::Drop)
            return true;
        // The window's commands run once the drag is over, on the plug-in as the tree holds it
        // then.
        const DropHandler& handler = at == Origin::List ? m_droppedOnList : m_droppedOnTree;
        QTimer::singleShot(0, this, [this, handler, payload = drop->mimeData()->data(kMimeType)] {
            if (const int plugin = pluginOf(payload); plugin >= 0)
                handler(plugin);
        });
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace korvane::mainwindow
