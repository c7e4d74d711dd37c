#include "core/updater/UpdateInstallation.h"

#include "core/catalogue/ConfigBackup.h"
#include "core/catalogue/KorvaneFolders.h"
#include "core/catalogue/SetAsideCopies.h"
#include "core/catalogue/TextEncoding.h"
#include "core/catalogue/TreeCopy.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/FailureList.h"
#include "core/platform/FileSystem.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"
#include "core/updater/CUpdateInfo.h"
#include "core/updater/SignatureFetch.h"
#include "res/Strings.h"

#include <chrono>
#include <QCryptographicHash>
#include <QString>
#include <QUrl>
#include <set>
#include <system_error>

namespace korvane {

namespace fs = std::filesystem;

namespace {

constexpr int kStatusOk = 200;

template <class... Args> std::string Reason(const char* text, const Args&... args)
{
    return QString::fromUtf8(text).arg(args...).toStdString();
}

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

bool Stopped(const CUpdateList::StopRequest& stop)
{
    return stop && stop();
}

// The old file under a temporary name beside it, until the update is complete: a second link to
// the same bytes where the file system has links, else a copy.
korvane::Result<fs::path> SetAside(const fs::path& file)
{
    fs::path keep = kfs::TemporaryPathBeside(file);
    std::error_code ec;
    fs::create_hard_link(file, keep, ec);
    if (ec) {
        if (korvane::Status copied = kfs::CopyFileNoOverwrite(file, keep); !copied)
            return copied;
    }
    return keep;
}

} // namespace

UpdateInstallation::UpdateInstallation(const CUpdateInfo& update, Path korvaneFolder,
                                       const CPluginList* inUse,
                                       const HttpClient::Options& transfer,
                                       const UpdateTrust& trust, bool overHttps)
    : m_update(update), m_korvaneFolder(std::move(korvaneFolder)), m_inUse(inUse), m_trust(trust),
      m_overHttps(overHttps), m_session(transfer), m_journal(m_korvaneFolder)
{}

UpdateInstallation::~UpdateInstallation() = default;

korvane::Status UpdateInstallation::Failure(const std::string& cause) const
{
    return korvane::Status::Failure(Reason(strings::kReasonUpdate,
                                           Q(textencoding::ToUtf8(m_update.m_strUpdateName)),
                                           Q(m_update.VersionText()), Q(cause)));
}

korvane::Status UpdateInstallation::Failure(const UpdateFilePlace& place,
                                            const std::string& cause) const
{
    return korvane::Status::Failure(Reason(strings::kReasonUpdateFile,
                                           Q(textencoding::ToUtf8(m_update.m_strUpdateName)),
                                           Q(m_update.VersionText()), Q(place.listed), Q(cause)));
}

korvane::Status UpdateInstallation::Run(const CUpdateList::FileProgress& progress,
                                        const CUpdateList::StopRequest& stop,
                                        std::vector<std::string>* keptCopies)
{
    auto places = UpdateFilePlace::Of(m_update, m_korvaneFolder);
    if (!places)
        return Failure(places.reason());
    m_places = std::move(places).value();
    korvane::Status installed = CheckTransport();
    if (installed)
        installed = CreateFolders();
    m_staged.reserve(m_places.size());
    for (size_t i = 0; installed && i < m_places.size(); ++i)
        installed = Stage(m_places[i], progress, stop);
    if (installed && Stopped(stop))
        installed = Failure(strings::kReasonInterrupted);
    if (installed)
        installed = PutInPlace();
    if (!installed) {
        m_staged.clear(); // the temporary files go before their folders
        RemoveCreatedFolders();
        return installed;
    }
    if (keptCopies) {
        // Each copy in use lies at its storage file's place below plugins\.
        const std::string plugins = PluginsFolder(m_korvaneFolder.AsFolder()).Stored();
        for (const Staged& staged : m_staged) {
            if (staged.action == CopyAction::Kept)
                keptCopies->push_back(staged.place->inUseCopy.substr(plugins.size()));
        }
    }
    return KeptCopies();
}

korvane::Status UpdateInstallation::CheckTransport() const
{
    // A pinned key makes the transport's safety beside the point: only what it signed is taken.
    if (!m_overHttps || m_trust.IsPinned())
        return korvane::Status::Success();
    for (const UpdateFilePlace& place : m_places) {
        const QUrl url(Q(place.url));
        if (url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) != 0)
            return Failure(place, Reason(strings::kReasonHttpUnderHttps, Q(place.listed)));
    }
    return korvane::Status::Success();
}

