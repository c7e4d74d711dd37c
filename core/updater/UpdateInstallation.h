#pragma once

#include "core/platform/AtomicFile.h"
#include "core/platform/HttpClient.h"
#include "core/platform/Path.h"
#include "core/platform/Status.h"
#include "core/updater/CUpdateList.h"
#include "core/updater/InstallJournal.h"
#include "core/updater/UpdateFilePlace.h"
#include "core/updater/UpdateTrust.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <QByteArray>
#include <string>
#include <vector>

namespace korvane {

class CPluginList;

// The installation of one update as a unit. Every file is first received whole, with its listed
// size, into a temporary file beside its target (and beside its copy in use, for a plug-in in
// use); only then are the files put in place, the copies in use before storage's files, so that
// storage keeps the old bytes a copy in use is recognised by until every copy is refreshed. When
// a file cannot be put in place, those already replaced are put back; the folders the update
// created go again. Before anything is replaced, a whole copy of every file that is, flushed to
// the disk, goes into a new folder of backups\ at its path below the Korvane folder
// (SetAsideCopies.h); without it nothing is replaced. A copy in use that holds neither storage's
// bytes nor the update's is the player's own: it is kept and named. Under a pinned key, each
// file's signature is fetched before it and checked once it is received, so that nothing its
// holder did not sign is put in place. Runs on any thread, under the Korvane folder's lock.
class UpdateInstallation
{
public:
    // trust is the list's; overHttps says that the list came over https, so that, unless a key
    // is pinned, no file may come over plain http.
    UpdateInstallation(const CUpdateInfo& update, Path korvaneFolder, const CPluginList* inUse,
                       const HttpClient::Options& transfer, const UpdateTrust& trust,
                       bool overHttps);
    UpdateInstallation(const UpdateInstallation&) = delete;
    UpdateInstallation& operator=(const UpdateInstallation&) = delete;
    ~UpdateInstallation();

    // Fails, naming the update and the file, unless every file and copy in use is in place. When
    // only copies in use the player changed were kept, keptCopies (may be null) gets their paths
    // below the plugins folder, for a settlement (SettleCopies.h).
    korvane::Status Run(const CUpdateList::FileProgress& progress,
                        const CUpdateList::StopRequest& stop,
                        std::vector<std::string>* keptCopies = nullptr);

private:
    // What becomes of a file's copy in use once the update's bytes are known.
    enum class CopyAction
    {
        None,      // no copy in use to follow
        Refresh,   // it gets the update's bytes
        Undecided, // neither storage's copy, the updater's nor missing: Current or Kept
        Current,   // it holds the update's bytes already
        Kept,      // the player's own: left as it is
    };

    // One file received, waiting to be put in place.
    struct Staged
    {
        const UpdateFilePlace* place = nullptr;
        std::unique_ptr<kfs::AtomicFile> stored;
        std::optional<std::filesystem::path> copy;
        std::unique_ptr<kfs::AtomicFile> copyFile; // the copy's new bytes, while they may be used
        CopyAction action = CopyAction::None;
        QByteArray digest; // of the update's bytes
        QByteArray held;   // of the copy's bytes, when Undecided
    };

    // A file put in place, and how to put back what it replaced.
    struct Replaced
    {
        std::filesystem::path target;
        std::optional<std::filesystem::path> keep; // the old file, linked or copied aside
        size_t staged = 0;
        bool copyInUse = false;
    };

    korvane::Status CheckTransport() const;
    korvane::Status CreateFolders();
    korvane::Status Stage(const UpdateFilePlace& place, const CUpdateList::FileProgress& progress,
                          const CUpdateList::StopRequest& stop);
    korvane::Status Receive(Staged& staged, const CUpdateList::FileProgress& progress,
                            const CUpdateList::StopRequest& stop, Blake2bDigest* signedDigest);
    korvane::Status ReceiveSigned(Staged& staged, const CUpdateList::FileProgress& progress,
                                  const CUpdateList::StopRequest& stop);
    korvane::Status Decide(Staged& staged);
    korvane::Status PutInPlace();
    korvane::Status BackUpReplaced() const;
    korvane::Status Replace(kfs::AtomicFile& file, size_t staged, bool copyInUse);
    // Puts back every replaced file it can; the files that still hold the new version.
    std::vector<std::string> PutBack();
    void RemoveCreatedFolders();
    korvane::Status KeptCopies() const;

    korvane::Status Failure(const std::string& cause) const;
    korvane::Status Failure(const UpdateFilePlace& place, const std::string& cause) const;

    const CUpdateInfo& m_update;
    const Path m_korvaneFolder;
    const CPluginList* const m_inUse;
    const UpdateTrust& m_trust;
    const bool m_overHttps;
    HttpClient m_session;
    InstallJournal m_journal;
    std::vector<UpdateFilePlace> m_places;
    std::vector<Staged> m_staged;
    std::vector<Replaced> m_replaced;
    std::vector<Path> m_createdFolders;
};

} // namespace korvane
