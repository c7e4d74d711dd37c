#include "cli/PluginCommands.h"

#include "cli/CliSession.h"
#include "cli/ExitStatus.h"
#include "cli/Output.h"
#include "cli/SettleOptions.h"
#include "core/catalogue/CommandMessages.h"
#include "core/catalogue/CPluginList.h"
#include "core/catalogue/DescriptionFile.h"
#include "core/catalogue/FolderScan.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/catalogue/KorvaneWorkflow.h"
#include "core/catalogue/StorageSync.h"
#include "core/catalogue/TextEncoding.h"
#include "core/platform/FailureList.h"
#include "core/updater/HeldPlugins.h"
#include "res/Strings.h"
#include "res/Text.h"

#include <QCommandLineParser>
#include <vector>

namespace korvane {

namespace {

constexpr QLatin1StringView kInUse("in-use");
constexpr QLatin1StringView kJson("json");
constexpr QLatin1StringView kName("name");
constexpr QLatin1StringView kCategory("category");
constexpr QLatin1StringView kAuthor("author");
constexpr QLatin1StringView kDescription("description");

// Success when nothing could not be read; else what was printed or done is incomplete, and the
// command fails naming the folders, then the description files.
int ReadWhole(CliSession& session, const korvane::Status& folders,
              const korvane::Status& descriptions)
{
    const auto problems = commandmessages::ReadProblems(folders, descriptions);
    for (const auto& problem : problems)
        session.Fail(problem);
    return problems.empty() ? kExitSuccess : kExitFailure;
}

// ReadWhole for a listing: the scans behind it must have read every folder, and the one shown
// every description file.
int ListedWhole(CliSession& session, const CPluginList& shown, const CPluginList& inUse)
{
    FailureList unreadable;
    unreadable.Add(shown.Unreadable());
    if (&inUse != &shown)
        unreadable.Add(inUse.Unreadable());
    return ReadWhole(session, unreadable.ToStatus(), shown.UnreadableDescriptions());
}

int Sync(CliSession& session, const QCommandLineParser&)
{
    if (!session.RequireKorvaneFolder())
        return kExitFailure;
    CPluginList catalogue;
    CPluginList inUse;
    const auto synchronised = session.Workflow().synchronise(catalogue, inUse);
    if (!synchronised)
        return session.Fail(std::string_view(synchronised.reason()));
    if (synchronised->outcome == storagesync::Outcome::NoKorvaneFolder)
        return session.Fail(std::string_view(strings::kCliNoKorvaneFolder));
    // What the scans could not read is told once storage took every file.
    if (const auto problem = commandmessages::StorageProblem(*synchronised))
        return session.Fail(*problem);
    return ReadWhole(session, synchronised->unreadable, synchronised->descriptions);
}

int List(CliSession& session, const QCommandLineParser& arguments)
{
    const auto korvaneFolder = session.RequireKorvaneFolder();
    if (!korvaneFolder)
        return kExitFailure;
    const bool inUseOnly = arguments.isSet(kInUse);
    FolderScan scan;
    scan.inUse.Rescan(korvane::PluginsFolder(*korvaneFolder).Stored());
    if (!inUseOnly) {
        const Path storage = korvane::StorageFolder(*korvaneFolder);
        scan.catalogue.Rescan(storage.Stored());
        scan.DescribeTwins(storage);
    }
    const CPluginList& shown = inUseOnly ? scan.inUse : scan.catalogue;
    // A stored plug-in is in use when a copy in use stands for it, as the window marks it.
    const std::vector<bool> used =
        inUseOnly ? std::vector<bool>(shown.m_arrPlugins.size(), true) : scan.RecordsInUse();

    if (arguments.isSet(kJson)) {
        session.Out() << clioutput::PluginsJson(shown, used);
        return ListedWhole(session, shown, scan.inUse);
    }
    // Lines are gathered into blocks: a string and a write for each would cost more.
    constexpr size_t kBlock = 64 * 1024;
    std::string text;
    text.reserve(kBlock + 1024);
    for (size_t index = 0; index < shown.m_arrPlugins.size(); ++index) {
        clioutput::AppendPluginLine(text, *shown.m_arrPlugins[index], used[index]);
        if (text.size() >= kBlock) {
            session.Out() << text;
            text.clear();
        }
    }
    session.Out() << text;
    return ListedWhole(session, shown, scan.inUse);
}

// The stored plug-in a typed key names; null, after saying why, when there is none. A key is
// typed as list prints it: the program's own comparison of its bytes (letters A to Z in any case)
// finds most; a key that list decoded (a single-byte Windows name, printed as UTF-8) or typed in
// another case beyond A to Z (CAFÉ for café) is found among the keys as list prints them, when it
// names only one.
CPluginInfo* FindByKey(CliSession& session, const CPluginList& catalogue, const QString& key)
{
    if (CPluginInfo* plugin = catalogue.Find(key.toStdString()))
        return plugin;
    std::vector<CPluginInfo*> found;
    QStringList names;
    for (const auto& plugin : catalogue.m_arrPlugins) {
        const auto shown = QString::fromStdString(textencoding::ToUtf8(plugin->m_strFileName));
        if (shown.compare(key, Qt::CaseInsensitive) == 0) {
            found.push_back(plugin.get());
            names << QString::fromStdString(textencoding::ToUtf8(plugin->m_strSubdirectory)) +
                         shown;
        }
    }
    if (found.size() == 1)
        return found.front();
    if (found.empty())
        session.Fail(strings::Text(strings::kCliNoSuchPlugin).arg(key));
    else
        session.Fail(
            strings::Text(strings::kCliAmbiguousKey).arg(key, names.join(QStringLiteral(", "))));
    return nullptr;
}

// The stored plug-ins the keys name, in the order given. Every unknown key is reported, and
// then nothing is given, so that a mistyped key changes nothing.
std::optional<std::vector<CPluginInfo*>>
FindStored(CliSession& session, const CPluginList& catalogue, const QStringList& keys)
{
    std::vector<CPluginInfo*> plugins;
    bool allFound = true;
    for (const QString& key : keys) {
        if (CPluginInfo* plugin = FindByKey(session, catalogue, key))
            plugins.push_back(plugin);
        else
            allFound = false;
    }
    if (!allFound)
        return std::nullopt;
    return plugins;
}

// Runs change on each stored plug-in the arguments name; failed names the ones it failed for.
int ChangeUse(CliSession& session, const QCommandLineParser& arguments,
              const std::function<korvane::Status(const CPluginInfo&)>& change, const char* failed)
{
    const auto korvaneFolder = session.RequireKorvaneFolder();
    if (!korvaneFolder)
        return kExitFailure;
    CPluginList catalogue;
    catalogue.Rescan(korvane::StorageFolder(*korvaneFolder).Stored());
    const auto plugins = FindStored(session, catalogue, arguments.positionalArguments());
    if (!plugins)
        return kExitFailure;

    int status = kExitSuccess;
    for (const CPluginInfo* plugin : *plugins) {
        if (const auto changed = change(*plugin); !changed)
            status = session.Fail(strings::Text(failed).arg(QString::fromStdString(
                                      textencoding::ToUtf8(plugin->m_strFileName))),
                                  changed);
    }
    return status;
}

int Use(CliSession& session, const QCommandLineParser& arguments)
{
    return ChangeUse(
        session, arguments,
        [&session](const CPluginInfo& plugin) { return session.Workflow().use(plugin); },
        strings::kCliUseFailed);
}

int Unuse(CliSession& session, const QCommandLineParser& arguments)
{
    const auto choice = clisettle::ChoiceOf(session, arguments);
    if (!choice)
        return kExitUsage;
    bool refused = false;
    const int status = ChangeUse(
        session, arguments,
        [&](const CPluginInfo& plugin) {
            const auto unused = session.Workflow().unuse(plugin, *choice);
            refused = refused || !unused.differing.empty();
            return unused.result;
        },
        strings::kCliUnuseFailed);
    if (refused)
        clisettle::Hint(session);
    return status;
}

int Describe(CliSession& session, const QCommandLineParser& arguments)
{
    const auto korvaneFolder = session.RequireKorvaneFolder();
    if (!korvaneFolder)
        return kExitFailure;
    CPluginList catalogue;
    catalogue.Rescan(korvane::StorageFolder(*korvaneFolder).Stored());
    const auto plugins = FindStored(session, catalogue, arguments.positionalArguments());
    if (!plugins)
        return kExitFailure;
    CPluginInfo& plugin = *plugins->front();
    // As the editor would be left: the fields as it shows them, with the ones given replaced.
    const descriptionfile::Fields original = descriptionfile::FieldsOf(plugin);
    descriptionfile::Fields edited = descriptionfile::ShownFields(original);
    for (const auto& [option, field] :
         {std::pair{&kName, &edited.name}, std::pair{&kCategory, &edited.category},
          std::pair{&kAuthor, &edited.author}, std::pair{&kDescription, &edited.description}}) {
        if (arguments.isSet(*option))
            *field = arguments.value(*option).toStdString();
    }
    const auto written =
        session.Workflow().describe(plugin, descriptionfile::StoredEdits(original, edited));
    if (!written)
        return session.Fail(std::string_view(strings::kDescriptionWriteFailed), written);
    return kExitSuccess;
}

// Writes the held keys when they changed; fails when the settings could not be written.
int StoreHeld(CliSession& session, const HeldPlugins& held, const HeldPlugins& before)
{
    if (held.Keys() == before.Keys() || held.Store(session.Profile()))
        return kExitSuccess;
    return session.Fail(std::string_view(strings::kCliSettingsNotWritten));
}

int Hold(CliSession& session, const QCommandLineParser& arguments)
{
    const auto korvaneFolder = session.RequireKorvaneFolder();
    if (!korvaneFolder)
        return kExitFailure;
    CPluginList catalogue;
    catalogue.Rescan(korvane::StorageFolder(*korvaneFolder).Stored());
    const auto plugins = FindStored(session, catalogue, arguments.positionalArguments());
    if (!plugins)
        return kExitFailure;
    const HeldPlugins before = HeldPlugins::Load(session.Profile());
    HeldPlugins held = before;
    for (const CPluginInfo* plugin : *plugins)
        held.Hold(plugin->m_strFileName);
    return StoreHeld(session, held, before);
}

// The held keys a typed key names: each that is the key in any letter case, also beyond A to Z
// (CAFÉ for café), as use finds a key typed as list prints it.
std::vector<std::string> HeldKeysNamed(const HeldPlugins& held, const QString& typed)
{
    std::vector<std::string> named;
    for (const std::string& key : held.Keys()) {
        if (QString::fromStdString(key).compare(typed, Qt::CaseInsensitive) == 0)
            named.push_back(key);
    }
    return named;
}

// A held key is released whether or not storage still holds its plug-in: one that went from
// storage could otherwise never be released, and would keep an update from bringing it back.
int Release(CliSession& session, const QCommandLineParser& arguments)
{
    const HeldPlugins before = HeldPlugins::Load(session.Profile());
    HeldPlugins held = before;
    for (const QString& typed : arguments.positionalArguments()) {
        const std::vector<std::string> named = HeldKeysNamed(held, typed);
        if (named.empty())
            session.Err() << clioutput::ForTerminal(
                                 strings::Text(strings::kCliNotHeld).arg(typed).toStdString())
                          << '\n';
        for (const std::string& key : named)
            held.Release(key);
    }
    return StoreHeld(session, held, before);
}

} // namespace

std::vector<Command> PluginCommands()
{
    const QString key = QStringLiteral("KEY");
    const QString text = QStringLiteral("T");
    return {
        {.name = QStringLiteral("sync"),
         .usage = strings::kCliSyncUsage,
         .help = strings::kCliSyncHelp,
         .run = Sync,
         .changesKorvaneFolder = true},
        {.name = QStringLiteral("list"),
         .usage = strings::kCliListUsage,
         .help = strings::kCliListHelp,
         .options = {FlagOption(kInUse), FlagOption(kJson)},
         .run = List},
        {.name = QStringLiteral("use"),
         .usage = strings::kCliUseUsage,
         .help = strings::kCliUseHelp,
         .argumentName = key,
         .minArguments = 1,
         .maxArguments = -1,
         .run = Use,
         .changesKorvaneFolder = true},
        {.name = QStringLiteral("unuse"),
         .usage = strings::kCliUnuseUsage,
         .help = strings::kCliUnuseHelp,
         .options = clisettle::Options(),
         .argumentName = key,
         .minArguments = 1,
         .maxArguments = -1,
         .run = Unuse,
         .changesKorvaneFolder = true},
        {.name = QStringLiteral("describe"),
         .usage = strings::kCliDescribeUsage,
         .help = strings::kCliDescribeHelp,
         .options = {ValueOption(kName, text), ValueOption(kCategory, text),
                     ValueOption(kAuthor, text), ValueOption(kDescription, text)},
         .argumentName = key,
         .minArguments = 1,
         .maxArguments = 1,
         .run = Describe,
         .changesKorvaneFolder = true},
        {.name = QStringLiteral("hold"),
         .usage = strings::kCliHoldUsage,
         .help = strings::kCliHoldHelp,
         .argumentName = key,
         .minArguments = 1,
         .maxArguments = -1,
         .run = Hold},
        {.name = QStringLiteral("release"),
         .usage = strings::kCliReleaseUsage,
         .help = strings::kCliReleaseHelp,
         .argumentName = key,
         .minArguments = 1,
         .maxArguments = -1,
         .run = Release},
    };
}

} // namespace korvane
