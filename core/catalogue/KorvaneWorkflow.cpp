#include "core/catalogue/KorvaneWorkflow.h"

#include "core/catalogue/KorvaneFolders.h"
#include "core/catalogue/PluginUse.h"

#include <chrono>
#include <utility>

namespace korvane {

namespace {

// The settlement how asks for; a choice is made for the copies find lists now, none looked
// for without one.
korvane::Result<settle::Settlement>
SettlementFor(const SettleWith& how, const std::function<korvane::Result<settle::Copies>()>& find)
{
    if (const auto* settlement = std::get_if<settle::Settlement>(&how))
        return *settlement;
    const settle::Choice choice = std::get<settle::Choice>(how);
    if (choice == settle::Choice::Refuse)
        return settle::Settlement();
    auto copies = find();
    if (!copies)
        return copies.status();
    return settle::Settlement{choice, std::move(copies).value()};
}

} // namespace

KorvaneWorkflow::KorvaneWorkflow(Path korvaneFolder, Locking locking, bool refreshPlugins)
    : m_folder(std::move(korvaneFolder)), m_locking(std::move(locking)),
      m_refreshPlugins(refreshPlugins)
{}

korvane::Status KorvaneWorkflow::whileLocked(FolderLock::Use use, const std::function<void()>& step)
{
    if (m_locked) {
        step();
        return korvane::Status::Success();
    }
    if (const korvane::Status refused = RefuseUnlessKorvaneFolder(m_folder); !refused)
        return korvane::Status::Failure(Refusal::NotKorvaneFolder, refused.reason());
    return m_locking(use, m_folder, [&] {
        m_locked = true;
        step();
        m_locked = false;
    });
}

korvane::Result<storagesync::Synchronisation> KorvaneWorkflow::synchronise(CPluginList& catalogue,
                                                                           CPluginList& inUse)
{
    storagesync::Synchronisation synchronised;
    const korvane::Status locked = whileLocked(FolderLock::Use::Changes, [&] {
        synchronised = storagesync::Synchronise(m_folder, m_refreshPlugins, catalogue, inUse);
    });
    if (!locked)
        return locked;
    return synchronised;
}

korvane::Status KorvaneWorkflow::use(const CPluginInfo& plugin)
{
    korvane::Status used = korvane::Status::Success();
    const korvane::Status locked = whileLocked(
        FolderLock::Use::Changes, [&] { used = pluginuse::UsePlugin(m_folder, plugin); });
    return locked ? used : locked;
}

Settling<korvane::Status> KorvaneWorkflow::unuse(const CPluginInfo& plugin, const SettleWith& how)
{
    return settling<korvane::Status>(
        how, [&] { return pluginuse::DifferingCopies(m_folder, plugin); },
        [&](const settle::Settlement& settlement) {
            return pluginuse::UnusePlugin(m_folder, plugin, settlement);
        });
}

korvane::Status KorvaneWorkflow::describe(CPluginInfo& plugin,
                                          const descriptionfile::Fields& fields)
{
    const Path storage = StorageFolder(m_folder);
    korvane::Status written = korvane::Status::Success();
    const korvane::Status locked = whileLocked(FolderLock::Use::Changes, [&] {
        written = plugin.CheckDescriptionRead(storage.Stored());
        if (written)
            written = descriptionfile::WriteDescription(storage, plugin, fields);
    });
    return locked ? written : locked;
}

korvane::Status KorvaneWorkflow::saveConfiguration(const std::string& name, const std::string& file,
                                                   bool storeDirectory)
{
    korvane::Status saved = korvane::Status::Success();
    const korvane::Status locked = whileLocked(FolderLock::Use::Reads, [&] {
        saved = pluginconfig::SaveConfiguration(m_folder, name, file, storeDirectory);
    });
    return locked ? saved : locked;
}

std::vector<std::string> KorvaneWorkflow::repeatedKeys(bool storeDirectory) const
{
    // With its subfolders the file tells plug-ins of one key apart.
    if (storeDirectory)
        return {};
    return pluginconfig::RepeatedKeys(m_folder);
}

Settling<korvane::Result<pluginconfig::LoadedConfiguration>>
KorvaneWorkflow::loadConfiguration(const std::string& file, const SettleWith& how)
{
    return settling<korvane::Result<pluginconfig::LoadedConfiguration>>(
        how, [&] { return settle::BelowPlugins(m_folder); },
        [&](const settle::Settlement& settlement) {
            return pluginconfig::LoadConfiguration(m_folder, file, settlement);
        });
}

Settling<korvane::Result<pluginconfig::UndoneLoad>>
KorvaneWorkflow::undoLastLoad(const SettleWith& how)
{
    return settling<korvane::Result<pluginconfig::UndoneLoad>>(
        how, [&] { return settle::BelowPlugins(m_folder); },
        [&](const settle::Settlement& settlement) {
            return pluginconfig::UndoLastLoad(m_folder, settlement);
        });
}

Settling<korvane::Status> KorvaneWorkflow::install(const Installation& installation,
                                                   settle::Choice choice)
{
    Settling<korvane::Status> installed{korvane::Status::Success(), {}};
    const korvane::Status locked = whileLocked(FolderLock::Use::Changes, [&] {
        settle::Copies kept;
        installed.result = installation(kept);
        if (installed.result || kept.empty())
            return;
        if (choice == settle::Choice::Refuse)
            installed.differing = std::move(kept);
        else
            installed.result = settleCopies({choice, std::move(kept)});
    });
    if (!locked)
        installed.result = locked;
    return installed;
}

korvane::Status KorvaneWorkflow::settleCopies(const settle::Settlement& settlement)
{
    korvane::Status settled = korvane::Status::Success();
    const korvane::Status locked = whileLocked(FolderLock::Use::Changes, [&] {
        settled = settle::Settle(m_folder, settlement, std::chrono::system_clock::now()).status();
    });
    return locked ? settled : locked;
}

template <class T>
Settling<T> KorvaneWorkflow::settling(const SettleWith& how, const FindDiffering& find,
                                      const std::function<T(const settle::Settlement&)>& command)
{
    Settling<T> settled{korvane::Status::Failure(std::string()), {}};
    const korvane::Status locked = whileLocked(FolderLock::Use::Changes, [&] {
        const auto settlement = SettlementFor(how, find);
        if (!settlement) {
            settled.result = settlement.status();
            return;
        }
        settled.result = command(*settlement);
        if (!settled.result && settlement->choice == settle::Choice::Refuse)
            if (auto differing = find())
                settled.differing = std::move(differing).value();
    });
    if (!locked)
        settled.result = locked;
    return settled;
}

} // namespace korvane
