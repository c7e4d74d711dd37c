#include "gui/mainwindow/TwinMarks.h"

#include <QPainter>
#include <QStyle>
#include <QWidget>

namespace korvane::mainwindow {

TwinMarks::TwinMarks(const QWidget* view, int side) : m_view(view), m_side(side) {}

QIcon TwinMarks::marked(const QIcon& icon)
{
    auto [found, isNew] = m_marked.try_emplace(icon.cacheKey());
    if (!isNew)
        return found->second;
    const int sign = m_side * 5 / 8;
    if (m_warning.isNull())
        m_warning = m_view->style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(sign);
    QIcon& marked = found->second;
    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Selected}) {
        QPixmap picture(m_side, m_side);
        picture.fill(Qt::transparent);
        {
            QPainter painter(&picture);
            painter.drawPixmap(0, 0, icon.pixmap(m_side, mode));
            painter.drawPixmap(m_side - sign, m_side - sign, m_warning);
        }
        marked.addPixmap(picture, mode);
    }
    return marked;
}

QString TwinMarks::Description(const QString& mark, const QString& note)
{
    return mark.isEmpty() || note.isEmpty() ? mark + note : mark + u'\n' + note;
}

} // namespace korvane::mainwindow
