#include "gui/dialogs/FolderLockWait.h"

#include "gui/widgets/WaitCursor.h"

namespace korvane::dialogs {

namespace {

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

korvane::Status FolderLockWait::operator()(korvane::FolderLock::Use use, const Path& korvaneFolder,
                                           const std::function<void()>& step) const
{
    using korvane::FolderLock;
    if (use == FolderLock::Use::Reads) {
        const auto lock = [&] {
            const widgets::WaitCursor wait;
            return FolderLock::acquireFor(FolderLock::Use::Reads, korvaneFolder);
        }();
        return WhileHeld(lock, step);
    }
    const auto lock = [&] {
        const widgets::WaitCursor wait;
        return FolderLock::acquire(korvaneFolder);
    }();
    return WhileHeld(lock, step);
}

} // namespace korvane::dialogs
