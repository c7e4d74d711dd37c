#pragma once

#include "core/platform/Path.h"
#include "core/platform/Status.h"

#include <chrono>
#include <memory>
#include <optional>
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
    // kfs::IsTemporaryName recognises, and only those). Fails without creating anything when no
    // folder is given (the no-Korvane-folder reason) or the folder does not exist, with the
    // folders-busy reason when the wait ran out, and naming the lock file and the system's reason
    // when it cannot be created.
    static Result<FolderLock> acquire(const Path& korvaneFolder,
                                      std::chrono::milliseconds timeout = kWait);

    // What a step of either front end does with the files of the Korvane folder.
    enum class Use
    {
        Changes, // changes them: it runs only while it holds the lock
        Reads,   // only reads them, under the lock so as to read no change half made
    };

    // The lock a step on korvaneFolder holds while it works, taken as acquire takes it; nothing
    // when the step needs none: no folder is set, or it does not exist (the step itself says so,
    // and nothing may be created), or the step only reads and this user cannot write in the
    // folder (then nothing this user runs can be changing it, and no lock file can be made).
    static Result<std::optional<FolderLock>> acquireFor(Use use, const Path& korvaneFolder,
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
