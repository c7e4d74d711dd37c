#pragma once

#include <QObject>

class QAbstractItemView;

namespace korvane::widgets {

// Gives the items of a view whose text does not fit a tool tip with the whole text, before
// the item's own tip (a twin's mark, for one). Items that fit show their own tip only.
class ElidedToolTips : public QObject
{
public:
    // The view keeps this object as one of its children.
    explicit ElidedToolTips(QAbstractItemView* view);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAbstractItemView* m_view;
};

} // namespace korvane::widgets
