#pragma once

#include "core/catalogue/KorvaneWorkflow.h"
#include "core/platform/Path.h"
#include "core/updater/CUpdateList.h"

#include <functional>
#include <memory>
#include <mutex>
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
};

// Installs update index, refreshing the copies of the plug-ins in use. Runs on any thread, under
// the Korvane folder's lock; progress, when given, is told of each piece of a file that arrives;
// stop, when given, is asked while the files arrive and ends the installation, with nothing
// replaced, once it answers true. When it fails only for copies in use the player changed,
// keptCopies (may be null) gets them.
korvane::Status InstallThreadProc(const InstallParams& params,
                                  const CUpdateList::FileProgress& progress = {},
                                  const CUpdateList::StopRequest& stop = {},
                                  std::vector<std::string>* keptCopies = nullptr);

// One installation on a thread of its own, as a command of the Korvane folder's workflow: a
// folder that is not a Korvane folder is refused, and the lock is waited for on that thread, so
// that the window that started it never stands still. Copies in use the player changed are kept
// and handed back to be settled. It reports once, then deletes itself.
class InstallWorker : public QThread
{
    Q_OBJECT

public:
    using Done = std::function<void(const Settling<korvane::Status>& installed)>;

    // Starts the installation. onDone runs once with the result in receiver's thread, which is
    // the calling thread, as a queued call; if receiver no longer exists by then, the result is
    // dropped.
    static void Start(InstallParams params, QObject* receiver, Done onDone);

signals:
    // The installation has ended: result() holds what became of it.
    void installationEnded();

private:
    explicit InstallWorker(InstallParams params);
    void run() override;
    Settling<korvane::Status> result() const;

    const InstallParams m_params;
    // Written by the worker's thread, read by the starting thread once installationEnded came.
    mutable std::mutex m_resultMutex;
    Settling<korvane::Status> m_result{korvane::Status::Success(), {}};
};

} // namespace korvane
