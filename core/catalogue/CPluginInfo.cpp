#include "core/catalogue/CPluginInfo.h"

#include "core/catalogue/FolderListings.h"
#include "core/catalogue/PluginScript.h"
#include "core/catalogue/TextFile.h"
#include "core/catalogue/TreeCopy.h"
#include "core/platform/FailureList.h"
#include "core/platform/FileSystem.h"
#include "core/platform/FolderReader.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"

#include <algorithm>

namespace korvane {

namespace {

// Text cut at a byte count without the start of a UTF-8 character that the cut split.
std::string_view WithoutPartialCharacter(std::string_view text)
{
    const auto byteAt = [text](size_t i) { return static_cast<unsigned char>(text[i]); };
    size_t start = text.size();
    while (start > 0 && text.size() - start < 3 && (byteAt(start - 1) & 0xC0) == 0x80)
        --start; // continuation bytes
    if (start == 0 || byteAt(start - 1) < 0xC0)
        return text;
    const unsigned char lead = byteAt(start - 1);
    const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    return text.size() - (start - 1) < length ? text.substr(0, start - 1) : text;
}

} // namespace

CPluginInfo::CPluginInfo(std::string name, std::string fileName, std::string category)
    : m_strName(std::move(name)), m_strFileName(std::move(fileName)),
      m_strCategory(std::move(category))
{}

void CPluginInfo::ReadDescription(const Path& folder, const std::string& key)
{
    m_strName = key;
    m_strFileName = key;
    const auto file = Path(folder.Stored() + key + ".desc.txt").OnDisk();
    if (ReadDescriptionFile(file))
        m_descriptionFile = kpath::FromNative(file.filename());
}

bool CPluginInfo::ReadDescriptionFile(const std::filesystem::path& file)
{
    const auto bytes = kfs::ReadFile(file, kMaxDescriptionBytes);
    if (bytes)
        ReadDescriptionText(*bytes);
    return bytes.ok();
}

void CPluginInfo::ReadDescriptionText(std::string_view bytes)
{
    m_descriptionCut = bytes.size() > kMaxDescriptionBytes;
    if (m_descriptionCut) {
        // No character cut in two, and no line end: the CR of one cut from its LF.
        bytes = WithoutPartialCharacter(bytes.substr(0, kMaxDescriptionBytes));
        if (bytes.ends_with('\r'))
            bytes.remove_suffix(1);
    }
    bool inDescription = false;
    textfile::ForEachLine(bytes, [this, bytes, &inDescription](std::string_view line) {
        if (inDescription) {
            m_strDescription += '\n';
            m_strDescription += line;
            return;
        }
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            // The first line without '=' starts the description; every later line belongs to it,
            // and the rest of the text is at most that long.
            inDescription = true;
            m_strDescription.clear();
            m_strDescription.reserve(bytes.size() -
                                     static_cast<size_t>(line.data() - bytes.data()));
            m_strDescription = line;
            return;
        }
        const std::string_view fieldKey = line.substr(0, equals);
        const std::string_view fieldValue = line.substr(equals + 1);
        if (kpath::EqualsNoCase(fieldKey, "name"))
            m_strName = fieldValue;
        else if (kpath::EqualsNoCase(fieldKey, "category"))
            m_strCategory = fieldValue;
        else if (kpath::EqualsNoCase(fieldKey, "author"))
            m_strAuthor = fieldValue;
    });
}

korvane::Status CPluginInfo::CopyFiles(const std::string& sourceRoot,
                                       const std::string& destinationRoot, bool allFiles,
                                       fileops::Existing existing) const
{
    fileops::FolderListings listings;
    return CopyFiles(sourceRoot, destinationRoot, allFiles, listings, existing);
}

korvane::Status CPluginInfo::CopyFiles(const std::string& sourceRoot,
                                       const std::string& destinationRoot, bool allFiles,
                                       fileops::FolderListings& listings,
                                       fileops::Existing existing) const
{
    const auto source = (Path(sourceRoot) / m_strSubdirectory).OnDisk();
    const auto files = listings.KeyFiles(source, m_strFileName);
    if (auto listed = listings.Failure(source); !listed)
        return listed;
    if (files.empty())
        return korvane::Status::Success();

    if (auto made = kfs::MakeSubfolders(Path(destinationRoot), m_strSubdirectory); !made)
        return made;
    const std::filesystem::path target = (Path(destinationRoot) / m_strSubdirectory).OnDisk();
    // A file the listing missed there would be taken for one to copy, and never compared.
    if (auto listed = listings.Failure(target); !listed)
        return listed;

    // A file the destination holds in another letter case counts as present, as on Windows.
    FailureList failures;
    for (const auto& file : files) {
        if (!allFiles && !pluginscript::IsScript(file.name))
            continue;
        const auto copy = target / file.path.filename();
        if (listings.HoldsNonFile(target, file.name)) {
            failures.Add(fileops::NonFileInTheWay(copy));
            continue;
        }
        if (const auto present = listings.Find(target, file.name)) {
            if (existing == fileops::Existing::MustMatch)
                failures.Add(fileops::SameAsCopy(file.path, *present));
            continue;
        }
        const auto copied = kfs::CopyFileNoOverwrite(file.path, copy, fileops::FlushFor(existing));
        if (copied) {
            listings.Added(target, copy);
            continue;
        }
        // A file that vanished since the listing was not there to copy; one that appeared at the
        // destination meanwhile is the one to keep, and compared like any other.
        if (kfs::IsMissing(file.path))
            continue;
        if (!kfs::Exists(copy))
            failures.Add(copied);
        else if (existing == fileops::Existing::MustMatch)
            failures.Add(fileops::SameAsCopy(file.path, copy));
    }
    return failures.ToStatus();
}

korvane::Status CPluginInfo::CheckDescriptionRead(const std::string& root) const
{
    if (!m_descriptionFile.empty())
        return korvane::Status::Success();
    const auto file = (Path(root) / (m_strSubdirectory + m_strFileName + ".desc.txt")).OnDisk();
    // Nothing there, or no file (which no edit replaces): no texts can be lost.
    std::error_code ec;
    const auto status = std::filesystem::status(file, ec);
    if (status.type() == std::filesystem::file_type::not_found ||
        (std::filesystem::status_known(status) && !std::filesystem::is_regular_file(status)))
        return korvane::Status::Success();
    return korvane::Status::Failure(kfs::ReadFailureReason(file));
}

korvane::Status CPluginInfo::DeleteFiles(const std::string& root) const
{
    const auto files =
        fileops::ListKeyFiles((Path(root) / m_strSubdirectory).OnDisk(), m_strFileName);
    if (!files)
        return files.status();
    FailureList failures;
    for (const auto& file : *files)
        failures.Add(kfs::RemoveFile(file.path));
    return failures.ToStatus();
}

} // namespace korvane
