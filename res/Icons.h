#pragma once

#include <QIcon>

// The program's own pictures, drawn for it by tools/drawicons and built in through Icons.qrc.
namespace korvane::icons {

QIcon Application();   // 32 and 16 pixels: window, About box
QIcon WindowIcon();    // the large application picture and the small window picture together
QIcon Category();      // a closed folder, open while the category is selected
QIcon DefaultPlugin(); // a plug-in without a usable icon of its own

} // namespace korvane::icons
