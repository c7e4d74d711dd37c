#pragma once

#include "core/platform/HttpClient.h"
#include "core/platform/Path.h"
#include "core/platform/Status.h"
#include "core/updater/CUpdateInfo.h"
#include "core/updater/ListSignature.h"
#include "core/updater/UpdateListReader.h"
#include "core/updater/UpdateTrust.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

class ArchiveWriter;
class CPluginList;

// The updates the project's web server offers, read from its update list. The list owns its
// records. A worker installing one of them keeps the list alive through shared ownership.
class CUpdateList
{
public:
    // Why DownloadList brought no list.
    enum class DownloadFailure
    {
        NoList,        // the server answered with a status other than 200: the list is empty
        InternetError, // no server, a lost connection, a stall, a bad redirect or certificate
        Unreadable,    // not an update list (a page, a script, nothing), a list that ends inside
                       // a record, holds a string form not read here or goes beyond the reader's
                       // limits, or a compressed body too large to expand
        Cancelled,     // the progress callback asked to stop
        Refused,       // a key is pinned, and the list is not what its holder signed, or older
                       // than one accepted before
    };

    // Bytes of the list received so far, a few times a second while it downloads; false
    // cancels the download.
    using ListProgress = std::function<bool(std::uint64_t received)>;

    // Bytes of the current file received so far, during InstallUpdate.
    using FileProgress = std::function<void(const CUpdateFileInfo& file, std::uint64_t received)>;
    // Asked while an installation receives its files; true stops it, and nothing is replaced.
    using StopRequest = std::function<bool()>;

    CUpdateList() = default;
    CUpdateList(const CUpdateList&) = delete;
    CUpdateList& operator=(const CUpdateList&) = delete;

    // Empties the list, fetches the list at url and reads it while it arrives, then fetches its
    // signature (SignatureFetch.h), which trust checks (UpdateTrust.h); the records are kept
    // only when it passes. Every file installed from the list is then checked under the same
    // trust. A failure has its DownloadFailure kind.
    korvane::Status DownloadList(const std::string& url, const UpdateTrust& trust,
                                 const ListProgress& progress = {});
    // As above, with no key pinned.
    korvane::Status DownloadList(const std::string& url, const ListProgress& progress = {})
    {
        return DownloadList(url, UpdateTrust(), progress);
    }
    // Replaces the records by those of a whole list held in memory. The records stay empty
    // unless the list was read whole; a failure has its UpdateListReader::Failure kind.
    korvane::Status Load(std::string_view bytes);
    // Writes the list in its byte form.
    void Serialize(ArchiveWriter& ar) const;
    void RemoveAll();

    int GetSize() const { return static_cast<int>(m_arrUpdates.size()); }
    CUpdateInfo& GetAt(int index) const { return *m_arrUpdates.at(static_cast<size_t>(index)); }

    // True when every file of update index is present below korvaneFolder with its listed size and,
    // for a plug-in in use (in inUse; the two-argument form scans the plugins folder), each copy
    // in the plugins folder holds the same bytes as storage's.
    bool IsInstalled(const Path& korvaneFolder, int index) const;
    bool IsInstalled(const Path& korvaneFolder, int index, const CPluginList* inUse) const;

    // Installs update index below korvaneFolder as a unit (see UpdateInstallation): every file is
    // received whole first, then all are put in place, storage's files and, for the plug-ins in
    // inUse (may be null), their copies in the plugins folder; or none is. Under a pinned key
    // each file must be signed by it, under its own name; without one, the files of a list that
    // came over https must come over https. Fails, naming the update and the file, unless every
    // file was installed.
    // When it fails only for copies in use the player changed, which it keeps, keptCopies (may be
    // null) gets their paths below the plugins folder.
    korvane::Status InstallUpdate(int index, const Path& korvaneFolder, const CPluginList* inUse,
                                  const FileProgress& progress = {}, const StopRequest& stop = {},
                                  std::vector<std::string>* keptCopies = nullptr);

    std::vector<std::unique_ptr<CUpdateInfo>> m_arrUpdates;
    // What the list's signature said when it was downloaded.
    const ListSignature& Signature() const { return m_signature; }

    // How the list and the files are fetched: when a transfer counts as stalled, and, in tests,
    // which certificate authority signs the loopback server's certificate.
    HttpClient::Options m_transferOptions;

private:
    ListSignature m_signature;
    UpdateTrust m_trust;      // what the files must pass, as the list did
    bool m_overHttps = false; // the list came over https: so must its files, unless signed
};

} // namespace korvane
