#pragma once

#include <functional>
#include <optional>
#include <QObject>
#include <QPoint>

class QListView;
class QMimeData;
class QTreeView;

namespace korvane {
class CPluginInfo;
} // namespace korvane

namespace korvane::mainwindow {

class CatalogueView;

// Dragging plug-ins between the tree and the list of plug-ins in use. A drag carries the
// plug-in's place in storage, the control it left and the process it left, under a MIME type of
// this program's own, so text or files from elsewhere, categories and drags of another running
// window are refused. A drop on the other control hands the plug-in's number to the window,
// after the drag has ended, so the window's commands never run inside the drag's event loop.
class PluginDragDrop : public QObject
{
public:
    enum class Origin
    {
        Tree,
        List
    };
    using DropHandler = std::function<void(int plugin)>;

    // The window keeps the controls and the view, which outlive this object (one of its children).
    PluginDragDrop(QTreeView* tree, QListView* list, const CatalogueView& catalogue,
                   DropHandler droppedOnList, DropHandler droppedOnTree, QObject* parent);

    // What a drag of the plug-in from that control carries.
    static QMimeData* MimeData(const CPluginInfo& plugin, Origin origin);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether a drag may be dropped on the target control: one of ours, from the other control
    // of this window's process.
    static bool accepts(const QMimeData* data, Origin target);
    // The plug-in a drag's payload names, or -1 when the catalogue has no such plug-in.
    int pluginOf(const QByteArray& payload) const;
    // The plug-in at a point of the control's viewport, or null.
    const CPluginInfo* pluginAt(Origin origin, const QPoint& position) const;
    void drag(const CPluginInfo& plugin, Origin origin);

    QTreeView* m_tree;
    QListView* m_list;
    const CatalogueView& m_catalogue;
    DropHandler m_droppedOnList;
    DropHandler m_droppedOnTree;
    std::optional<QPoint> m_pressedAt; // where the left button went down, until it is released
};

} // namespace korvane::mainwindow
