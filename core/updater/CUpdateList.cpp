#include "core/updater/CUpdateList.h"

#include "core/catalogue/CPluginList.h"
#include "core/catalogue/FileOperations.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/catalogue/TextEncoding.h"
#include "core/platform/FileSystem.h"
#include "core/platform/KPath.h"
#include "core/updater/ArchiveWriter.h"
#include "core/updater/CreatePath.h"
#include "res/Strings.h"

#include <filesystem>
#include <limits>
#include <optional>
#include <QString>
#include <system_error>

namespace korvane {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMagic = "UPDATE";
constexpr std::string_view kStorage = "storage";
constexpr int kStatusOk = 200;

// The result of one file: installed, skipped (the update stays incomplete but the next file is
// tried) or an Internet error (nothing more is tried).
struct FileResult
{
    enum Kind
    {
        Installed,
        Skipped,
        InternetError
    } kind = Installed;
    korvane::Status status = korvane::Status::Ok();

    static FileResult Skip(std::string reason)
    {
        return {Skipped, korvane::Status::Failure(std::move(reason))};
    }
};

template <class... Args> std::string Reason(const char* text, const Args&... args)
{
    return QString::fromUtf8(text).arg(args...).toStdString();
}

// Names in the list are single-byte Windows text or UTF-8; the file system gets UTF-8.
std::string LocalName(std::string_view listBytes)
{
    return textencoding::ToUtf8(listBytes);
}

// The folder an update's files go to; a target given without its closing separator still
// names a folder.
std::string DestinationFolder(const std::string& strKorvane, const CUpdateInfo& update)
{
    std::string destination =
        kpath::WithTrailingSeparator(strKorvane) + LocalName(update.m_strTargetDir);
    if (!update.m_strTargetDir.empty() && !kpath::EndsWithSeparator(destination))
        destination.push_back(kpath::kStoredSeparator);
    return destination;
}

bool IsSafeFile(const CUpdateFileInfo& file)
{
    return kpath::IsPlainName(file.m_strFile) && kpath::IsContainedRelative(file.m_strSubDir);
}

// The list's bytes with every byte a URL cannot carry as it is percent-encoded, so that the
// server sees the name byte for byte. Within a name, '%', '#' and '?' are part of the name; in
// the base URL they keep their meaning.
std::string UrlBytes(std::string_view bytes, bool bName)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string url;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F || (bName && (c == '%' || c == '#' || c == '?'))) {
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 0xF];
        } else {
            url += c;
        }
    }
    return url;
}

std::string FileUrl(const CUpdateInfo& update, const CUpdateFileInfo& file)
{
    std::string subDir = file.m_strSubDir;
    for (char& c : subDir) {
        if (c == '\\')
            c = '/';
    }
    return UrlBytes(update.m_strBaseURL, false) + UrlBytes(subDir, true) +
           UrlBytes(file.m_strFile, true);
}

// rel begins with the folder name "storage" (any letter case) and a separator.
bool IsBelowStorage(std::string_view rel)
{
    return rel.size() > kStorage.size() && kpath::StartsWithNoCase(rel, kStorage) &&
           kpath::IsSeparator(rel[kStorage.size()]);
}

// Where the copy of a file that belongs to a plug-in in use lives, when its update goes to
// storage: the same place below the plugins folder.
std::optional<std::string> InUseCopyPath(const std::string& strKorvane, const CUpdateInfo& update,
                                         const CUpdateFileInfo& file)
{
    const std::string plugins = korvane::PluginsFolder(kpath::WithTrailingSeparator(strKorvane));
    const std::string target = LocalName(update.m_strTargetDir);
    const std::string subDir = LocalName(file.m_strSubDir);
    const std::string name = LocalName(file.m_strFile);
    if (IsBelowStorage(target))
        return plugins + target.substr(kStorage.size() + 1) + subDir + name;
    if (target.empty() && IsBelowStorage(subDir))
        return plugins + subDir.substr(kStorage.size() + 1) + name;
    return std::nullopt;
}

bool BelongsToPluginInUse(const std::string& name, const CPluginList& inUse)
{
    const size_t dot = name.find('.');
    return dot != std::string::npos && dot > 0 &&
           inUse.Exists(std::string_view(name).substr(0, dot));
}

