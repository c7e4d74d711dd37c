#include "res/Icons.h"

#include <QPixmap>

// The pictures live in a static library: nothing would pull them into the program unless this
// file asks for them by name.
static void LoadIconResources()
{
    Q_INIT_RESOURCE(Icons);
}

namespace korvane {

namespace icons {
namespace {

QPixmap Picture(const char* name)
{
    static const bool loaded = (LoadIconResources(), true);
    Q_UNUSED(loaded);
    return QPixmap(QStringLiteral(":/icons/") + QString::fromLatin1(name) + QStringLiteral(".png"));
}

} // namespace

QIcon Application()
{
    QIcon icon;
    icon.addPixmap(Picture("application-32"));
    icon.addPixmap(Picture("application-16"));
    return icon;
}

QIcon WindowIcon()
{
    QIcon icon;
    icon.addPixmap(Picture("application-32"));
    icon.addPixmap(Picture("window-16"));
    return icon;
}

QIcon Category()
{
    QIcon icon;
    for (const char* size : {"16", "32"}) {
        icon.addPixmap(Picture((std::string("folder-closed-") + size).c_str()), QIcon::Normal);
        icon.addPixmap(Picture((std::string("folder-open-") + size).c_str()), QIcon::Selected);
    }
    return icon;
}

QIcon DefaultPlugin()
{
    const QPixmap picture = Picture("plugin-16");
    QIcon icon;
    icon.addPixmap(picture, QIcon::Normal);
    icon.addPixmap(picture, QIcon::Selected);
    return icon;
}

} // namespace icons

} // namespace korvane
