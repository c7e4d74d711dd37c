#pragma once

#include "core/catalogue/CommandMessages.h"
#include "core/catalogue/KorvaneWorkflow.h"
#include "core/platform/FolderLock.h"
#include "core/platform/Path.h"
#include "core/platform/SettingsProfile.h"
#include "core/platform/Status.h"

#include <chrono>
#include <optional>
#include <ostream>
#include <QString>
#include <string>
#include <string_view>

namespace korvane {

struct Command;

// What one run of korvane-cli works with: the window's settings profile, the folders given on
// the command line in place of the profile's, the output streams, and the command being run.
class CliSession
{
public:
    CliSession(SettingsProfile profile, std::ostream& out, std::ostream& err);

    const SettingsProfile& Profile() const { return m_profile; }
    std::ostream& Out() { return m_out; }
    std::ostream& Err() { return m_err; }

    // Folders given on the command line replace the profile's for this run.
    void OverrideKorvaneFolder(std::string folder) { m_korvaneOverride = std::move(folder); }
    void OverrideTribesFolder(std::string folder) { m_tribesOverride = std::move(folder); }
    // The folder as the window would read it now (empty: not set), or the one given instead.
    std::string KorvaneFolder() const;
    std::string TribesFolder() const;
    // The Korvane folder when it is set and exists; otherwise reports why and gives nothing.
    std::optional<Path> RequireKorvaneFolder();

    void SetCommand(const Command* command) { m_command = command; }

    // The commands on the Korvane folder, made the first time one runs: the folder, and the
    // profile's start-up refresh, are those of this run. Its lock waits LockWait().
    KorvaneWorkflow& Workflow();

    // How long a command waits for another Korvane Manager to finish with the Korvane folder.
    std::chrono::milliseconds LockWait() const { return m_lockWait; }
    void SetLockWait(std::chrono::milliseconds wait) { m_lockWait = wait; }

    // Writes the message on standard error and returns kExitFailure.
    int Fail(std::string_view message);
    int Fail(const QString& message);
    // The message, then the reason of the failure on a line of its own.
    int Fail(std::string_view message, const korvane::Status& failure);
    int Fail(const QString& message, const korvane::Status& failure);
    // The message, then its reason, if any, on a line of its own.
    int Fail(const commandmessages::Message& message);
    // Writes the reason, the usage line and where help is, and returns kExitUsage.
    int UsageError(const QString& reason);

private:
    SettingsProfile m_profile;
    std::ostream& m_out;
    std::ostream& m_err;
    std::optional<std::string> m_korvaneOverride;
    std::optional<std::string> m_tribesOverride;
    const Command* m_command = nullptr;
    std::optional<KorvaneWorkflow> m_workflow;
    std::chrono::milliseconds m_lockWait = korvane::FolderLock::kWait;
};

} // namespace korvane
