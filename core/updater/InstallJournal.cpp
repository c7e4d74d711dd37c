#include "core/updater/InstallJournal.h"

#include "core/catalogue/ConfigBackup.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/FileSystem.h"
#include "core/platform/FolderReader.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"

#include <algorithm>
#include <fstream>
#include <QByteArrayList>
#include <QCryptographicHash>
#include <string_view>
#include <system_error>

namespace korvane {

namespace fs = std::filesystem;

namespace {

constexpr char kJournalName[] = "updates-in-progress.txt";
// The program writes a line per copy in use; anything larger was not written by it.
constexpr std::size_t kLargest = 1u << 20;
constexpr qsizetype kDigestHex = 64;

std::string Key(const fs::path& copy)
{
    return kpath::FromNative(copy);
}

bool IsHex(const QByteArray& text)
{
    return text.size() == kDigestHex && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

} // namespace

InstallJournal::InstallJournal(const Path& korvaneFolder)
    : m_file(configbackup::BackupFolder(korvaneFolder.AsFolder()).OnDisk() / kJournalName)
{
    const auto bytes = kfs::ReadFile(m_file, kLargest);
    if (!bytes || bytes->size() > kLargest)
        return;
    for (const QByteArray& line : QByteArray::fromStdString(*bytes).split('\n')) {
        const qsizetype tab = line.indexOf('\t');
        const QByteArray digest = line.left(tab);
        if (tab > 0 && IsHex(digest))
            m_before[QByteArray::fromPercentEncoding(line.mid(tab + 1)).toStdString()] = digest;
    }
    m_onDisk = m_before;
}

QByteArray InstallJournal::Digest(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    char block[65536];
    while (in.read(block, sizeof block) || in.gcount() > 0)
        hash.addData(QByteArrayView(block, in.gcount()));
    return in.bad() ? QByteArray() : hash.result().toHex();
}

bool InstallJournal::IsUpdatersCopy(const fs::path& copy, const QByteArray& digest) const
{
    const auto entry = m_before.find(Key(copy));
    return !digest.isEmpty() && entry != m_before.end() && entry->second == digest;
}

void InstallJournal::Note(const fs::path& copy, const QByteArray& digest)
{
    m_notes[Key(copy)] = digest;
}

korvane::Status InstallJournal::Record()
{
    Entries entries = m_before;
    for (const auto& [copy, digest] : m_notes)
        entries[copy] = digest;
    return Write(entries);
}

void InstallJournal::Forget(const fs::path& copy)
{
    m_forgotten.push_back(Key(copy));
}

korvane::Status InstallJournal::Finish(bool placed)
{
    Entries entries = m_before;
    if (placed) {
        for (const auto& note : m_notes)
            entries.erase(note.first);
        for (const std::string& copy : m_forgotten)
            entries.erase(copy);
    }
    return Write(entries);
}

korvane::Status InstallJournal::Write(const Entries& entries)
{
    if (entries == m_onDisk)
        return korvane::Status::Success();
    korvane::Status written = WriteFile(entries);
    if (written)
        m_onDisk = entries;
    return written;
}

korvane::Status InstallJournal::WriteFile(const Entries& entries)
{
    const fs::path folder = m_file.parent_path();
    if (entries.empty()) {
        korvane::Status removed = kfs::RemoveFile(m_file);
        if (m_folderMade)
            (void)kfs::RemoveEmptyFolder(folder);
        return removed;
    }
    if (!kfs::IsFolder(folder)) {
        if (korvane::Status made = kfs::CreateFolder(folder); !made)
            return made;
        m_folderMade = true;
    }
    QByteArray text;
    for (const auto& [copy, digest] : entries)
        text += digest + '\t' + QByteArray::fromStdString(copy).toPercentEncoding() + '\n';
    return kfs::WriteFileAtomically(m_file, std::string_view(text.constData(), text.size()));
}

} // namespace korvane
