#include "cli/CliSession.h"

#include "cli/Command.h"
#include "cli/ExitStatus.h"
#include "cli/Output.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/platform/FileSystem.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"
#include "core/platform/Settings.h"
#include "res/Strings.h"
#include "res/Text.h"

namespace korvane {

CliSession::CliSession(SettingsProfile profile, std::ostream& out, std::ostream& err)
    : m_profile(std::move(profile)), m_out(out), m_err(err)
{}

std::string CliSession::KorvaneFolder() const
{
    if (m_korvaneOverride)
        return *m_korvaneOverride;
    return Settings(m_profile).KorvaneFolder().Stored();
}

std::string CliSession::TribesFolder() const
{
    if (m_tribesOverride)
        return *m_tribesOverride;
    return Settings(m_profile).TribesFolder().Stored();
}

KorvaneWorkflow& CliSession::Workflow()
{
    if (!m_workflow) {
        const auto whileLocked = [this](FolderLock::Use use, const Path& folder,
                                        const std::function<void()>& step) {
            const auto lock = FolderLock::acquireFor(use, folder, m_lockWait);
            if (!lock)
                return lock.status();
            step();
            return korvane::Status::Success();
        };
        m_workflow.emplace(Path(KorvaneFolder()), whileLocked,
                           Settings(m_profile).RefreshPlugins());
    }
    return *m_workflow;
}

std::optional<Path> CliSession::RequireKorvaneFolder()
{
    Path folder(KorvaneFolder());
    if (folder.Stored().empty()) {
        Fail(std::string_view(strings::kCliNoKorvaneFolder));
        return std::nullopt;
    }
    if (!kfs::IsFolder(folder.OnDisk())) {
        Fail(strings::Text(strings::kCliKorvaneFolderMissing)
                 .arg(QString::fromStdString(folder.Stored())));
        return std::nullopt;
    }
    return folder;
}

int CliSession::Fail(std::string_view message)
{
    m_err << clioutput::ForTerminal(message) << '\n';
    m_err.flush();
    return kExitFailure;
}

int CliSession::Fail(const QString& message)
{
    return Fail(std::string_view(message.toStdString()));
}

int CliSession::Fail(std::string_view message, const korvane::Status& failure)
{
    m_err << clioutput::ForTerminal(message) << '\n'
          << clioutput::ForTerminal(failure.reason()) << '\n';
    m_err.flush();
    return kExitFailure;
}

int CliSession::Fail(const QString& message, const korvane::Status& failure)
{
    return Fail(std::string_view(message.toStdString()), failure);
}

int CliSession::Fail(const commandmessages::Message& message)
{
    if (message.reason.empty())
        return Fail(std::string_view(message.text));
    return Fail(std::string_view(message.text), korvane::Status::Failure(message.reason));
}

int CliSession::UsageError(const QString& reason)
{
    m_err << clioutput::ForTerminal(
                 strings::Text(strings::kCliUsageError).arg(reason).toStdString())
          << '\n';
    m_err << (m_command ? m_command->usage : strings::kCliUsage) << '\n';
    const QString command = m_command ? m_command->name + u' ' : QString();
    m_err << strings::Text(strings::kCliTryHelp).arg(command).toStdString() << '\n';
    m_err.flush();
    return kExitUsage;
}

} // namespace korvane