korvane::Status UpdateInstallation::CreateFolders()
{
    const std::string target = textencoding::ToUtf8(m_update.m_strTargetDir);
    if (auto made = kfs::MakeSubfolders(m_korvaneFolder, target, &m_createdFolders); !made)
        return Failure(made.reason());
    const Path destination(UpdateFilePlace::Destination(m_update, m_korvaneFolder));
    for (const UpdateFilePlace& place : m_places) {
        if (auto made = kfs::MakeSubfolders(destination, place.subFolder, &m_createdFolders); !made)
            return Failure(place, made.reason());
    }
    return korvane::Status::Success();
}

korvane::Status UpdateInstallation::Stage(const UpdateFilePlace& place,
                                          const CUpdateList::FileProgress& progress,
                                          const CUpdateList::StopRequest& stop)
{
    if (Stopped(stop))
        return Failure(place, strings::kReasonInterrupted);
    Staged& staged = m_staged.emplace_back();
    staged.place = &place;
    const fs::path stored = place.StoredPath();
    staged.stored = std::make_unique<kfs::AtomicFile>(stored);
    // A write-protected file is refused before anything is downloaded.
    if (const korvane::Status& opened = staged.stored->status(); !opened)
        return Failure(opened.reason());
    staged.copy = place.InUseCopy(m_inUse);
    if (staged.copy) {
        // Whether the copy in use is storage's copy is known only while storage holds the old
        // bytes. A copy that cannot be compared is not taken for the player's own: it would never
        // be refreshed.
        bool follows = true;
        if (!kfs::IsMissing(*staged.copy)) {
            const auto same = fileops::HoldSameBytes(*staged.copy, stored);
            if (!same)
                return Failure(place, same.reason());
            follows = *same;
        }
        // Else the bytes an earlier installation that was cut short put there are the
        // updater's; any others are the update's already, or the player's own, and need none
        // of the update's bytes beside them.
        if (!follows) {
            staged.held = InstallJournal::Digest(*staged.copy);
            if (staged.held.isEmpty())
                return Failure(place,
                               kpath::FromNative(*staged.copy) + ": " + strings::kReasonUnreadable);
            follows = m_journal.IsUpdatersCopy(*staged.copy, staged.held);
        }
        staged.action = follows ? CopyAction::Refresh : CopyAction::Undecided;
        if (follows) {
            staged.copyFile = std::make_unique<kfs::AtomicFile>(*staged.copy);
            if (const korvane::Status& opened = staged.copyFile->status(); !opened)
                return Failure(opened.reason());
        }
    }
    if (korvane::Status received = ReceiveSigned(staged, progress, stop); !received)
        return received;
    return Decide(staged);
}

korvane::Status UpdateInstallation::ReceiveSigned(Staged& staged,
                                                  const CUpdateList::FileProgress& progress,
                                                  const CUpdateList::StopRequest& stop)
{
    if (!m_trust.IsPinned())
        return Receive(staged, progress, stop, nullptr);
    const UpdateFilePlace& place = *staged.place;
    const auto signature =
        signatures::Fetch(m_session, place.url, [&stop](std::uint64_t) { return !Stopped(stop); });
    if (Stopped(stop))
        return Failure(place, strings::kReasonInterrupted);
    Blake2bDigest digest;
    if (korvane::Status received = Receive(staged, progress, stop, &digest); !received)
        return received;
    const korvane::Status checked =
        m_trust.CheckFile(signature, textencoding::ToUtf8(place.file->m_strFile), digest.Finish());
    if (!checked)
        return Failure(place, checked.reason());
    return korvane::Status::Success();
}

