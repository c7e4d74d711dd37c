#include "gui/dialogs/FolderLockWait.h"

#include "res/Strings.h"

#include <QCursor>
#include <QGuiApplication>

namespace korvane::dialogs {

namespace {

korvane::Result<std::optional<korvane::FolderLock>>
LockKorvaneFolderToRead(const Path& korvaneFolder)
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    auto lock = korvane::FolderLock::acquireFor(korvane::FolderLock::Use::Reads, korvaneFolder);
    QGuiApplication::restoreOverrideCursor();
    return lock;
}

korvane::Result<korvane::FolderLock> LockKorvaneFolder(const Path& korvaneFolder)
{
    if (korvaneFolder.Stored().empty())
        return korvane::Status::Failure(strings::kNoKorvaneFolder);
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    auto lock = korvane::FolderLock::acquire(korvaneFolder);
    QGuiApplication::restoreOverrideCursor();
    return lock;
}

// Runs step while lock holds, or gives the reason it could not be had.
template <class Lock>
korvane::Status WhileHeld(const korvane::Result<Lock>& lock, const std::function<void()>& step)
{
    if (!lock)
        return lock.status();
    step();
    return korvane::Status::Success();
}

} // namespace

korvane::Status WhileKorvaneFolderLocked(korvane::FolderLock::Use use, const Path& korvaneFolder,
                                         const std::function<void()>& step)
{
    if (use == korvane::FolderLock::Use::Reads)
        return WhileHeld(LockKorvaneFolderToRead(korvaneFolder), step);
    return WhileHeld(LockKorvaneFolder(korvaneFolder), step);
}

} // namespace korvane::dialogs
