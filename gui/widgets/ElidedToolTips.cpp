#include "gui/widgets/ElidedToolTips.h"

#include <algorithm>
#include <QAbstractItemView>
#include <QHelpEvent>
#include <QTextDocument>
#include <QToolTip>

namespace korvane::widgets {

ElidedToolTips::ElidedToolTips(QAbstractItemView* view) : QObject(view), m_view(view)
{
    m_view->viewport()->installEventFilter(this);
}

bool ElidedToolTips::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QObject::eventFilter(watched, event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = m_view->indexAt(help->pos());
    if (!index.isValid()) {
        QToolTip::hideText();
        return true;
    }
    const QRect shown = m_view->visualRect(index);
    QStyleOptionViewItem option;
    option.initFrom(m_view);
    option.decorationSize = m_view->iconSize();
    option.features |= QStyleOptionViewItem::HasDecoration | QStyleOptionViewItem::HasDisplay;
    const int needed = m_view->itemDelegateForIndex(index)->sizeHint(option, index).width();
    const int room = std::min(shown.right(), m_view->viewport()->width()) - shown.left();
    // The item's own tip is its mark as plain text in its accessible description.
    const QString mark = index.data(Qt::AccessibleDescriptionRole).toString();
    QString tip = index.data(Qt::ToolTipRole).toString();
    if (needed > room) {
        const QString whole = index.data(Qt::DisplayRole).toString();
        tip = Qt::convertFromPlainText(mark.isEmpty() ? whole : whole + u'\n' + mark,
                                       Qt::WhiteSpaceNormal);
    }
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), tip, m_view->viewport(), shown);
    return true;
}

} // namespace korvane::widgets
