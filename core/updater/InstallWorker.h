#pragma once

#include "core/platform/FolderLock.h"
#include "core/platform/Path.h"
#include "core/updater/CUpdateList.h"

#include <functional>
#include <memory>
#include <QStringList>
#include <QThread>
#include <string>
#include <vector>

namespace korvane {

// What one installation needs. The worker shares the list, so the list and its records stay
// valid after the updater window that started it has closed.
struct InstallParams
{
    int index = -1;
    Path korvaneFolder; // the Korvane folder when the installation was started
    std::shared_ptr<CUpdateList> updates;
    // The Korvane folder's lock, when the caller took it for the installation: a worker holds it
    // until it has finished, even when the window that started it closed long before.
    std::shared_ptr<const korvane::FolderLock> lock;
};

// Installs update index, refreshing the copies of the plug-ins in use. Runs on any thread;
// progress, when given, is told of each piece of a file that arrives; stop, when given, is asked
// while the files arrive and ends the installation, with nothing replaced, once it answers true.
// When it fails only for copies in use the player changed, keptCopies (may be null) gets them.
korvane::Status InstallThreadProc(const InstallParams& params,
                                  const CUpdateList::FileProgress& progress = {},
                                  const CUpdateList::StopRequest& stop = {},
                                  std::vector<std::string>* keptCopies = nullptr);

// One installation on a thread of its own. It reports once, then deletes itself.
class InstallWorker : public QThread
{
    Q_OBJECT

public:
    // Starts the installation. onDone runs once with the result in receiver's thread, as a
    // queued call; if receiver no longer exists by then, the result is dropped.
    static void Start(InstallParams params, QObject* receiver,
                      std::function<void(bool, const QString&, const QStringList&)> onDone);

signals:
    // reason: why the installation failed, empty when it succeeded. keptCopies: when it failed
    // only for copies in use the player changed, their paths below the plugins folder.
    void InstallDone(bool installed, const QString& reason, const QStringList& keptCopies);

private:
    explicit InstallWorker(InstallParams params);
    void run() override;

    InstallParams m_params;
};

} // namespace korvane