korvane::Status UpdateInstallation::Receive(Staged& staged,
                                            const CUpdateList::FileProgress& progress,
                                            const CUpdateList::StopRequest& stop,
                                            Blake2bDigest* signedDigest)
{
    const UpdateFilePlace& place = *staged.place;
    const CUpdateFileInfo& file = *place.file;
    const QString name = Q(textencoding::ToUtf8(file.m_strFile));
    QCryptographicHash digest(QCryptographicHash::Sha256);
    std::string refusal; // why the body is not taken
    std::string status;  // the server's answer when it was not the file
    std::uint64_t received = 0;
    kfs::AtomicFile* notSaved = nullptr;
    const auto onResponse = [&](const HttpClient::Response& response) {
        if (response.statusCode != kStatusOk)
            status = HttpClient::StatusReason(response.statusCode);
        else if (response.contentLength && *response.contentLength != file.m_dwSize)
            refusal =
                Reason(strings::kReasonSizeDiffers, name, QString::number(*response.contentLength),
                       QString::number(file.m_dwSize));
        return status.empty() && refusal.empty();
    };
    const auto onBody = [&](std::string_view piece) {
        if (Stopped(stop))
            return false;
        if (piece.size() > file.m_dwSize - received) {
            refusal = Reason(strings::kReasonSizeExceeds, name, QString::number(file.m_dwSize));
            return false;
        }
        received += piece.size();
        // Only a copy in use is told by its digest; hashing every file would double the time a
        // large one takes.
        if (staged.copy)
            digest.addData(QByteArrayView(piece.data(), static_cast<qsizetype>(piece.size())));
        if (signedDigest)
            signedDigest->Add(piece);
        if (!staged.stored->Append(piece))
            notSaved = staged.stored.get();
        else if (staged.copyFile && !staged.copyFile->Append(piece))
            notSaved = staged.copyFile.get();
        if (progress && !notSaved)
            progress(file, received);
        return !notSaved;
    };
    const auto transfer = m_session.Get(
        place.url, onResponse, onBody, [&stop](std::uint64_t) { return !Stopped(stop); },
        file.m_dwSize);
    if (notSaved)
        return Failure(notSaved->status().reason());
    if (Stopped(stop))
        return Failure(place, strings::kReasonInterrupted);
    if (!transfer)
        return Failure(place, transfer.reason());
    if (!status.empty())
        return Failure(place, status);
    if (refusal.empty() && received != file.m_dwSize)
        refusal = Reason(strings::kReasonSizeDiffers, name, QString::number(received),
                         QString::number(file.m_dwSize));
    if (!refusal.empty())
        return Failure(refusal);
    if (staged.copy)
        staged.digest = digest.result().toHex();
    if (korvane::Status closed = staged.stored->Close(); !closed)
        return Failure(closed.reason());
    return korvane::Status::Success();
}

korvane::Status UpdateInstallation::Decide(Staged& staged)
{
    if (staged.action == CopyAction::Undecided)
        staged.action = staged.held == staged.digest ? CopyAction::Current : CopyAction::Kept;
    if (staged.action == CopyAction::Current || staged.action == CopyAction::Kept)
        m_journal.Forget(*staged.copy);
    if (staged.action != CopyAction::Refresh) {
        staged.copyFile.reset();
        return korvane::Status::Success();
    }
    if (korvane::Status closed = staged.copyFile->Close(); !closed)
        return Failure(closed.reason());
    return korvane::Status::Success();
}

korvane::Status UpdateInstallation::PutInPlace()
{
    if (korvane::Status saved = BackUpReplaced(); !saved)
        return Failure(saved.reason());
    for (const Staged& staged : m_staged) {
        if (staged.action == CopyAction::Refresh)
            m_journal.Note(*staged.copy, staged.digest);
    }
    if (korvane::Status recorded = m_journal.Record(); !recorded)
        return Failure(recorded.reason());
    korvane::Status placed = korvane::Status::Success();
    // The copies in use first: until the last of them has its new bytes, storage holds the old
    // bytes that tell each one from a copy the player changed.
    for (size_t i = 0; placed && i < m_staged.size(); ++i) {
        if (m_staged[i].action == CopyAction::Refresh)
            placed = Replace(*m_staged[i].copyFile, i, true);
    }
    for (size_t i = 0; placed && i < m_staged.size(); ++i)
        placed = Replace(*m_staged[i].stored, i, false);
    if (placed) {
        for (const Replaced& replaced : m_replaced) {
            if (replaced.keep)
                (void)kfs::RemoveFile(*replaced.keep); // else the next lock's sweep removes it
        }
        // A journal that still names the refreshed copies is harmless: each now holds storage's
        // bytes, which is what a refresh needs anyway.
        (void)m_journal.Finish(true);
        return korvane::Status::Success();
    }
    const std::vector<std::string> stillNew = PutBack();
    if (stillNew.empty()) {
        (void)m_journal.Finish(false);
        return Failure(Reason(strings::kReasonPutBack, Q(placed.reason())));
    }
    // The journal keeps naming the copies in use: one left new beside storage's old file is the
    // updater's, and the next installation refreshes it.
    std::string files;
    for (const std::string& file : stillNew)
        files += (files.empty() ? "" : ", ") + file;
    return Failure(Reason(strings::kReasonNotPutBack, Q(placed.reason()), Q(files)));
}

