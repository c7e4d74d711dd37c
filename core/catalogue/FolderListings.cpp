#include "core/catalogue/FolderListings.h"

#include "core/platform/KPath.h"

#include <algorithm>

namespace korvane::fileops {

namespace fs = std::filesystem;

FolderListings::Listing& FolderListings::Of(const fs::path& folder)
{
    auto [found, added] = m_listings.try_emplace(folder.native());
    if (added) {
        auto entries = kfs::ListFolder(folder);
        if (!entries) {
            found->second.failure = entries.status();
            m_failures.Add(entries.status());
            return found->second;
        }
        found->second.entries = std::move(entries).value();
        for (size_t i = 0; i < found->second.entries.size(); ++i)
            Index(found->second, i);
    }
    return found->second;
}

void FolderListings::Index(Listing& listing, size_t entry)
{
    const std::string name = kpath::Lowered(listing.entries[entry].name);
    listing.byKey[name.substr(0, name.find('.'))].push_back(entry);
    listing.byName.emplace(name, entry);
}

std::vector<kfs::FolderEntry> FolderListings::KeyFiles(const fs::path& folder, std::string_view key)
{
    const Listing& listing = Of(folder);
    std::vector<kfs::FolderEntry> files;
    const auto keep = [&files, key](const kfs::FolderEntry& entry) {
        if (entry.isFile && MatchesKey(entry.name, key))
            files.push_back(entry);
    };
    // A key with a dot in it (a configuration may name one) is not a name's part before its
    // first dot: such a key is matched against every entry.
    if (key.find('.') != std::string_view::npos) {
        std::for_each(listing.entries.begin(), listing.entries.end(), keep);
        return files;
    }
    if (const auto found = listing.byKey.find(kpath::Lowered(key)); found != listing.byKey.end()) {
        for (const size_t entry : found->second)
            keep(listing.entries[entry]);
    }
    return files;
}

korvane::Status FolderListings::Failure(const fs::path& folder)
{
    return Of(folder).failure;
}

bool FolderListings::Contains(const fs::path& folder, std::string_view name)
{
    return Of(folder).byName.contains(kpath::Lowered(name));
}

bool FolderListings::HoldsNonFile(const fs::path& folder, std::string_view name)
{
    const Listing& listing = Of(folder);
    const auto found = listing.byName.find(kpath::Lowered(name));
    return found != listing.byName.end() && !listing.entries[found->second].isFile;
}

std::optional<fs::path> FolderListings::Find(const fs::path& folder, std::string_view name)
{
    const Listing& listing = Of(folder);
    const auto found = listing.byName.find(kpath::Lowered(name));
    if (found == listing.byName.end())
        return std::nullopt;
    // Names that differ only in letter case follow one another in a listing, the first indexed.
    for (size_t i = found->second;
         i < listing.entries.size() && kpath::EqualsNoCase(listing.entries[i].name, name); ++i) {
        if (listing.entries[i].name == name)
            return listing.entries[i].path;
    }
    return listing.entries[found->second].path;
}

std::optional<fs::path> FolderListings::Below(const fs::path& root, std::string_view rel)
{
    fs::path folder = root;
    size_t start = 0;
    while (start < rel.size()) {
        size_t end = start;
        while (end < rel.size() && !kpath::IsSeparator(rel[end]))
            ++end;
        const std::string_view name = rel.substr(start, end - start);
        start = end + 1;
        if (name.empty() || name == ".")
            continue;
        auto found = Find(folder, name);
        if (!found)
            return std::nullopt;
        folder = std::move(*found);
    }
    return folder;
}

void FolderListings::Added(const fs::path& folder, const fs::path& file)
{
    const auto found = m_listings.find(folder.native());
    if (found == m_listings.end())
        return; // read when first asked, with the file in it
    Listing& listing = found->second;
    if (listing.byName.contains(kpath::Lowered(kpath::FromNative(file.filename()))))
        return;
    kfs::FolderEntry entry;
    entry.path = file;
    entry.name = kpath::FromNative(file.filename());
    entry.isFile = true;
    // Listing order is kept for what was there; a file this operation added comes last.
    listing.entries.push_back(std::move(entry));
    Index(listing, listing.entries.size() - 1);
}

bool MatchesKey(std::string_view entryName, std::string_view key)
{
    if (kpath::EqualsNoCase(entryName, key))
        return true;
    return entryName.size() > key.size() && entryName[key.size()] == '.' &&
           kpath::StartsWithNoCase(entryName, key);
}

korvane::Result<std::vector<kfs::FolderEntry>> ListKeyFiles(const fs::path& folder,
                                                            std::string_view key)
{
    auto entries = kfs::ListFolder(folder);
    if (!entries)
        return entries.status();
    std::vector<kfs::FolderEntry> files;
    for (auto& entry : std::move(entries).value()) {
        if (entry.isFile && MatchesKey(entry.name, key))
            files.push_back(std::move(entry));
    }
    return files;
}

} // namespace korvane::fileops
