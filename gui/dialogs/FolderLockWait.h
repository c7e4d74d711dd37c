#pragma once

#include "core/platform/FolderLock.h"
#include "core/platform/Path.h"
#include "core/platform/Status.h"

#include <functional>

namespace korvane::dialogs {

// How the window holds the Korvane folder's lock for a command of its workflow
// (KorvaneWorkflow::Locking). While another Korvane Manager holds it the command waits, under
// the wait cursor, as long as FolderLock allows: for a change, FolderLock::acquire's lock; for a
// step that only reads, the lock FolderLock::acquireFor gives (korvane-cli takes the same).
class FolderLockWait
{
public:
    // Runs step while the window holds the lock for use; fails with the reason, step not run,
    // when it cannot be had.
    korvane::Status operator()(korvane::FolderLock::Use use, const Path& korvaneFolder,
                               const std::function<void()>& step) const;
};

} // namespace korvane::dialogs
