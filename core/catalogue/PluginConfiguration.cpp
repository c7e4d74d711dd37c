#include "core/catalogue/PluginConfiguration.h"

#include "core/catalogue/ConfigBackup.h"
#include "core/catalogue/FolderListings.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/catalogue/PluginTreeScan.h"
#include "core/catalogue/TreeCopy.h"
#include "core/platform/FileSystem.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"
#include "res/Strings.h"

#include <unordered_map>
#include <utility>

namespace korvane::pluginconfig {
namespace {

// The paths below plugins of the scripts a configuration puts in use, as DeleteTree keeps them.
std::unordered_set<std::string> ScriptsNamed(const CPluginList& plugins)
{
    std::unordered_set<std::string> paths;
    for (const auto& plugin : plugins.m_arrPlugins) {
        std::string path;
        for (const char c : plugin->m_strSubdirectory)
            path.push_back(kpath::IsSeparator(c) ? '/' : c);
        paths.insert(kpath::Lowered(path + plugin->m_strFileName + ".cs"));
    }
    return paths;
}

} // namespace

korvane::Status SaveConfiguration(const Path& korvaneFolder, const std::string& configName,
                                  const std::string& file, bool storeDirectory)
{
    // Without a Korvane folder there is no plugins folder to record.
    if (korvaneFolder.Stored().empty())
        return korvane::Status::Failure(strings::kReasonNoKorvaneFolderSet);
    CPluginList inUse;
    inUse.Rescan(korvane::PluginsFolder(korvaneFolder).Stored());
    // A configuration of the plug-ins that could be listed would pass for the whole set.
    if (auto unreadable = inUse.Unreadable(); !unreadable)
        return unreadable;
    inUse.m_strConfigName = configName;
    return inUse.WriteConfig(file, storeDirectory);
}

namespace {

// When a load records the backup it made as the one to undo to.
enum class Record
{
    BeforeChanging, // a load of a file: before anything in use changes
    ByCaller,       // an undo: only once the set it loads is wholly back in use
};

korvane::Result<LoadedConfiguration> Load(const Path& korvaneFolder, const std::string& file,
                                          const settle::Settlement& settlement, Record record)
{
    // Without a Korvane folder the two folders would be taken relative to wherever the program
    // runs, and emptying "plugins" there could destroy anything.
    if (korvaneFolder.Stored().empty())
        return korvane::Status::Failure(strings::kReasonNoKorvaneFolderSet);
    const Path storage = korvane::StorageFolder(korvaneFolder);
    const Path plugins = korvane::PluginsFolder(korvaneFolder);
    const auto bytes = CPluginList::ReadConfigFile(Path(file).OnDisk());
    if (!bytes)
        return bytes.status();
    // The plugins folder may hold the only copy of a plug-in or of any other file: it goes into
    // storage, never replacing what storage has, before the folder is emptied, and when any of it
    // cannot, or storage's copy differs, the folder is not emptied. The file is read against
    // storage after that, so a plug-in it names that only the plugins folder had is found.
    if (auto ready = kfs::EnsureFolder(storage.OnDisk()); !ready)
        return ready;
    // The copies the player settled set aside what gave way under the name the backup of the set
    // in use will have, so that an undo of this load finds them.
    const auto now = std::chrono::system_clock::now();
    std::string stem;
    if (settlement.choice != settle::Choice::Refuse && !settlement.copies.empty()) {
        auto reserved = configbackup::NewStem(korvaneFolder, now);
        if (!reserved)
            return reserved.status();
        stem = std::move(reserved).value();
        if (auto settled = settle::SettleInto(korvaneFolder, settlement, stem); !settled)
            return settled;
    }
    if (auto secured = fileops::CopyTree(plugins, storage, fileops::Existing::MustMatch); !secured)
        return secured;
    LoadedConfiguration loaded;
    // A plug-in named that storage lacks cannot be put in use: the load is incomplete.
    for (std::string& key : loaded.plugins.ReadConfigText(*bytes, storage))
        loaded.notCopied.push_back({key, loaded.plugins.RefusedByName(key)
                                             ? strings::kReasonNotWindowsName
                                             : strings::kReasonNotInStorage});
    // Storage could not be read whole: what seems to be missing may be there, and the plugins
    // folder stays as it is.
    if (auto unreadable = loaded.plugins.Unreadable(); !unreadable)
        return unreadable;
    // Storage now holds every plug-in in use, so a backup naming them can bring the set back.
    auto backup = configbackup::BackUpPluginsInUse(korvaneFolder, now, stem);
    if (!backup)
        return korvane::Status::Failure(strings::kReasonInUseNotBackedUp + backup.reason());
    loaded.backup = std::move(backup).value();
    if (record == Record::BeforeChanging)
        if (auto recorded = configbackup::RecordLastLoad(korvaneFolder, loaded.backup); !recorded)
            return korvane::Status::Failure(strings::kReasonNotRecorded + recorded.reason());
    // Every script in plugins is the same as storage's now, so the scripts the file puts in use
    // again may stay: writing them anew would only cost the file system.
    if (auto emptied = fileops::DeleteTree(plugins, ScriptsNamed(loaded.plugins)); !emptied)
        return emptied;
    fileops::FolderListings listings;
    for (const auto& plugin : loaded.plugins.m_arrPlugins) {
        if (auto copied = plugin->CopyFiles(storage.Stored(), plugins.Stored(), false, listings);
            !copied)
            loaded.notCopied.push_back({plugin->m_strFileName, copied.reason()});
    }
    return loaded;
}

} // namespace

korvane::Result<LoadedConfiguration> LoadConfiguration(const Path& korvaneFolder,
                                                       const std::string& file,
                                                       const settle::Settlement& settlement)
{
    return Load(korvaneFolder, file, settlement, Record::BeforeChanging);
}

korvane::Result<UndoneLoad> UndoLastLoad(const Path& korvaneFolder,
                                         const settle::Settlement& settlement)
{
    if (korvaneFolder.Stored().empty())
        return korvane::Status::Failure(strings::kReasonNoKorvaneFolderSet);
    const auto recorded = configbackup::LastLoad(korvaneFolder);
    if (!recorded)
        return recorded.status();
    if (recorded->empty())
        return UndoneLoad();
    const std::string& backup = *recorded;
    const auto file = configbackup::BackupFolder(korvaneFolder).OnDisk() / backup;
    if (kfs::IsMissing(file))
        return korvane::Status::Failure(kpath::FromNative(file) + ": " +
                                        strings::kReasonRecordedBackupMissing);
    // Until the set is wholly back, the record names this backup still, so that the next undo
    // loads it again after a failure or a crash.
    auto loaded = Load(korvaneFolder, kpath::FromNative(file), settlement, Record::ByCaller);
    if (!loaded)
        return loaded.status();
    if (!loaded->notCopied.empty())
        return UndoneLoad{backup, std::move(loaded).value()};
    // The copies in use that the undone load set aside take the places of storage's, and only
    // with them in place is the set the undo replaced the one to undo to.
    const auto recordReplaced = [&] {
        auto replaced = configbackup::RecordLastLoad(korvaneFolder, loaded->backup);
        if (replaced)
            return replaced;
        // A record that failed only in its flush may name the new backup: it names this one again.
        const std::string reason = strings::kReasonUndoNotRecorded + replaced.reason();
        if (auto again = configbackup::RecordLastLoad(korvaneFolder, backup); !again)
            return korvane::Status::Failure(reason + "; " + again.reason());
        return korvane::Status::Failure(reason);
    };
    if (auto restored = settle::RestoreCopiesInUse(korvaneFolder, configbackup::BackupStem(backup),
                                                   recordReplaced);
        !restored)
        return restored;
    // One that cannot be removed stays as an older backup. Its folder of files set aside stays:
    // it may hold storage's bytes that a copy in use replaced.
    (void)kfs::RemoveFile(file);
    return UndoneLoad{backup, std::move(loaded).value()};
}

std::vector<std::string> RepeatedKeys(const Path& korvaneFolder)
{
    std::vector<std::string> repeated;
    if (korvaneFolder.Stored().empty())
        return repeated;
    // Lower-cased key to the first spelling met and how often it was met.
    std::unordered_map<std::string, std::pair<std::string, int>> seen;
    const auto every = ScanPluginTree(korvane::PluginsFolder(korvaneFolder));
    if (!every)
        return repeated;
    for (const auto& plugin : every->m_arrPlugins) {
        auto& [first, count] =
            seen.try_emplace(kpath::Lowered(plugin->m_strFileName), plugin->m_strFileName, 0)
                .first->second;
        if (++count == 2)
            repeated.push_back(first);
    }
    return repeated;
}

} // namespace korvane::pluginconfig
