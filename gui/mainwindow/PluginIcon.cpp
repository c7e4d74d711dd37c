#include "gui/mainwindow/PluginIcon.h"

#include "core/catalogue/CPluginInfo.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"

#include <cstdlib>
#include <QImageReader>
#include <QPixmap>
#include <utility>

namespace korvane::mainwindow {

namespace {

// The image of an icon file nearest side by side pixels, scaled to it.
QImage SmallImageOf(const QString& iconFile, int side)
{
    constexpr int kMostImages = 64; // an icon file of any sense holds far fewer
    // An icon's images are 256 by 256 pixels at most; a small file may claim a picture of
    // thousands (one of 136 KB took 140 MB and 0.7 s to decode), which is not decoded at all.
    constexpr int kMostImageMegabytes = 1; // 512 by 512 pixels of 32 bits
    QImageReader reader(iconFile);
    reader.setAllocationLimit(kMostImageMegabytes);
    QImage best;
    for (int index = 0; index < kMostImages; ++index) {
        QImage image;
        if (!reader.read(&image) || image.isNull())
            break;
        if (best.isNull() || std::abs(image.width() - side) < std::abs(best.width() - side))
            best = std::move(image);
        if (!reader.jumpToNextImage())
            break;
    }
    if (best.isNull() || best.size() == QSize(side, side))
        return best;
    return best.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

} // namespace

PluginIcon::PluginIcon(const CPluginInfo& plugin, const QIcon& fallback, int side) : QIcon(fallback)
{
    if (plugin.m_strIconPath.empty())
        return;
    const QImage image = SmallImageOf(
        QString::fromStdString(kpath::FromNative(Path(plugin.m_strIconPath).OnDisk())), side);
    if (image.isNull())
        return;
    const QPixmap picture = QPixmap::fromImage(image);
    QIcon own;
    own.addPixmap(picture, QIcon::Normal);
    own.addPixmap(picture, QIcon::Selected);
    QIcon::operator=(std::move(own));
}

} // namespace korvane::mainwindow