korvane::Status UpdateInstallation::BackUpReplaced() const
{
    std::vector<fs::path> replaced;
    for (const Staged& staged : m_staged) {
        if (staged.action == CopyAction::Refresh)
            replaced.push_back(staged.copyFile->Target());
        replaced.push_back(staged.stored->Target());
    }
    const Path korvane = m_korvaneFolder.AsFolder();
    const fs::path korvaneOnDisk = korvane.OnDisk();
    std::optional<SetAsideCopies> backup;
    for (const fs::path& target : replaced) {
        // A file that could not be looked at may be there: it is copied, or the copy fails.
        std::error_code ec;
        if (kfs::IsMissing(target) || fs::is_directory(target, ec))
            continue;
        const fs::path rel = target.lexically_relative(korvaneOnDisk);
        if (rel.empty() || *rel.begin() == "..")
            return korvane::Status::Failure(
                Reason(strings::kReasonUnsafeName, Q(kpath::FromNative(target))));
        if (!backup) {
            auto stem = configbackup::NewStem(korvane, std::chrono::system_clock::now());
            if (!stem)
                return stem.status();
            backup.emplace(korvane, std::move(stem).value());
        }
        if (korvane::Status saved = backup->Put(kpath::FromNative(rel), target); !saved)
            return saved;
    }
    return korvane::Status::Success();
}

korvane::Status UpdateInstallation::Replace(kfs::AtomicFile& file, size_t staged, bool copyInUse)
{
    Replaced replaced{file.Target(), std::nullopt, staged, copyInUse};
    std::error_code ec;
    if (fs::is_regular_file(replaced.target, ec)) {
        auto keep = SetAside(replaced.target);
        if (!keep)
            return keep.status();
        replaced.keep = std::move(keep).value();
    }
    if (korvane::Status committed = file.Commit(); !committed) {
        // In place, though its name may not last: it is put back like the others.
        if (file.Placed())
            m_replaced.push_back(std::move(replaced));
        else if (replaced.keep)
            (void)kfs::RemoveFile(*replaced.keep);
        return committed;
    }
    m_replaced.push_back(std::move(replaced));
    return korvane::Status::Success();
}

std::vector<std::string> UpdateInstallation::PutBack()
{
    std::vector<std::string> stillNew;
    std::set<size_t> storedStillNew;
    // Storage's files were replaced last and go back first.
    for (auto it = m_replaced.rbegin(); it != m_replaced.rend(); ++it) {
        const std::string name = kpath::FromNative(it->target);
        // A copy in use stays with its storage file: new in storage and old in use is what a
        // player's edit looks like.
        if (it->copyInUse && storedStillNew.contains(it->staged)) {
            stillNew.push_back(name);
            continue;
        }
        std::error_code ec;
        if (it->keep)
            fs::rename(*it->keep, it->target, ec);
        else
            fs::remove(it->target, ec);
        if (ec) {
            stillNew.push_back(name);
            if (!it->copyInUse)
                storedStillNew.insert(it->staged);
            if (it->keep)
                (void)kfs::RemoveFile(*it->keep);
        }
    }
    m_replaced.clear();
    return stillNew;
}

void UpdateInstallation::RemoveCreatedFolders()
{
    for (auto it = m_createdFolders.rbegin(); it != m_createdFolders.rend(); ++it)
        (void)kfs::RemoveEmptyFolder(it->OnDisk());
    m_createdFolders.clear();
}

korvane::Status UpdateInstallation::KeptCopies() const
{
    FailureList kept;
    for (const Staged& staged : m_staged) {
        if (staged.action == CopyAction::Kept)
            kept.Add(korvane::Status::Failure(
                Reason(strings::kReasonInUseDiffers, Q(kpath::FromNative(*staged.copy)))));
    }
    if (kept.empty())
        return korvane::Status::Success();
    return Failure(kept.ToStatus().reason());
}

} // namespace korvane
