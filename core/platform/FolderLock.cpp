#include "core/platform/FolderLock.h"

#include "core/platform/FileSystem.h"
#include "core/platform/KPath.h"
#include "res/Strings.h"

#include <algorithm>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QString>

namespace korvane {
namespace {

// QLockFile writes its holder's process id into the file right after creating it. A process
// killed between the two leaves an empty lock file that names no one, which QLockFile never
// takes for stale; once it is older than any such gap it is.
bool IsOrphaned(const QLockFile& lock, const QString& path)
{
    qint64 pid = 0;
    QString host, application;
    if (lock.getLockInfo(&pid, &host, &application))
        return false;
    const QFileInfo file(path);
    return file.exists() && file.lastModified().msecsTo(QDateTime::currentDateTime()) > 2000;
}

bool TryLock(QLockFile& lock, const QString& path, std::chrono::milliseconds timeout)
{
    const QDeadlineTimer deadline(timeout);
    constexpr int kStep = 100;
    do {
        if (lock.tryLock(static_cast<int>(std::min<qint64>(kStep, deadline.remainingTime()))))
            return true;
        if (lock.error() != QLockFile::LockFailedError)
            return false;
        if (IsOrphaned(lock, path))
            lock.removeStaleLockFile();
    } while (!deadline.hasExpired());
    return false;
}

} // namespace

FolderLock::FolderLock(std::unique_ptr<QLockFile> lock) : m_lock(std::move(lock)) {}
FolderLock::FolderLock(FolderLock&&) noexcept = default;
FolderLock& FolderLock::operator=(FolderLock&&) noexcept = default;
FolderLock::~FolderLock() = default;

Result<FolderLock> FolderLock::acquire(const std::string& korvaneFolder,
                                       std::chrono::milliseconds timeout)
{
    const auto folder = kpath::ResolveNoCase(korvaneFolder);
    // A lock file would create the folder's first entry in a folder that is not there.
    if (korvaneFolder.empty() || !kfs::IsFolder(folder))
        return Status::Failure(kpath::FromNative(folder) + ": the folder does not exist");
    const auto path = QString::fromStdString(kpath::FromNative(folder / kFileName));
    auto lock = std::make_unique<QLockFile>(path);
    // A command may run for minutes on a large storage folder: only a lock whose process has
    // died is taken over, never one that is merely old.
    lock->setStaleLockTime(0);
    if (TryLock(*lock, path, timeout))
        return FolderLock(std::move(lock));
    if (lock->error() == QLockFile::LockFailedError)
        return Status::Failure(strings::kFoldersBusy);
    return Status::Failure(kpath::FromNative(folder / kFileName) +
                           ": the lock file could not be created");
}

} // namespace korvane
