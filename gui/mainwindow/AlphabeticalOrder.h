#pragma once

#include <QString>

namespace korvane::mainwindow {

// Names are listed alphabetically without regard to case, as players expect from any file list;
// names that differ only in case keep one order.
inline bool LessNoCase(const QString& a, const QString& b)
{
    const int order = QString::compare(a, b, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a < b;
}

} // namespace korvane::mainwindow
