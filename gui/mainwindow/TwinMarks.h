#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <unordered_map>

class QWidget;

namespace korvane::mainwindow {

// The marks of twins and of plug-ins that clash, as the catalogue shows them: the style's
// warning sign over a marked plug-in's or category's icon, and why it is marked as its
// description. A note (a held plug-in's) joins the description without a sign.
class TwinMarks
{
public:
    // The warning sign is the style of view's; icons are side by side pixels.
    TwinMarks(const QWidget* view, int side);

    // The icon with the warning sign over its lower right part, in each of its modes. Plug-ins
    // of one icon (most have the default one) share one picture of it.
    QIcon marked(const QIcon& icon);
    // The mark's text followed by the note's.
    static QString Description(const QString& mark, const QString& note);
    void clear() { m_marked.clear(); }

private:
    const QWidget* m_view;
    int m_side;
    QPixmap m_warning;                          // the sign, at its size over an icon
    std::unordered_map<qint64, QIcon> m_marked; // by the icon's QIcon::cacheKey()
};

} // namespace korvane::mainwindow
