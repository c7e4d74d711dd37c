#pragma once

#include "core/catalogue/ScriptFunctionCache.h"
#include "core/platform/Path.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <string>
#include <vector>

class QThread;

namespace korvane::mainwindow {

class MarkedScan;

// Keeps the window's catalogue in step with its folders, whoever changes them: it watches the
// folders the last scan read, and a moment after the last change it saw it scans the Korvane
// folder again on a thread of its own, then hands the scan to the window. The window also asks
// for a scan when the player comes back to it, which catches what the watches cannot see: a file
// changed in place, or folders beyond the system's watch limit.
class FolderFollower : public QObject
{
public:
    // Shows a scan in the window; false while the window cannot take one (a dialog or menu of
    // its own is open), and the scan is offered again a little later.
    using Apply = std::function<bool(MarkedScan& scan)>;

    // How long changes are gathered before the folders are scanned.
    static constexpr std::chrono::milliseconds kGather{300};
    // At most this many folders are watched, roots and shallow folders first.
    static constexpr int kMostWatched = 1000;

    FolderFollower(Apply apply, QObject* parent);
    // Waits for the scan under way.
    ~FolderFollower() override;
    FolderFollower(const FolderFollower&) = delete;
    FolderFollower& operator=(const FolderFollower&) = delete;

    // Follows a Korvane folder (a full path ending in a separator; empty: none) whose scan just
    // read these folders.
    void follow(const Path& korvaneFolder, const std::vector<std::filesystem::path>& folders);
    // The window showed something of its own doing: a scan begun before may be out of date. Also
    // told while the window shows the scan handed over, which stays the window's until then.
    void shownChanged();
    // Scans again once the changes have been gathered.
    void rescanSoon();
    // Scans again as soon as no scan is under way.
    void rescanNow();

    QStringList watched() const { return m_watcher.directories(); }
    bool scanning() const { return m_worker != nullptr; }
    // What the scans read of the scripts in use, for a scan the window makes itself; null while
    // a scan of the follower's has it.
    ScriptFunctionCache* idleCache() { return m_worker ? nullptr : &m_functionCache; }

private:
    void watch(const std::vector<std::filesystem::path>& folders);
    void startScan();
    void scanDone();
    void offer();
    // Frees a scan the window is done with on a thread of its own: the records of a large
    // catalogue take a while.
    void dispose(std::unique_ptr<MarkedScan> scan);

    Apply m_apply;
    QFileSystemWatcher m_watcher;
    QTimer m_gather;
    QTimer m_retry;
    Path m_korvaneFolder;
    // Used by one scan at a time: the worker's from its start until scanDone() has seen it end.
    ScriptFunctionCache m_functionCache;
    std::unique_ptr<QThread> m_worker;
    std::unique_ptr<MarkedScan> m_result;  // the worker's, until it has finished
    std::unique_ptr<MarkedScan> m_pending; // finished, waiting for the window
    std::unique_ptr<QThread> m_disposer;
    unsigned m_shown = 0;    // counts what the window showed of its own doing
    unsigned m_scanFrom = 0; // m_shown when the last scan began
    bool m_again = false;    // a change came while a scan was under way
    bool m_applying = false; // the window is showing m_pending
};

} // namespace korvane::mainwindow
