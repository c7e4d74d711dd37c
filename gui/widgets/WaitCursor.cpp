#include "gui/widgets/WaitCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace korvane::widgets {

WaitCursor::WaitCursor()
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

WaitCursor::~WaitCursor()
{
    QGuiApplication::restoreOverrideCursor();
}

} // namespace korvane::widgets
