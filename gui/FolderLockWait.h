#pragma once

#include "core/platform/FolderLock.h"

#include <optional>
#include <string>

namespace korvane {

// The Korvane folder's lock for one window command that changes the folder's files. While
// another Korvane Manager holds it the command waits, under the wait cursor, as long as
// FolderLock allows. Fails without waiting when no Korvane folder is chosen.
korvane::Result<korvane::FolderLock> LockKorvaneFolder(const std::string& korvaneFolder);

// The lock for a window command that only reads the Korvane folder's files, as
// FolderLock::acquireFor gives it (korvane-cli takes the same), waiting as LockKorvaneFolder does.
korvane::Result<std::optional<korvane::FolderLock>>
LockKorvaneFolderToRead(const std::string& korvaneFolder);

} // namespace korvane
