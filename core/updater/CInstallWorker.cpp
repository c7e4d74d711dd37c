#include "core/updater/CInstallWorker.h"

#include "core/catalogue/CPluginList.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/platform/KPath.h"
#include "core/updater/CUpdateList.h"

namespace korvane {

korvane::Status InstallThreadProc(const InstallParams& params,
                                  const CUpdateList::FileProgress& progress,
                                  const CUpdateList::StopRequest& stop,
                                  std::vector<std::string>* pKeptCopies)
{
    if (!params.pUpdates)
        return korvane::Status::Failure({});
    CPluginList inUse;
    if (!params.strKorvane.empty())
        inUse.Rescan(korvane::PluginsFolder(kpath::WithTrailingSeparator(params.strKorvane)));
    // A copy in use the scan missed would keep its old bytes beside storage's new ones.
    if (auto unreadable = inUse.Unreadable(); !unreadable)
        return unreadable;
    return params.pUpdates->InstallUpdate(params.nIndex, params.strKorvane, &inUse, progress, stop,
                                          pKeptCopies);
}

CInstallWorker::CInstallWorker(InstallParams params) : m_params(std::move(params)) {}

void CInstallWorker::Start(InstallParams params, QObject* receiver,
                           std::function<void(bool, const QString&, const QStringList&)> onDone)
{
    // Nothing owns a running worker: it outlives the window that started it, and deletes
    // itself in the starting thread once it has finished.
    auto* worker = new CInstallWorker(std::move(params));
    connect(worker, &CInstallWorker::InstallDone, receiver, std::move(onDone),
            Qt::QueuedConnection);
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
}

void CInstallWorker::run()
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
