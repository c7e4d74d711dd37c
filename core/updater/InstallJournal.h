#pragma once

#include "core/platform/Path.h"
#include "core/platform/Status.h"

#include <filesystem>
#include <map>
#include <QByteArray>
#include <string>
#include <vector>

namespace korvane {

// The copies in use that installations are refreshing, each with the digest of the bytes put
// there, kept in backups\ under the Korvane folder while the files of an update are replaced.
// A copy in use whose bytes are neither storage's nor the update's is the player's own and is
// never replaced; the journal tells the updater's copies from those after an installation was
// cut short between refreshing a copy in use and replacing storage's file, also when the server
// has since changed the file. Used only while the Korvane folder's lock is held.
class InstallJournal
{
public:
    // Reads the journal of the Korvane folder; one that is missing or unreadable names nothing.
    explicit InstallJournal(const Path& korvaneFolder);

    // The SHA-256 of a file's bytes; empty when it cannot be read.
    static QByteArray Digest(const std::filesystem::path& file);

    // True when the journal says that the updater put these bytes (by digest) into copy.
    bool IsUpdatersCopy(const std::filesystem::path& copy, const QByteArray& digest) const;

    // Notes that copy is about to receive the bytes of digest; Record writes every note at once.
    void Note(const std::filesystem::path& copy, const QByteArray& digest);
    korvane::Status Record();
    // Notes that copy needs no entry once the update is in place: it holds the update's bytes
    // already, or the player's own.
    void Forget(const std::filesystem::path& copy);
    // With placed, after every file of the update is in place: the journal holds what it held
    // before, less the copies noted or forgotten. Else, after every file was put back: just what
    // it held before.
    korvane::Status Finish(bool placed);

private:
    using Entries = std::map<std::string, QByteArray>; // UTF-8 path -> digest (hex)

    // Writes the entries unless the file holds them already.
    korvane::Status Write(const Entries& entries);
    korvane::Status WriteFile(const Entries& entries);

    std::filesystem::path m_file;
    Entries m_before;
    Entries m_onDisk;
    Entries m_notes;
    std::vector<std::string> m_forgotten;
    bool m_folderMade = false;
};

} // namespace korvane
