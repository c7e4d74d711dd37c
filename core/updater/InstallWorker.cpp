#include "core/updater/InstallWorker.h"

#include "core/catalogue/CPluginList.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/platform/FolderLock.h"
#include "core/platform/KPath.h"
#include "core/updater/CUpdateList.h"
#include "res/Strings.h"

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
    if (korvaneFolder.Stored().empty())
        return korvane::Status::Failure(strings::kNoKorvaneFolder);
    const auto lock = FolderLock::acquire(korvaneFolder);
    if (!lock)
        return lock.status();
    step();
    return korvane::Status::Success();
}

} // namespace

InstallWorker::InstallWorker(InstallParams params, QObject* receiver, Done onDone)
    : m_params(std::move(params)), m_receiver(receiver), m_onDone(std::move(onDone))
{}

void InstallWorker::Start(InstallParams params, QObject* receiver, Done onDone)
{
    // Nothing owns a running worker: it outlives the window that started it, and deletes
    // itself in the starting thread once it has finished.
    auto* worker = new InstallWorker(std::move(params), receiver, std::move(onDone));
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

void InstallWorker::run()
{
    // The lock is let go once the files are written: other commands may change the folder
    // before the report arrives.
    KorvaneWorkflow workflow(m_params.korvaneFolder, WhileLockedHere, false);
    const Settling<korvane::Status> installed = workflow.install(
        [this](settle::Copies& kept) { return InstallThreadProc(m_params, {}, {}, &kept); },
        settle::Choice::Refuse);
    // Queued to this object, which lives in the starting thread and is deleted there after
    // finished(), posted later. onDone may run an event loop, where the deletion comes: nothing
    // of this object is used once it is called.
    QMetaObject::invokeMethod(
        this,
        [this, installed] {
            const Done onDone = m_onDone;
            if (m_receiver)
                onDone(installed);
        },
        Qt::QueuedConnection);
}

} // namespace korvane
