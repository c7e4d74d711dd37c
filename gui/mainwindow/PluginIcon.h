#pragma once

#include <QIcon>

namespace korvane {
class CPluginInfo;
} // namespace korvane

namespace korvane::mainwindow {

// The icon the tree and the list show for a plug-in, side by side pixels: the image of its icon
// file nearest that size, scaled to it; fallback when it names no icon file or none that can be
// decoded. It holds nothing beyond the QIcon it makes, and is kept as one.
class PluginIcon : public QIcon
{
public:
    PluginIcon(const CPluginInfo& plugin, const QIcon& fallback, int side);
};

} // namespace korvane::mainwindow