// Receives one file into stored (not yet committed) whole and with the size the list gives it.
FileResult ReceiveFile(HttpClient& session, const std::string& url, const CUpdateFileInfo& file,
                       const CUpdateList::FileProgress& progress, kfs::AtomicFile& stored)
{
    const QString name = QString::fromStdString(LocalName(file.m_strFile));
    std::string refusal; // why the body is not taken
    std::uint64_t received = 0;
    bool notSaved = false;
    const auto onResponse = [&](const HttpClient::Response& response) {
        if (response.nStatus != kStatusOk)
            refusal = HttpClient::StatusReason(response.nStatus);
        else if (response.contentLength && *response.contentLength != file.m_dwSize)
            refusal =
                Reason(strings::kReasonSizeDiffers, name, QString::number(*response.contentLength),
                       QString::number(file.m_dwSize));
        return refusal.empty();
    };
    const auto onBody = [&](std::string_view piece) {
        if (piece.size() > file.m_dwSize - received) {
            refusal = Reason(strings::kReasonSizeExceeds, name, QString::number(file.m_dwSize));
            return false;
        }
        received += piece.size();
        notSaved = !stored.Append(piece);
        if (progress && !notSaved)
            progress(file, received);
        return !notSaved;
    };
    const HttpClient::Result result = session.Get(url, onResponse, onBody);
    if (notSaved)
        return FileResult::Skip(stored.Commit().reason());
    if (result.outcome == HttpClient::Outcome::InternetError)
        return {FileResult::InternetError, korvane::Status::Failure(result.reason)};
    if (result.outcome == HttpClient::Outcome::Completed && refusal.empty() &&
        received != file.m_dwSize)
        refusal = Reason(strings::kReasonSizeDiffers, name, QString::number(received),
                         QString::number(file.m_dwSize));
    return refusal.empty() ? FileResult{} : FileResult::Skip(refusal);
}

// Brings the copy in use of a stored file to what its update gave storage. A copy that was not
// storage's holds the player's own changes, which exist nowhere else, and stays as it is; where
// its folder is missing the plug-in has no copy there to refresh.
korvane::Status RefreshInUseCopy(const fs::path& copy, bool wasStorageCopy, const fs::path& stored)
{
    if (!kfs::IsFolder(copy.parent_path()))
        return korvane::Status::Ok();
    if (kfs::Exists(copy) && !wasStorageCopy) {
        if (fileops::SameAsCopy(copy, stored))
            return korvane::Status::Ok();
        return korvane::Status::Failure(
            Reason(strings::kReasonInUseDiffers, QString::fromStdString(kpath::FromNative(copy))));
    }
    return kfs::CopyFileReplacing(stored, copy);
}

FileResult InstallFile(HttpClient& session, const std::string& strKorvane,
                       const std::string& destination, const CUpdateInfo& update,
                       const CUpdateFileInfo& file, const CPluginList* pInUse,
                       const CUpdateList::FileProgress& progress)
{
    // A name from the network that could lead out of the destination is never written.
    if (!IsSafeFile(file))
        return FileResult::Skip(
            Reason(strings::kReasonUnsafeName,
                   QString::fromStdString(LocalName(file.m_strSubDir + file.m_strFile))));
    const std::string subDir = LocalName(file.m_strSubDir);
    if (!subDir.empty() && !CreatePath(destination, subDir))
        return FileResult::Skip(
            Reason(strings::kReasonFileRefused, QString::fromStdString(subDir)));
    const std::string name = LocalName(file.m_strFile);
    const fs::path local = kpath::ResolveNoCase(destination + subDir + name);
    kfs::AtomicFile stored(local);
    if (!stored.Ok()) // a write-protected file is refused before anything is downloaded
        return FileResult::Skip(stored.Commit().reason());
    if (FileResult received = ReceiveFile(session, FileUrl(update, file), file, progress, stored);
        received.kind != FileResult::Installed)
        return received;
    std::optional<fs::path> copy;
    if (pInUse && BelongsToPluginInUse(name, *pInUse)) {
        if (const auto inUse = InUseCopyPath(strKorvane, update, file))
            copy = kpath::ResolveNoCase(*inUse);
    }
    // Whether the copy in use is storage's copy is known only until storage's copy is replaced.
    const bool wasStorageCopy = copy && fileops::SameAsCopy(*copy, local).ok();
    if (korvane::Status written = stored.Commit(); !written)
        return FileResult::Skip(written.reason());
    if (!copy)
        return {};
    if (korvane::Status refreshed = RefreshInUseCopy(*copy, wasStorageCopy, local); !refreshed)
        return FileResult::Skip(refreshed.reason());
    return {};
}

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

} // namespace

