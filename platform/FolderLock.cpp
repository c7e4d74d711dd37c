#include "platform/FolderLock.h"

#include "platform/FileSystem.h"
#include "platform/KPath.h"
#include "res/Strings.h"

#include <QLockFile>
#include <QString>

namespace korvane {

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
    auto lock =
        std::make_unique<QLockFile>(QString::fromStdString(kpath::FromNative(folder / kFileName)));
    // A command may run for minutes on a large storage folder: only a lock whose process has
    // died is taken over, never one that is merely old.
    lock->setStaleLockTime(0);
    if (lock->tryLock(static_cast<int>(timeout.count())))
        return FolderLock(std::move(lock));
    if (lock->error() == QLockFile::LockFailedError)
        return Status::Failure(strings::kFoldersBusy);
    return Status::Failure(kpath::FromNative(folder / kFileName) +
                           ": the lock file could not be created");
}

} // namespace korvane
