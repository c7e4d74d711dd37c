// Update lists come from a web server over plain HTTP, in pieces of any size. Any bytes must read
// without a crash into no more than the bytes could hold, into the same records however they are
// cut, with memory within the reader's limits, and no folder that an update names may be created
// outside the Korvane folder.
#include "core/catalogue/TextEncoding.h"
#include "core/platform/FileSystem.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"
#include "core/updater/ArchiveWriter.h"
#include "core/updater/CUpdateList.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <sanitizer/allocator_interface.h>
#include <string>
#include <string_view>
#include <system_error>

using namespace korvane;

namespace fs = std::filesystem;

namespace {

// The smallest byte form of the list's parts: the header ("UPDATE", version, count), a file
// (empty name and subfolder, size) and a record of another version (its version byte alone).
constexpr std::size_t kHeaderBytes = 11;
constexpr std::size_t kFileBytes = 6;
constexpr std::size_t kRecordBytes = 1;

// What reading may hold at most: 100,000 records and 100,000 files with their growth room, and
// the bytes of a field that is still arriving twice over. A list of two billion claimed records
// cost 150 bytes for each byte received before the reader had limits.
constexpr std::size_t kRecordsAndFilesMemory = 48 << 20;
constexpr std::size_t kPendingFactor = 4;

void Check(bool holds)
{
    if (!holds)
        std::abort();
}

std::string Bytes(const CUpdateList& list)
{
    ArchiveWriter ar;
    list.Serialize(ar);
    return ar.Take().value();
}

// Reads the bytes as they would arrive from a server that sends them in uneven pieces.
korvane::Status ReadInPieces(std::string_view bytes, CUpdateList& list)
{
    const std::size_t before = __sanitizer_get_current_allocated_bytes();
    std::size_t peak = before;
    UpdateListReader reader;
    std::size_t at = 0;
    for (std::size_t piece = 1; at < bytes.size(); piece = piece % 7 + 1) {
        const bool more = reader.Feed(bytes.substr(at, piece));
        peak = std::max(peak, __sanitizer_get_current_allocated_bytes());
        if (!more)
            break;
        at += piece;
    }
    Check(peak - before <= kRecordsAndFilesMemory + kPendingFactor * bytes.size());
    reader.Finish();
    list.m_arrUpdates = reader.TakeUpdates();
    return reader.Outcome();
}

// The same outcome: both complete, or both refused for the same kind of failure.
bool SameOutcome(const korvane::Status& a, const korvane::Status& b)
{
    using Failure = UpdateListReader::Failure;
    return a.ok() == b.ok() && a.kind<Failure>() == b.kind<Failure>();
}

void CheckSizes(const CUpdateList& list, std::size_t size)
{
    std::size_t files = 0;
    for (const auto& update : list.m_arrUpdates) {
        for (const std::string* text :
             {&update->m_strUpdateName, &update->m_strTargetDir, &update->m_strBaseURL})
            Check(text->size() < size);
        for (const CUpdateFileInfo& file : update->m_arrFiles)
            Check(file.m_strFile.size() < size && file.m_strSubDir.size() < size);
        files += update->m_arrFiles.size();
    }
    if (list.GetSize() > 0)
        Check(kHeaderBytes + list.m_arrUpdates.size() * kRecordBytes + files * kFileBytes <= size);
}

// A Korvane folder two levels down a sandbox of its own, made once per process.
const fs::path& Sandbox()
{
    static const fs::path sandbox = fs::temp_directory_path() / "korvane-fuzz-updatelist";
    return sandbox;
}

fs::path KorvaneFolder()
{
    return Sandbox() / "outer" / "Korvane";
}

// Everything MakeSubfolders made must lie inside the Korvane folder.
void CheckContained(const std::string& base, const std::string& rel)
{
    if (!kfs::MakeSubfolders(Path(base), rel))
        return;
    std::error_code ec;
    const fs::path made = fs::weakly_canonical(Path(base + rel).OnDisk(), ec);
    const fs::path korvane = fs::weakly_canonical(KorvaneFolder(), ec);
    Check(std::mismatch(korvane.begin(), korvane.end(), made.begin(), made.end()).first ==
          korvane.end());
}

// Creates the folders that installing the first records would create, then checks that nothing
// else appeared in the sandbox and empties the Korvane folder again. Folders cost ten times
// what reading costs; the first few records try every form of name as well as all of them would.
void CheckFoldersStayInside(const CUpdateList& list)
{
    constexpr int kRecordsTried = 3;
    constexpr std::size_t kFilesTried = 4;
    static const bool made = fs::create_directories(KorvaneFolder());
    (void)made;
    const std::string korvane = kpath::WithTrailingSeparator(kpath::FromNative(KorvaneFolder()));
    for (int i = 0; i < std::min(list.GetSize(), kRecordsTried); ++i) {
        const CUpdateInfo& update = list.GetAt(i);
        const std::string target = textencoding::ToUtf8(update.m_strTargetDir);
        CheckContained(korvane, target);
        std::string destination = korvane + target;
        if (!kpath::EndsWithSeparator(destination))
            destination.push_back(kpath::kStoredSeparator);
        const std::size_t files = std::min(update.m_arrFiles.size(), kFilesTried);
        for (std::size_t f = 0; f < files; ++f)
            CheckContained(destination, textencoding::ToUtf8(update.m_arrFiles[f].m_strSubDir));
        list.IsInstalled(Path(korvane), i);
    }
    std::error_code ec;
    for (const fs::path& folder : {Sandbox(), KorvaneFolder().parent_path()}) {
        for (const auto& entry : fs::directory_iterator(folder, ec))
            Check(entry.path().filename() == (folder == Sandbox() ? "outer" : "Korvane"));
    }
    for (const auto& entry : fs::directory_iterator(KorvaneFolder(), ec))
        fs::remove_all(entry.path(), ec);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CUpdateList whole;
    const korvane::Status status = whole.Load(bytes);
    CUpdateList pieces;
    Check(SameOutcome(ReadInPieces(bytes, pieces), status));
    // Knowing the body's length refuses claims early, but never a list that reads whole.
    UpdateListReader known;
    known.ExpectLength(size);
    known.Feed(bytes);
    known.Finish();
    Check(known.Outcome().ok() == status.ok());
    if (!status) {
        Check(whole.GetSize() == 0 && pieces.GetSize() == 0);
        return 0;
    }
    CheckSizes(whole, size);
    const std::string written = Bytes(whole);
    Check(Bytes(pieces) == written);

    // What was read is written in a form that reads back to the same records.
    CUpdateList again;
    Check(again.Load(written).ok());
    Check(Bytes(again) == written);

    CheckFoldersStayInside(whole);
    return 0;
}
