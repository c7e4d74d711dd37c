#pragma once

#include "core/catalogue/FolderListings.h"
#include "core/catalogue/TreeCopy.h"
#include "core/platform/Path.h"
#include "core/platform/Status.h"

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace korvane {

// One plug-in as found on disk: a script <key>.cs with an optional <key>.desc.txt and <key>.ico
// beside it. Text fields hold the bytes of the description file as they are.
class CPluginInfo
{
public:
    static constexpr std::string_view kUnknown = "Unknown";
    static constexpr std::string_view kNoDescription = "No Description";
    // What is read of a description file, which holds a few lines of text: a longer one (a file
    // put there by mistake, or to fill the memory) gives the texts of its beginning. Small enough
    // that the window lays out even one line of that length in a fraction of a second.
    static constexpr std::size_t kMaxDescriptionBytes = 64 << 10;

    CPluginInfo() = default;
    CPluginInfo(std::string name, std::string fileName, std::string category);
    virtual ~CPluginInfo() = default;

    // Sets name and key to the key and reads <folder><key>.desc.txt in any letter case; without a
    // readable file the record keeps the key as its name and the fields it had.
    void ReadDescription(const Path& folder, const std::string& key);
    // Reads the fields of a description file found at an exact file-system path; false when it
    // could not be read.
    bool ReadDescriptionFile(const std::filesystem::path& file);
    // Reads the fields from the bytes of a description file. Of more than kMaxDescriptionBytes
    // only those are read, without a character they cut in two, and the record is marked as cut.
    void ReadDescriptionText(std::string_view bytes);

    // Copies this plug-in's files (every entry named the key, or the key followed by a dot and
    // anything) from sourceRoot + subfolder to destinationRoot + subfolder, creating every level
    // of that subfolder the destination lacks (never destinationRoot itself). Without allFiles
    // only the scripts (".cs") go. Existing files are never replaced. Fails, naming the file,
    // when a level of the subfolder could not be created or a file the destination lacks could
    // not be copied, or, with Existing::MustMatch, when a file the destination has differs from
    // the source's.
    korvane::Status CopyFiles(const std::string& sourceRoot, const std::string& destinationRoot,
                              bool allFiles,
                              fileops::Existing existing = fileops::Existing::Kept) const;
    // The same within an operation over many plug-ins, which reads each folder once.
    korvane::Status CopyFiles(const std::string& sourceRoot, const std::string& destinationRoot,
                              bool allFiles, fileops::FolderListings& listings,
                              fileops::Existing existing = fileops::Existing::Kept) const;

    // Fails, naming the file, when root + subfolder holds the key's description file but the
    // record's texts were not read from it (the scan could not read it): an edit of those texts
    // would replace what the file holds with what the record merely lacks.
    korvane::Status CheckDescriptionRead(const std::string& root) const;

    // Deletes this plug-in's files below root + subfolder; the subfolder stays.
    korvane::Status DeleteFiles(const std::string& root) const;

    std::string m_strName;
    std::string m_strFileName; // the file name key: the script's name before its first dot
    std::string m_strCategory{kUnknown};
    std::string m_strDescription{kNoDescription};
    std::string m_strAuthor{kUnknown};
    std::string m_strIconPath;     // full path of <key>.ico, empty when there is none
    std::string m_strSubdirectory; // below the scanned root: empty or "a\" or "a\b\"
    // The name of the description file the texts were read from, in its own letter case (a
    // folder may hold several that differ only in case); empty when none was read.
    std::string m_descriptionFile;
    // The description file is longer than kMaxDescriptionBytes: the texts hold its beginning
    // only, and an edit must not replace it.
    bool m_descriptionCut = false;
};

} // namespace korvane
