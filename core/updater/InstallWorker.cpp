#include "core/updater/InstallWorker.h"

#include "core/catalogue/CPluginList.h"
#include "core/catalogue/KorvaneFolders.h"
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

InstallWorker::InstallWorker(InstallParams params) : m_params(std::move(params)) {}

void InstallWorker::Start(InstallParams params, QObject* receiver,
                          std::function<void(bool, const QString&, const QStringList&)> onDone)
{
    // Nothing owns a running worker: it outlives the window that started it, and deletes
    // itself in the starting thread once it has finished.
    auto* worker = new InstallWorker(std::move(params));
    connect(worker, &InstallWorker::InstallDone, receiver, std::move(onDone), Qt::QueuedConnection);
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

void InstallWorker::run()
{
    std::vector<std::string> kept;
    const korvane::Status installed = InstallThreadProc(m_params, {}, {}, &kept);
    // The files are written: other commands may change the folder before the report arrives.
    m_params.lock.reset();
    QStringList keptCopies;
    for (const std::string& copy : kept)
        keptCopies << QString::fromStdString(copy);
    emit InstallDone(installed.ok(), QString::fromStdString(installed.reason()), keptCopies);
}

} // namespace korvane
