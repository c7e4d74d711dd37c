#include "cli/UpdateCommands.h"

#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/InstallProgress.h"
#include "cli/Interruption.h"
#include "cli/Output.h"
#include "cli/SettleOptions.h"
#include "core/catalogue/TextEncoding.h"
#include "core/platform/ProfileEntries.h"
#include "core/platform/UrlText.h"
#include "core/updater/CUpdateList.h"
#include "core/updater/HeldPlugins.h"
#include "core/updater/InstallWorker.h"
#include "core/updater/UpdatePreview.h"
#include "core/updater/UpdateSource.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <memory>
#include <QCommandLineParser>
#include <vector>

namespace korvane {

namespace {

constexpr QLatin1StringView kUrl("url");
constexpr QLatin1StringView kKey("key");
constexpr QLatin1StringView kFiles("files");
constexpr QLatin1StringView kIncludeHeld("include-held");

std::optional<std::string> Given(const QCommandLineParser& arguments, QLatin1StringView option)
{
    if (!arguments.isSet(option))
        return std::nullopt;
    return arguments.value(option).toStdString();
}

UpdateSource SourceOf(const CliSession& session, const QCommandLineParser& arguments)
{
    return UpdateSource(session.Profile(), Given(arguments, kUrl), Given(arguments, kKey));
}

QString WithReason(const QString& message, const korvane::Status& status)
{
    return strings::Text(strings::kCliFailedBecause)
        .arg(message, QString::fromStdString(status.reason()));
}

// What the player is told of a list that no pinned key checked.
void WarnUnchecked(CliSession& session, const ListSignature& signature)
{
    if (signature.state == ListSignature::State::Unsigned)
        session.Err() << strings::kCliListNotSigned << '\n';
    else if (signature.state == ListSignature::State::Unchecked)
        session.Err() << strings::Text(strings::kCliListSignedUnchecked)
                             .arg(QString::fromStdString(signature.keyId))
                             .toStdString()
                      << '\n';
}

// Downloads the update list; false, after saying why, when there is none to show. A server
// without the list is a failure here, unlike in the window, so that a script can tell.
bool Download(CliSession& session, CUpdateList& updates, const UpdateSource& source)
{
    const korvane::Status download = source.Download(updates);
    const QString address = QString::fromStdString(urltext::WithoutUserInfo(source.Url()));
    using Failure = CUpdateList::DownloadFailure;
    if (download)
        WarnUnchecked(session, updates.Signature());
    else if (download.is(Failure::Unreadable))
        session.Fail(WithReason(strings::Text(strings::kUpdateListUnreadable), download));
    else if (download.is(Failure::Refused))
        session.Fail(WithReason(strings::Text(strings::kCliListRefused).arg(address), download));
    else
        session.Fail(
            WithReason(strings::Text(strings::kCliListNotDownloaded).arg(address), download));
    return download.ok();
}

// updates --files: each file of each update, in the terms of the window's View Info.
void PrintFiles(CliSession& session, const CUpdateList& updates, const Path& korvaneFolder)
{
    for (int i = 0; i < updates.GetSize(); ++i) {
        const UpdatePreview preview = UpdatePreview::Of(updates, i, korvaneFolder);
        for (const UpdatePreview::File& file : preview.Files())
            session.Out() << clioutput::TabSeparated(
                {std::to_string(i), file.place, std::to_string(file.size),
                 UpdatePreview::ReplacesText(file), UpdatePreview::NoteText(file)});
    }
}

int Updates(CliSession& session, const QCommandLineParser& arguments)
{
    const auto korvaneFolder = session.RequireKorvaneFolder();
    if (!korvaneFolder)
        return kExitFailure;
    CUpdateList updates;
    if (!Download(session, updates, SourceOf(session, arguments)))
        return kExitFailure;
    if (arguments.isSet(kFiles)) {
        PrintFiles(session, updates, *korvaneFolder);
        return kExitSuccess;
    }
    const HeldPlugins held = HeldPlugins::Load(session.Profile());
    for (int i = 0; i < updates.GetSize(); ++i) {
        const CUpdateInfo& update = updates.GetAt(i);
        const char* installed = strings::kInstalledHeld;
        if (held.ReplacedBy(update, *korvaneFolder).empty())
            installed = updates.IsInstalled(*korvaneFolder, i) ? strings::kInstalledYes
                                                               : strings::kInstalledNo;
        session.Out() << clioutput::TabSeparated(
            {std::to_string(i), update.m_strUpdateName, update.VersionText(), installed});
    }
    return kExitSuccess;
}

// Says, naming them, that the update was passed over for the held plug-ins it would replace;
// false when it would replace none.
bool PassOverHeld(CliSession& session, const CUpdateInfo& update, const HeldPlugins& held,
                  const Path& korvaneFolder)
{
    const std::vector<std::string> keys = held.ReplacedBy(update, korvaneFolder);
    if (keys.empty())
        return false;
    QStringList names;
    for (const std::string& key : keys)
        names << u'"' + QString::fromStdString(key) + u'"';
    const QString updateName = QString::fromStdString(textencoding::ToUtf8(update.m_strUpdateName) +
                                                      ' ' + update.VersionText());
    session.Fail(
        strings::Text(keys.size() == 1 ? strings::kCliUpdateHeldOne : strings::kCliUpdateHeldMany)
            .arg(updateName, names.join(QStringLiteral(", "))));
    return true;
}

// The indexes the arguments give, or nothing after a usage error.
std::optional<std::vector<int>> Indexes(CliSession& session, const QStringList& arguments)
{
    std::vector<int> indexes;
    for (const QString& argument : arguments) {
        bool isNumber = false;
        const int index = argument.toInt(&isNumber);
        if (!isNumber || index < 0) {
            session.UsageError(strings::Text(strings::kCliBadIndex).arg(argument));
            return std::nullopt;
        }
        indexes.push_back(index);
    }
    return indexes;
}

// The installation of update index, its progress shown on a terminal.
KorvaneWorkflow::Installation Installation(CliSession& session,
                                           const std::shared_ptr<CUpdateList>& updates, int index,
                                           const Path& korvaneFolder,
                                           const Interruption& interruption)
{
    return [&session, updates, index, korvaneFolder, &interruption](settle::Copies& kept) {
        const InstallParams params{index, korvaneFolder, updates};
        const auto stop = [&interruption] { return interruption.Requested(); };
        if (!InstallProgress::StandardErrorIsTerminal())
            return InstallThreadProc(params, {}, stop, &kept);
        InstallProgress progress(session.Err());
        progress.Start(updates->GetAt(index).m_strUpdateName);
        auto status = InstallThreadProc(
            params,
            [&progress](const CUpdateFileInfo& file, std::uint64_t received) {
                progress.Received(file, received);
            },
            stop, &kept);
        progress.Finish();
        return status;
    };
}

// One line on standard output for each update that is in place, so that a script can tell.
void ReportInstalled(CliSession& session, const CUpdateInfo& update)
{
    const QString line =
        strings::Text(strings::kCliInstalled)
            .arg(QString::fromStdString(textencoding::ToUtf8(update.m_strUpdateName)),
                 QString::fromStdString(update.VersionText()));
    session.Out() << clioutput::TabSeparated({line.toStdString()});
}

int Install(CliSession& session, const QCommandLineParser& arguments)
{
    const auto indexes = Indexes(session, arguments.positionalArguments());
    if (!indexes)
        return kExitUsage;
    const auto choice = clisettle::ChoiceOf(session, arguments);
    if (!choice)
        return kExitUsage;
    const auto korvaneFolder = session.RequireKorvaneFolder();
    if (!korvaneFolder)
        return kExitFailure;
    const auto updates = std::make_shared<CUpdateList>();
    if (!Download(session, *updates, SourceOf(session, arguments)))
        return kExitFailure;
    // Every index is checked before anything is installed, so that a mistyped one changes
    // nothing.
    bool allListed = true;
    for (const int index : *indexes) {
        if (index >= updates->GetSize()) {
            session.Fail(strings::Text(strings::kCliNoSuchUpdate).arg(index));
            allListed = false;
        }
    }
    if (!allListed)
        return kExitFailure;

    // Every update is tried, unless a signal asks to stop; each failure is told with its reason,
    // after each update passed over for held plug-ins. An update cut short by the signal
    // replaces nothing.
    const Interruption interruption;
    const HeldPlugins held =
        arguments.isSet(kIncludeHeld) ? HeldPlugins() : HeldPlugins::Load(session.Profile());
    std::vector<korvane::Status> failures;
    bool refused = false;    // for copies in use the player changed
    bool passedOver = false; // for held plug-ins
    for (const int index : *indexes) {
        if (interruption.Requested()) {
            if (failures.empty())
                failures.push_back(korvane::Status::Failure(strings::kReasonInterrupted));
            break;
        }
        if (PassOverHeld(session, updates->GetAt(index), held, *korvaneFolder)) {
            passedOver = true;
            continue;
        }
        auto installed = session.Workflow().install(
            Installation(session, updates, index, *korvaneFolder, interruption), *choice);
        refused = refused || !installed.differing.empty();
        if (installed.result)
            ReportInstalled(session, updates->GetAt(index));
        else
            failures.push_back(std::move(installed.result));
    }
    if (failures.empty() && !passedOver)
        return kExitSuccess;
    if (passedOver)
        session.Err() << strings::kCliHeldHint << '\n';
    int failed = kExitFailure;
    for (const korvane::Status& failure : failures)
        failed = session.Fail(WithReason(strings::Text(strings::kInstallFailed), failure));
    if (refused)
        clisettle::Hint(session);
    if (interruption.Requested())
        session.Fail(strings::Text(strings::kCliStoppedBySignal).arg(interruption.SignalName()));
    return failed;
}

} // namespace

std::vector<Command> UpdateCommands()
{
    const QList<QCommandLineOption> url{ValueOption(kUrl, QStringLiteral("URL")),
                                        ValueOption(kKey, QStringLiteral("KEYS"))};
    const QList<QCommandLineOption> install =
        url + clisettle::Options() + QList{FlagOption(kIncludeHeld)};
    return {
        {.name = QStringLiteral("updates"),
         .usage = strings::kCliUpdatesUsage,
         .help = strings::kCliUpdatesHelp,
         .options = url + QList{FlagOption(kFiles)},
         .run = Updates},
        {.name = QStringLiteral("install"),
         .usage = strings::kCliInstallUsage,
         .help = strings::kCliInstallHelp,
         .options = install,
         .argumentName = QStringLiteral("INDEX"),
         .minArguments = 1,
         .maxArguments = -1,
         .run = Install,
         .changesKorvaneFolder = true},
    };
}

} // namespace korvane
