#pragma once

#include "core/catalogue/FolderScan.h"
#include "core/platform/Path.h"
#include "gui/mainwindow/InUseFunctions.h"

#include <QString>
#include <string>
#include <vector>

namespace korvane {
class ScriptFunctionCache;
} // namespace korvane

namespace korvane::mainwindow {

// A scan of the folders with what the window marks its plug-ins by, and the names it shows the
// plug-ins in use by. Made away from the window, with the scan, so that the window compares
// marks as it compares the rest.
class MarkedScan : public FolderScan
{
public:
    enum Kind : unsigned
    {
        kSharesFileName = 1, // a twin, or the plug-in used in place of twins
        kClashes = 2,        // in use, it defines a function that another plug-in in use defines
    };
    struct Mark
    {
        QString text;       // why the window marks it; empty when it does not
        unsigned kinds = 0; // what text tells of: Kind values, for its category's mark
    };

    // One for each digest.
    std::vector<Mark> marks;
    // The functions of the scan, with the names the window shows the plug-ins in use by.
    InUseFunctions shownFunctions;

    // FolderScan::Read, marked. Touches no widget: it may run on any thread, with a cache no
    // other thread uses meanwhile.
    static MarkedScan Read(const Path& korvaneFolder, ScriptFunctionCache* cache = nullptr);
    // Makes the digests when they are not made yet, then the marks, once: the functions go into
    // shownFunctions.
    void MakeMarks();

private:
    bool m_marked = false;
};

} // namespace korvane::mainwindow
