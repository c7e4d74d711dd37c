#include "core/updater/InstallWorker.h"

#include "core/catalogue/CPluginList.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/platform/FolderLock.h"
#include "core/platform/KPath.h"
#include "core/updater/CUpdateList.h"

namespace korvane {

korvane::Status InstallThreadProc(const InstallParams& params,
                                  const CUpdateList::FileProgress& progress,
                                  const CUpdateList::StopRequest& stop,
                                  std::vector<std::string>* keptCopies)
{
    if (!params.updates)
        return korvane::Status::Failure({});
    CPluginList inUse;
    if (!params.korvaneFolder.Stored().empty())
        inUse.Rescan(korvane::PluginsFolder(params.korvaneFolder.AsFolder()).Stored());
    // A copy in use the scan missed would keep its old bytes beside storage's new ones.
    if (auto unreadable = inUse.Unreadable(); !unreadable)
        return unreadable;
    return params.updates->InstallUpdate(params.index, params.korvaneFolder, &inUse, progress, stop,
                                         keptCopies);
}

namespace {

// The lock the installation holds: taken on its own thread, waiting as long as FolderLock allows.
korvane::Status WhileLockedHere(FolderLock::Use, const Path& korvaneFolder,
                                const std::function<void()>& step)
{
    const auto lock = FolderLock::acquire(korvaneFolder);
    if (!lock)
        return lock.status();
    step();
    return korvane::Status::Success();
}

} // namespace

InstallWorker::InstallWorker(InstallParams params) : m_params(std::move(params)) {}

void InstallWorker::Start(InstallParams params, QObject* receiver, Done onDone)
{
    // Nothing owns a running worker: it outlives the window that started it, and deletes
    // itself in the starting thread once it has finished, which comes after the report below.
    auto* worker = new InstallWorker(std::move(params));
    connect(
        worker, &InstallWorker::installationEnded, receiver,
        [worker, onDone = std::move(onDone)] {
            // Taken first: onDone may run an event loop, where the worker is deleted.
            const Settling<korvane::Status> installed = worker->result();
            onDone(installed);
        },
        Qt::QueuedConnection);
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

void InstallWorker::run()
{
    // The lock is let go once the files are written: other commands may change the folder
    // before the report arrives.
    KorvaneWorkflow workflow(m_params.korvaneFolder, WhileLockedHere, false);
    Settling<korvane::Status> installed = workflow.install(
        [this](settle::Copies& kept) { return InstallThreadProc(m_params, {}, {}, &kept); },
        settle::Choice::Refuse);
    {
        const std::lock_guard guard(m_resultMutex);
        m_result = std::move(installed);
    }
    emit installationEnded();
}

Settling<korvane::Status> InstallWorker::result() const
{
    const std::lock_guard guard(m_resultMutex);
    return m_result;
}

} // namespace korvane
