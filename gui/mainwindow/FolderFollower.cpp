#include "gui/mainwindow/FolderFollower.h"

#include "core/platform/KPath.h"
#include "gui/mainwindow/MarkedScan.h"

#include <algorithm>
#include <functional>
#include <QDir>
#include <QThread>
#include <utility>

namespace korvane::mainwindow {

namespace {

constexpr std::chrono::milliseconds kRetry{250};

// Roots first, then their subfolders level by level, each level in the scan's order.
std::vector<std::filesystem::path> ShallowFirst(std::vector<std::filesystem::path> folders)
{
    const auto depth = [](const std::filesystem::path& folder) {
        return std::distance(folder.begin(), folder.end());
    };
    std::stable_sort(folders.begin(), folders.end(),
                     [&depth](const auto& a, const auto& b) { return depth(a) < depth(b); });
    return folders;
}

} // namespace

FolderFollower::FolderFollower(Apply apply, QObject* parent)
    : QObject(parent), m_apply(std::move(apply))
{
    m_gather.setSingleShot(true);
    m_gather.setInterval(kGather);
    m_retry.setSingleShot(true);
    m_retry.setInterval(kRetry);
    connect(&m_gather, &QTimer::timeout, this, &FolderFollower::rescanNow);
    connect(&m_retry, &QTimer::timeout, this, &FolderFollower::offer);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &FolderFollower::rescanSoon);
}

FolderFollower::~FolderFollower()
{
    for (const auto& thread : {std::cref(m_worker), std::cref(m_disposer)}) {
        if (thread.get())
            thread.get()->wait();
    }
}

void FolderFollower::follow(const Path& korvaneFolder,
                            const std::vector<std::filesystem::path>& folders)
{
    if (korvaneFolder != m_korvaneFolder) {
        m_korvaneFolder = korvaneFolder;
        shownChanged();
    }
    watch(korvaneFolder.Stored().empty() ? std::vector<std::filesystem::path>() : folders);
}

void FolderFollower::watch(const std::vector<std::filesystem::path>& folders)
{
    QStringList wanted;
    for (const auto& folder : ShallowFirst(folders)) {
        if (wanted.size() == kMostWatched)
            break;
        wanted << QDir::cleanPath(QString::fromStdString(kpath::FromNative(folder)));
    }
    QStringList gone = m_watcher.directories();
    gone.removeIf([&wanted](const QString& folder) { return wanted.contains(folder); });
    // Qt's watcher on Windows lets go of one of its threads' folders (63) a call: the call is
    // repeated as long as it lets go of more.
    while (!gone.isEmpty()) {
        const QStringList kept = m_watcher.removePaths(gone);
        if (kept.size() == gone.size())
            break;
        gone = kept;
    }
    const QStringList watched = m_watcher.directories();
    for (const QString& folder : wanted) {
        // Past the system's limit of watches every further one fails too; the scan when the
        // player comes back to the window covers those folders.
        if (!watched.contains(folder) && !m_watcher.addPath(folder))
            break;
    }
}

void FolderFollower::shownChanged()
{
    ++m_shown;
    if (m_pending && !m_applying)
        dispose(std::move(m_pending));
    m_retry.stop();
}

void FolderFollower::rescanSoon()
{
    if (!m_gather.isActive())
        m_gather.start();
}

void FolderFollower::rescanNow()
{
    m_gather.stop();
    if (m_korvaneFolder.Stored().empty())
        return;
    if (m_worker) {
        m_again = true;
        return;
    }
    startScan();
}

void FolderFollower::startScan()
{
    m_again = false;
    m_scanFrom = m_shown;
    m_result = std::make_unique<MarkedScan>();
    m_worker.reset(
        QThread::create([folder = m_korvaneFolder, result = m_result.get(),
                         cache = &m_functionCache] { *result = MarkedScan::Read(folder, cache); }));
    connect(m_worker.get(), &QThread::finished, this, &FolderFollower::scanDone);
    m_worker->start(QThread::LowPriority);
}

void FolderFollower::scanDone()
{
    m_worker->wait();
    m_worker.reset();
    if (m_scanFrom != m_shown) {
        m_again = true; // the window changed meanwhile: what it shows now is to be checked
        dispose(std::move(m_result));
    } else {
        m_pending = std::move(m_result);
        offer();
    }
    if (m_again)
        rescanNow();
}

void FolderFollower::offer()
{
    if (!m_pending)
        return;
    if (m_scanFrom != m_shown) {
        dispose(std::move(m_pending));
        rescanNow();
        return;
    }
    const std::vector<std::filesystem::path> folders = m_pending->Folders();
    m_applying = true;
    const bool applied = m_apply(*m_pending);
    m_applying = false;
    if (!applied) {
        m_retry.start();
        return;
    }
    dispose(std::move(m_pending));
    watch(folders);
}

void FolderFollower::dispose(std::unique_ptr<MarkedScan> scan)
{
    if (m_disposer)
        m_disposer->wait();
    m_disposer.reset(QThread::create(
        [spent = std::shared_ptr<MarkedScan>(std::move(scan))]() mutable { spent.reset(); }));
    m_disposer->start(QThread::LowPriority);
}

} // namespace korvane::mainwindow
