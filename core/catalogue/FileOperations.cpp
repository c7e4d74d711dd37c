#include "core/catalogue/FileOperations.h"

#include "core/platform/KPath.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace fileops {
namespace {

std::string Lowered(std::string_view name)
{
    std::string lowered(name);
    for (auto& c : lowered) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return lowered;
}

void CopyTreeNative(const fs::path& source, const fs::path& destination)
{
    const FolderNames existing(destination);
    for (const auto& entry : kfs::ListFolder(source)) {
        if (entry.isFolder) {
            fs::path target = destination / entry.path.filename();
            if (existing.Contains(entry.name))
                target = kpath::FindNoCase(destination, entry.name).value_or(target);
            else
                kfs::CreateFolder(target);
            CopyTreeNative(entry.path, target);
        } else if (!existing.Contains(entry.name)) {
            kfs::CopyFileNoOverwrite(entry.path, destination / entry.path.filename());
        }
    }
}

void DeleteTreeNative(const fs::path& folder)
{
    for (const auto& entry : kfs::ListFolder(folder)) {
        if (entry.isFolder) {
            DeleteTreeNative(entry.path);
            kfs::RemoveEmptyFolder(entry.path);
        } else {
            kfs::RemoveFile(entry.path);
        }
    }
}

} // namespace

FolderNames::FolderNames(const fs::path& folder)
{
    for (const auto& entry : kfs::ListFolder(folder))
        m_names.push_back(Lowered(entry.name));
    std::sort(m_names.begin(), m_names.end());
}

bool FolderNames::Contains(std::string_view name) const
{
    return std::binary_search(m_names.begin(), m_names.end(), Lowered(name));
}

bool MatchesKey(std::string_view entryName, std::string_view key)
{
    if (kpath::EqualsNoCase(entryName, key))
        return true;
    return entryName.size() > key.size() && entryName[key.size()] == '.' &&
           kpath::StartsWithNoCase(entryName, key);
}

std::vector<kfs::FolderEntry> ListKeyFiles(const fs::path& folder, std::string_view key)
{
    std::vector<kfs::FolderEntry> files;
    for (auto& entry : kfs::ListFolder(folder)) {
        if (!entry.isFolder && MatchesKey(entry.name, key))
            files.push_back(std::move(entry));
    }
    return files;
}

void CopyTree(const std::string& sourceFolder, const std::string& destinationFolder)
{
    CopyTreeNative(kpath::ResolveNoCase(sourceFolder), kpath::ResolveNoCase(destinationFolder));
}

void DeleteTree(const std::string& folder)
{
    DeleteTreeNative(kpath::ResolveNoCase(folder));
}

} // namespace fileops
