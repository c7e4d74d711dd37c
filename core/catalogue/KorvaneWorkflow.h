#pragma once

#include "core/catalogue/CPluginList.h"
#include "core/catalogue/DescriptionFile.h"
#include "core/catalogue/PluginConfiguration.h"
#include "core/catalogue/SettleCopies.h"
#include "core/catalogue/StorageSync.h"
#include "core/platform/FolderLock.h"
#include "core/platform/Path.h"
#include "core/platform/Status.h"

#include <functional>
#include <string>
#include <variant>
#include <vector>

namespace korvane {

// How a command settles copies in use that differ from storage's: for the copies the player was
// shown (the window asks first), or with one choice for every such copy the command finds
// (korvane-cli's --keep-mine and --use-storage, given before anything is found).
using SettleWith = std::variant<settle::Settlement, settle::Choice>;

// The result of a command that refuses copies in use that differ from storage's, and, when it
// refused for them, those copies, found under the same lock: the player is asked about them and
// the command runs once more with the choice.
template <class T> struct Settling
{
    T result;
    settle::Copies differing;
};

// The commands both front ends run on one Korvane folder, each as one step under the folder's
// lock: the storage folder brought into step, a plug-in put in use or taken out, its description
// written, a configuration saved or loaded and the last load undone, an update installed and the
// copies it kept settled. A folder that exists and
// holds no modification's script is refused before the lock is taken: any folder could be named
// as the Korvane folder, and a command could empty its plugins folder.
class KorvaneWorkflow
{
public:
    // Runs step while this process holds the Korvane folder's lock for use; fails with the reason,
    // step not run, when it cannot be had. The window waits under a busy cursor, korvane-cli as
    // long as it was told.
    using Locking = std::function<korvane::Status(FolderLock::Use use, const Path& korvaneFolder,
                                                  const std::function<void()>& step)>;

    // An update's installation (the updater's), run under the lock. When it fails only for copies
    // in use the player changed, which it kept as they are, kept gets their paths.
    using Installation = std::function<korvane::Status(settle::Copies& kept)>;

    // The kind of the failure of a refused folder; its reason is the folder.
    enum class Refusal
    {
        NotKorvaneFolder,
    };

    // refreshPlugins: storage, when it exists already, also takes what it lacks of the plugins
    // folder (the Options' start-up refresh).
    KorvaneWorkflow(Path korvaneFolder, Locking locking, bool refreshPlugins);

    const Path& folder() const { return m_folder; }

    // Runs step under the lock, after the refusal of a folder that is not a Korvane folder. A step
    // that runs a command, or another step, runs it under the lock already held, so that a front
    // end can keep the folders still across several commands and what it shows of them.
    korvane::Status whileLocked(FolderLock::Use use, const std::function<void()>& step);

    // storagesync::Synchronise on the folder.
    korvane::Result<storagesync::Synchronisation> synchronise(CPluginList& catalogue,
                                                              CPluginList& inUse);
    korvane::Status use(const CPluginInfo& plugin);
    Settling<korvane::Status> unuse(const CPluginInfo& plugin, const SettleWith& how);
    // Writes the fields into the plug-in's description file, unless the file the record was read
    // from could not be read: what the player edited was not what the file holds.
    korvane::Status describe(CPluginInfo& plugin, const descriptionfile::Fields& fields);

    korvane::Status saveConfiguration(const std::string& name, const std::string& file,
                                      bool storeDirectory);
    // The keys a configuration saved so would name only the first plug-in of.
    std::vector<std::string> repeatedKeys(bool storeDirectory) const;
    Settling<korvane::Result<pluginconfig::LoadedConfiguration>>
    loadConfiguration(const std::string& file, const SettleWith& how);
    Settling<korvane::Result<pluginconfig::UndoneLoad>> undoLastLoad(const SettleWith& how);

    // Runs installation. The copies in use it kept are then settled by choice; refused, they go
    // with its result, for the player to choose and settleCopies to finish the update.
    Settling<korvane::Status> install(const Installation& installation, settle::Choice choice);
    // settle::Settle: the copies the player chose for.
    korvane::Status settleCopies(const settle::Settlement& settlement);

private:
    using FindDiffering = std::function<korvane::Result<settle::Copies>()>;

    // A command that settles differing copies, run under the lock: the settlement is made from
    // how, and when the command refused without one, the copies that differ go with its result.
    template <class T>
    Settling<T> settling(const SettleWith& how, const FindDiffering& find,
                         const std::function<T(const settle::Settlement&)>& command);

    Path m_folder;
    Locking m_locking;
    bool m_refreshPlugins = false;
    bool m_locked = false; // a step runs under the lock
};

} // namespace korvane
