#pragma once

#include "core/platform/FolderLock.h"
#include "core/platform/Path.h"
#include "core/platform/Status.h"

#include <functional>
#include <string>

namespace korvane::dialogs {

// The Korvane folder's lock for one window command that changes the folder's files. While
// another Korvane Manager holds it the command waits, under the wait cursor, as long as
// FolderLock allows. Fails without waiting when no Korvane folder is chosen.
korvane::Result<korvane::FolderLock> LockKorvaneFolder(const Path& korvaneFolder);

// Runs step while the window holds the Korvane folder's lock for use, as the window's commands
// take it: LockKorvaneFolder for a change, and for a step that only reads, the lock
// FolderLock::acquireFor gives (korvane-cli takes the same), waited for as long. Fails with the
// reason, step not run, when it cannot be had.
korvane::Status WhileKorvaneFolderLocked(korvane::FolderLock::Use use, const Path& korvaneFolder,
                                         const std::function<void()>& step);

} // namespace korvane::dialogs
