#include "gui/FolderLockWait.h"

#include "res/Strings.h"

#include <QCursor>
#include <QGuiApplication>

namespace korvane {

korvane::Result<korvane::FolderLock> LockKorvaneFolder(const std::string& korvaneFolder)
{
    if (korvaneFolder.empty())
        return korvane::Status::Failure(strings::kNoKorvaneFolder);
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    auto lock = korvane::FolderLock::acquire(korvaneFolder);
    QGuiApplication::restoreOverrideCursor();
    return lock;
}

korvane::Result<std::optional<korvane::FolderLock>>
LockKorvaneFolderToRead(const std::string& korvaneFolder)
{
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    auto lock = korvane::FolderLock::acquireFor(korvane::FolderLock::Use::Reads, korvaneFolder);
    QGuiApplication::restoreOverrideCursor();
    return lock;
}

} // namespace korvane