CUpdateList::ListDownload CUpdateList::DownloadList(const std::string& strUrl,
                                                    const ListProgress& progress)
{
    RemoveAll();
    HttpClient session(m_transferOptions);
    CUpdateListReader reader;
    const auto onResponse = [&reader](const HttpClient::Response& response) {
        if (response.nStatus != kStatusOk)
            return false;
        if (response.contentLength)
            reader.ExpectLength(*response.contentLength);
        return reader.GetStatus() == CUpdateListReader::Status::Reading;
    };
    const HttpClient::Result result = session.Get(
        strUrl, onResponse, [&reader](std::string_view piece) { return reader.Feed(piece); },
        progress);
    const auto fail = [](DownloadResult kind, std::string reason) {
        return ListDownload{kind, korvane::Status::Failure(std::move(reason))};
    };
    if (result.outcome == HttpClient::Outcome::InternetError)
        return fail(DownloadResult::InternetError, result.reason);
    if (result.response.nStatus != kStatusOk)
        return fail(DownloadResult::NoList, HttpClient::StatusReason(result.response.nStatus));
    if (result.outcome == HttpClient::Outcome::Stopped &&
        reader.GetStatus() == CUpdateListReader::Status::Reading)
        return {DownloadResult::Cancelled, korvane::Status::Ok()};
    reader.Finish();
    if (const char* reason = reader.Reason())
        return fail(DownloadResult::Unreadable, reason);
    m_arrUpdates = reader.TakeUpdates();
    return {};
}

CUpdateListReader::Status CUpdateList::Load(std::string_view bytes)
{
    RemoveAll();
    CUpdateListReader reader;
    reader.Feed(bytes);
    reader.Finish();
    m_arrUpdates = reader.TakeUpdates();
    return reader.GetStatus();
}

void CUpdateList::Serialize(ArchiveWriter& ar) const
{
    if (m_arrUpdates.size() > static_cast<size_t>(std::numeric_limits<std::int32_t>::max())) {
        ar.Fail("too many updates for one list");
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
}

bool CUpdateList::IsInstalled(const std::string& strKorvane, int nIndex) const
{
    const CUpdateInfo& update = GetAt(nIndex);
    if (update.m_arrFiles.empty())
        return true;
    if (strKorvane.empty() || !kpath::IsContainedRelative(update.m_strTargetDir))
        return false;
    const std::string base = DestinationFolder(strKorvane, update);
    for (const CUpdateFileInfo& file : update.m_arrFiles) {
        if (!IsSafeFile(file))
            return false;
        const fs::path path =
            kpath::ResolveNoCase(base + LocalName(file.m_strSubDir) + LocalName(file.m_strFile));
        std::error_code ec;
        const auto status = fs::status(path, ec);
        if (ec || !fs::exists(status))
            return false;
        // A folder has no size of its own, as the Windows file attributes give it.
        const std::uintmax_t size = fs::is_regular_file(status) ? fs::file_size(path, ec) : 0;
        if (ec || size != file.m_dwSize)
            return false;
    }
    return true;
}

korvane::Status CUpdateList::InstallUpdate(int nIndex, const std::string& strKorvane,
                                           const CPluginList* pInUse, const FileProgress& progress)
{
    if (nIndex < 0 || nIndex >= GetSize())
        return korvane::Status::Failure(Reason(strings::kReasonNoSuchUpdate, nIndex));
    CUpdateInfo& update = GetAt(nIndex);
    const InstallingMark mark(update);
    const QString target = QString::fromStdString(LocalName(update.m_strTargetDir));
    if (!kpath::IsContainedRelative(update.m_strTargetDir))
        return korvane::Status::Failure(Reason(strings::kReasonUnsafeName, target));
    if (!CreatePath(strKorvane, LocalName(update.m_strTargetDir)))
        return korvane::Status::Failure(Reason(strings::kReasonFileRefused, target));
    const std::string destination = DestinationFolder(strKorvane, update);
    HttpClient session(m_transferOptions);
    korvane::Status first = korvane::Status::Ok();
    for (const CUpdateFileInfo& file : update.m_arrFiles) {
        FileResult result =
            InstallFile(session, strKorvane, destination, update, file, pInUse, progress);
        if (result.kind == FileResult::InternetError)
            return result.status; // the remaining files are not tried
        if (first.ok())
            first = std::move(result.status); // the update is not complete without this file
    }
    return first;
}

} // namespace korvane
