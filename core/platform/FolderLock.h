#pragma once

#include "core/platform/Status.h"

#include <chrono>
#include <memory>
#include <string>

class QLockFile;

namespace korvane {

// The right to change the files of one Korvane folder (its storage, plugins and backups folders),
// held by one process at a time through a lock file in that folder. A lock left by a process that
// died is taken over. Released when the object goes.
class FolderLock
{
public:
    // How long a command waits for another one to finish.
    static constexpr std::chrono::milliseconds kWait{10000};

    // Takes the lock of korvaneFolder (a full path ending in a separator), waiting up to timeout
    // while another process holds it. When it takes over the lock of a process that died, it
    // removes what that process's writes left in the folders the lock guards (files of the names
    // kfs::IsTemporaryName recognises, and only those). Fails without
    // creating anything when the folder does not exist, with the folders-busy reason when the
    // wait ran out, and naming the lock file and the system's reason when it cannot be created.
    static Result<FolderLock> acquire(const std::string& korvaneFolder,
                                      std::chrono::milliseconds timeout = kWait);

    FolderLock(FolderLock&&) noexcept;
    FolderLock& operator=(FolderLock&&) noexcept;
    ~FolderLock();

    // The lock file's name inside the Korvane folder.
    static constexpr char kFileName[] = ".korvanemgr.lock";
    // The folders below the Korvane folder whose files the lock guards.
    static constexpr const char* kGuardedTrees[] = {"storage", "plugins", "backups"};

private:
    explicit FolderLock(std::unique_ptr<QLockFile> lock);

    std::unique_ptr<QLockFile> m_lock;
};

} // namespace korvane
