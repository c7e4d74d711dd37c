#include "core/updater/CUpdateList.h"

#include "core/catalogue/CPluginList.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/catalogue/TextEncoding.h"
#include "core/platform/FileSystem.h"
#include "core/platform/KPath.h"
#include "core/updater/ArchiveWriter.h"
#include "core/updater/CreatePath.h"

#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMagic = "UPDATE";
constexpr std::string_view kStorage = "storage";
constexpr int kStatusOk = 200;

enum class FileResult
{
    Installed,
    Skipped,
    InternetError
};

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

std::string FileUrl(const CUpdateInfo& update, const CUpdateFileInfo& file)
{
    std::string subDir = file.m_strSubDir;
    for (char& c : subDir) {
        if (c == '\\')
            c = '/';
    }
    return update.m_strBaseURL + subDir + file.m_strFile;
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

// Receives one file into a temporary file beside target and puts it in place only when it came
// whole and with the size the list gives it, so an old file is never left half replaced.
FileResult DownloadFile(HttpClient& session, const std::string& url, const fs::path& target,
                        const CUpdateFileInfo& file, const CUpdateList::FileProgress& progress)
{
    const fs::path temporary = kfs::TemporaryPathBeside(target);
    std::ofstream out;
    std::uint64_t received = 0;
    bool bUsable = true;
    const auto onResponse = [&](const HttpClient::Response& response) {
        if (response.nStatus != kStatusOk ||
            (response.contentLength && *response.contentLength != file.m_dwSize))
            return bUsable = false;
        out.open(temporary, std::ios::binary | std::ios::trunc);
        return bUsable = out.is_open();
    };
    const auto onBody = [&](std::string_view piece) {
        received += piece.size();
        if (received > file.m_dwSize)
            return bUsable = false;
        out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
        if (progress)
            progress(file, received);
        return bUsable = out.good();
    };
    const HttpClient::Result result = session.Get(url, onResponse, onBody);
    const bool bOpened = out.is_open();
    out.close();

    std::error_code ec;
    const bool bWhole = result.outcome == HttpClient::Outcome::Completed && bUsable && bOpened &&
                        !out.fail() && received == file.m_dwSize;
    if (bWhole) {
        fs::rename(temporary, target, ec);
        if (!ec)
            return FileResult::Installed;
    }
    if (bOpened)
        fs::remove(temporary, ec);
    return result.outcome == HttpClient::Outcome::InternetError ? FileResult::InternetError
                                                                : FileResult::Skipped;
}

FileResult InstallFile(HttpClient& session, const std::string& strKorvane,
                       const std::string& destination, const CUpdateInfo& update,
                       const CUpdateFileInfo& file, const CPluginList* pInUse,
                       const CUpdateList::FileProgress& progress)
{
    // A name from the network that could lead out of the destination is never written.
    if (!IsSafeFile(file))
        return FileResult::Skipped;
    const std::string subDir = LocalName(file.m_strSubDir);
    if (!subDir.empty() && !CreatePath(destination, subDir))
        return FileResult::Skipped;
    const std::string name = LocalName(file.m_strFile);
    const fs::path local = kpath::ResolveNoCase(destination + subDir + name);
    const FileResult result = DownloadFile(session, FileUrl(update, file), local, file, progress);
    if (result != FileResult::Installed || !pInUse || !BelongsToPluginInUse(name, *pInUse))
        return result;
    // The copy in use follows its update where its folder exists; a failed copy only means
    // the plug-in keeps its old script until it is put in use again.
    if (const auto copy = InUseCopyPath(strKorvane, update, file))
        kfs::CopyFileReplacing(local, kpath::ResolveNoCase(*copy));
    return result;
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

CUpdateList::DownloadResult CUpdateList::DownloadList(const std::string& strUrl)
{
    RemoveAll();
    HttpClient session(m_inactivityTimeout);
    CUpdateListReader reader;
    const HttpClient::Result result = session.Get(
        strUrl, [](const HttpClient::Response& response) { return response.nStatus == kStatusOk; },
        [&reader](std::string_view piece) { return reader.Feed(piece); });
    if (result.outcome == HttpClient::Outcome::InternetError)
        return DownloadResult::InternetError;
    if (result.response.nStatus != kStatusOk)
        return DownloadResult::Received; // no list on the server: nothing to offer
    reader.Finish();
    const auto status = reader.GetStatus();
    if (status == CUpdateListReader::Status::EndsEarly ||
        status == CUpdateListReader::Status::Unreadable)
        return DownloadResult::Unreadable;
    m_arrUpdates = reader.TakeUpdates();
    return DownloadResult::Received;
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
    if (m_arrUpdates.size() > static_cast<size_t>(std::numeric_limits<std::int32_t>::max()))
        throw std::length_error("too many updates for one list");
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

bool CUpdateList::InstallUpdate(int nIndex, const std::string& strKorvane,
                                const CPluginList* pInUse, const FileProgress& progress)
{
    if (nIndex < 0 || nIndex >= GetSize())
        return false;
    CUpdateInfo& update = GetAt(nIndex);
    const InstallingMark mark(update);
    if (!kpath::IsContainedRelative(update.m_strTargetDir) ||
        !CreatePath(strKorvane, LocalName(update.m_strTargetDir)))
        return false;
    const std::string destination = DestinationFolder(strKorvane, update);
    HttpClient session(m_inactivityTimeout);
    bool bResult = true;
    for (const CUpdateFileInfo& file : update.m_arrFiles) {
        switch (InstallFile(session, strKorvane, destination, update, file, pInUse, progress)) {
        case FileResult::Installed:
            break;
        case FileResult::Skipped:
            bResult = false; // the update is not complete without this file
            break;
        case FileResult::InternetError:
            return false; // the remaining files are not tried
        }
    }
    return bResult;
}
