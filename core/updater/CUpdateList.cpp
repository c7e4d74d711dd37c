#include "core/updater/CUpdateList.h"

#include "core/catalogue/CPluginList.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/catalogue/TreeCopy.h"
#include "core/platform/FileSystem.h"
#include "core/platform/KPath.h"
#include "core/updater/ArchiveWriter.h"
#include "core/updater/Blake2bDigest.h"
#include "core/updater/SignatureFetch.h"
#include "core/updater/UpdateFilePlace.h"
#include "core/updater/UpdateInstallation.h"
#include "res/Strings.h"

#include <filesystem>
#include <limits>
#include <QString>
#include <QUrl>
#include <system_error>

namespace korvane {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMagic = "UPDATE";
constexpr int kStatusOk = 200;

// Marks an update as being installed for as long as the installation runs.
class InstallingMark
{
public:
    explicit InstallingMark(CUpdateInfo& update) : m_update(update)
    {
        m_update.m_bInstalling = true;
    }
    ~InstallingMark() { m_update.m_bInstalling = false; }
    InstallingMark(const InstallingMark&) = delete;
    InstallingMark& operator=(const InstallingMark&) = delete;

private:
    CUpdateInfo& m_update;
};

// A file that is there with the size the list gives it. A folder has no size of its own, as the
// Windows file attributes give it.
bool HasListedSize(const fs::path& path, std::uint32_t size)
{
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (ec || !fs::exists(status))
        return false;
    const std::uintmax_t found = fs::is_regular_file(status) ? fs::file_size(path, ec) : 0;
    return !ec && found == size;
}

} // namespace

korvane::Status CUpdateList::DownloadList(const std::string& url, const UpdateTrust& trust,
                                          const ListProgress& progress)
{
    RemoveAll();
    HttpClient session(m_transferOptions);
    UpdateListReader reader;
    Blake2bDigest digest;
    std::uint64_t received = 0;
    const auto onResponse = [&reader](const HttpClient::Response& response) {
        if (response.statusCode != kStatusOk)
            return false;
        if (response.contentLength)
            reader.ExpectLength(*response.contentLength);
        return reader.IsReading();
    };
    const auto onBody = [&](std::string_view piece) {
        digest.Add(piece);
        received += piece.size();
        return reader.Feed(piece);
    };
    const auto transfer = session.Get(url, onResponse, onBody, progress);
    const auto fail = [](DownloadFailure kind, std::string reason) {
        return korvane::Status::Failure(kind, std::move(reason));
    };
    if (transfer.is(HttpClient::Failure::InternetError))
        return fail(DownloadFailure::InternetError, transfer.reason());
    if (!transfer)
        return fail(DownloadFailure::Unreadable, transfer.reason());
    if (transfer->response.statusCode != kStatusOk)
        return fail(DownloadFailure::NoList,
                    HttpClient::StatusReason(transfer->response.statusCode));
    if (transfer->stopped && reader.IsReading())
        return fail(DownloadFailure::Cancelled, strings::kReasonInterrupted);
    reader.Finish();
    if (korvane::Status read = reader.Outcome(); !read)
        return fail(DownloadFailure::Unreadable, read.reason());
    // The records are of no use until the signature says they may be.
    bool cancelled = false;
    const auto signature = signatures::Fetch(session, url, [&](std::uint64_t) {
        cancelled = progress && !progress(received);
        return !cancelled;
    });
    if (cancelled)
        return fail(DownloadFailure::Cancelled, strings::kReasonInterrupted);
    auto said = trust.CheckList(signature, digest.Finish());
    if (!said)
        return fail(DownloadFailure::Refused, said.reason());
    m_signature = std::move(said).value();
    m_trust = trust;
    m_overHttps = QUrl(QString::fromStdString(url))
                      .scheme()
                      .compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
    m_arrUpdates = reader.TakeUpdates();
    return korvane::Status::Success();
}

korvane::Status CUpdateList::Load(std::string_view bytes)
{
    RemoveAll();
    UpdateListReader reader;
    reader.Feed(bytes);
    reader.Finish();
    m_arrUpdates = reader.TakeUpdates();
    return reader.Outcome();
}

void CUpdateList::Serialize(ArchiveWriter& ar) const
{
    if (m_arrUpdates.size() > static_cast<size_t>(std::numeric_limits<std::int32_t>::max())) {
        ar.Fail(strings::kReasonTooManyUpdatesToWrite);
        return;
    }
    ar.WriteBytes(kMagic);
    ar.WriteByte(1); // list format version
    ar.WriteDword(static_cast<std::uint32_t>(m_arrUpdates.size()));
    for (const auto& update : m_arrUpdates)
        update->Serialize(ar);
}

void CUpdateList::RemoveAll()
{
    m_arrUpdates.clear();
    m_signature = {};
    m_trust = {};
    m_overHttps = false;
}

bool CUpdateList::IsInstalled(const Path& korvaneFolder, int index) const
{
    CPluginList inUse;
    if (!korvaneFolder.Stored().empty())
        inUse.Rescan(korvane::PluginsFolder(korvaneFolder.AsFolder()).Stored());
    return IsInstalled(korvaneFolder, index, &inUse);
}

bool CUpdateList::IsInstalled(const Path& korvaneFolder, int index, const CPluginList* inUse) const
{
    const CUpdateInfo& update = GetAt(index);
    if (update.m_arrFiles.empty())
        return true;
    if (korvaneFolder.Stored().empty())
        return false;
    const auto places = UpdateFilePlace::Of(update, korvaneFolder);
    if (!places)
        return false;
    for (const UpdateFilePlace& place : *places) {
        const fs::path stored = place.StoredPath();
        if (!HasListedSize(stored, place.file->m_dwSize))
            return false;
        // The plug-in in use runs its copies, which must be storage's. A copy it lacks (putting
        // a plug-in in use copies only its scripts) runs nothing.
        const auto copy = place.InUseCopy(inUse);
        if (copy && kfs::Exists(*copy) && !fileops::SameAsCopy(*copy, stored).ok())
            return false;
    }
    return true;
}

korvane::Status CUpdateList::InstallUpdate(int index, const Path& korvaneFolder,
                                           const CPluginList* inUse, const FileProgress& progress,
                                           const StopRequest& stop,
                                           std::vector<std::string>* keptCopies)
{
    if (index < 0 || index >= GetSize())
        return korvane::Status::Failure(
            QString::fromUtf8(strings::kReasonNoSuchUpdate).arg(index).toStdString());
    CUpdateInfo& update = GetAt(index);
    const InstallingMark mark(update);
    UpdateInstallation installation(update, korvaneFolder, inUse, m_transferOptions, m_trust,
                                    m_overHttps);
    return installation.Run(progress, stop, keptCopies);
}

} // namespace korvane
