#include "core/platform/FolderLock.h"

#include "core/platform/AtomicFile.h"
#include "core/platform/FileSystem.h"
#include "core/platform/FolderListing.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"
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

// Why the lock file could not be created, in the system's words: QLockFile keeps only its own
// kind of error, so the same kind of file is created beside it once more, and removed again.
std::string CreationFailure(const std::filesystem::path& lockFile)
{
    kfs::AtomicFile probe(lockFile);
    if (!probe.status())
        return probe.status().reason();
    return kpath::FromNative(lockFile) + strings::kReasonLockFileNotCreated;
}

// The files of the program's temporary names in a folder tree: what a write cut short by a kill
// or a power cut left behind. While the lock is held nothing else writes there.
void RemoveLeftovers(const std::filesystem::path& folder)
{
    const kfs::FolderListing names = kfs::ListFolderNames(folder);
    for (size_t i = 0; i < names.Count(); ++i) {
        const std::string_view name = names.Name(i);
        const auto entry = folder / std::filesystem::path(std::u8string(name.begin(), name.end()));
        if (names.IsFolder(i))
            RemoveLeftovers(entry);
        else if (kfs::IsTemporaryName(name))
            (void)kfs::RemoveFile(entry); // one that stays is removed the next time
    }
}

} // namespace

FolderLock::FolderLock(std::unique_ptr<QLockFile> lock) : m_lock(std::move(lock)) {}

Result<std::optional<FolderLock>> FolderLock::acquireFor(Use use, const Path& korvaneFolder,
                                                         std::chrono::milliseconds timeout)
{
    if (korvaneFolder.Stored().empty())
        return std::optional<FolderLock>();
    const std::filesystem::path folder = korvaneFolder.OnDisk();
    if (!kfs::IsFolder(folder))
        return std::optional<FolderLock>();
    if (use == Use::Reads &&
        !QFileInfo(QString::fromStdString(kpath::FromNative(folder))).isWritable())
        return std::optional<FolderLock>();
    auto lock = acquire(korvaneFolder, timeout);
    if (!lock)
        return lock.status();
    return std::optional<FolderLock>(std::move(lock).value());
}
FolderLock::FolderLock(FolderLock&&) noexcept = default;
FolderLock& FolderLock::operator=(FolderLock&&) noexcept = default;
FolderLock::~FolderLock() = default;

Result<FolderLock> FolderLock::acquire(const Path& korvaneFolder, std::chrono::milliseconds timeout)
{
    if (korvaneFolder.Stored().empty())
        return Status::Failure(strings::kNoKorvaneFolder);
    const auto folder = korvaneFolder.OnDisk();
    // A lock file would create the folder's first entry in a folder that is not there.
    if (!kfs::IsFolder(folder))
        return Status::Failure(kpath::FromNative(folder) + strings::kReasonFolderMissing);
    const auto path = QString::fromStdString(kpath::FromNative(folder / kFileName));
    auto lock = std::make_unique<QLockFile>(path);
    // A command may run for minutes on a large storage folder: only a lock whose process has
    // died is taken over, never one that is merely old.
    lock->setStaleLockTime(0);
    // A lock file that is there already belongs to a command that is still running or to one
    // that was killed; only the latter leaves temporary files behind, and a walk over every
    // folder would cost each command about a fifth of its time in a large storage folder.
    const bool heldBefore = QFileInfo::exists(path);
    if (TryLock(*lock, path, timeout)) {
        if (heldBefore) {
            const std::string base = korvaneFolder.AsFolder().Stored();
            for (const char* tree : kGuardedTrees)
                RemoveLeftovers(Path(base + tree).OnDisk());
        }
        return FolderLock(std::move(lock));
    }
    if (lock->error() == QLockFile::LockFailedError)
        return Status::Failure(strings::kFoldersBusy);
    return Status::Failure(CreationFailure(folder / kFileName));
}

} // namespace korvane
