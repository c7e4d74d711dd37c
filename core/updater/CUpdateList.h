#pragma once

#include "core/platform/HttpClient.h"
#include "core/updater/CUpdateInfo.h"
#include "core/updater/CUpdateListReader.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class ArchiveWriter;
class CPluginList;

// The updates the project's web server offers, read from its update list. The list owns its
// records. A worker installing one of them keeps the list alive through shared ownership.
class CUpdateList
{
public:
    enum class DownloadResult
    {
        Received,      // the list as the server sent it; empty for a status other than 200
        InternetError, // no server, a lost connection or a server that stopped answering
        Unreadable,    // the list ended inside a record or holds a string form not read here
    };

    // Bytes of the current file received so far, during InstallUpdate.
    using FileProgress = std::function<void(const CUpdateFileInfo& file, std::uint64_t nReceived)>;

    CUpdateList() = default;
    CUpdateList(const CUpdateList&) = delete;
    CUpdateList& operator=(const CUpdateList&) = delete;

    // Empties the list, fetches the list at strUrl and reads it while it arrives.
    DownloadResult DownloadList(const std::string& strUrl);
    // Replaces the records by those of a whole list held in memory. The records stay empty
    // unless the status is Complete.
    CUpdateListReader::Status Load(std::string_view bytes);
    // Writes the list in its byte form.
    void Serialize(ArchiveWriter& ar) const;
    void RemoveAll();

    int GetSize() const { return static_cast<int>(m_arrUpdates.size()); }
    CUpdateInfo& GetAt(int nIndex) const { return *m_arrUpdates.at(static_cast<size_t>(nIndex)); }

    // True when every file of update nIndex is present below strKorvane with its listed size.
    bool IsInstalled(const std::string& strKorvane, int nIndex) const;

    // Downloads every file of update nIndex into its place below strKorvane. A file replaces the
    // old one only after it arrived whole. Files of plug-ins in pInUse (may be null) are copied
    // into the plugins folder too. True only when every file was installed.
    bool InstallUpdate(int nIndex, const std::string& strKorvane, const CPluginList* pInUse,
                       const FileProgress& progress = {});

    std::vector<std::unique_ptr<CUpdateInfo>> m_arrUpdates;
    // How long a transfer may go without receiving anything before it counts as failed.
    std::chrono::milliseconds m_inactivityTimeout = HttpClient::kDefaultInactivityTimeout;
};
