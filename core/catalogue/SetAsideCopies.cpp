#include "core/catalogue/SetAsideCopies.h"

#include "core/catalogue/ConfigBackup.h"
#include "core/platform/FileSystem.h"

#include <algorithm>
#include <utility>

namespace korvane {

SetAsideCopies::SetAsideCopies(Path korvaneFolder, std::string stem)
    : m_korvaneFolder(std::move(korvaneFolder)), m_stem(std::move(stem))
{}

korvane::Status SetAsideCopies::MakeFolders(const Path& base, std::string_view rel)
{
    Path folder = base;
    size_t start = 0;
    while (start < rel.size()) {
        const size_t end = std::min(rel.find_first_of("\\/", start), rel.size());
        const std::string_view name = rel.substr(start, end - start);
        start = end + 1;
        if (name.empty())
            continue;
        folder /= name;
        if (auto made = kfs::EnsureFolder(folder.OnDisk()); !made)
            return made;
    }
    return korvane::Status::Success();
}

korvane::Status SetAsideCopies::Put(std::string_view rel, const std::filesystem::path& file)
{
    if (auto ready = Ready(); !ready)
        return ready;
    const Path root = configbackup::SetAsideFolder(m_korvaneFolder, m_stem);
    const size_t last = rel.find_last_of("\\/");
    const std::string_view folder =
        last == std::string_view::npos ? std::string_view() : rel.substr(0, last + 1);
    if (auto made = MakeFolders(root, folder); !made)
        return made;
    const std::filesystem::path target = (root / rel).OnDisk();
    return kfs::CopyFileNoOverwrite(file, target, kfs::Flush::ToDisk);
}

korvane::Status SetAsideCopies::Ready()
{
    if (m_made)
        return korvane::Status::Success();
    const std::filesystem::path backups = configbackup::BackupFolder(m_korvaneFolder).OnDisk();
    if (!kfs::IsFolder(backups))
        if (auto created = kfs::CreateFolder(backups); !created)
            return created;
    const std::filesystem::path folder =
        configbackup::SetAsideFolder(m_korvaneFolder, m_stem).OnDisk();
    if (!kfs::IsFolder(folder))
        if (auto created = kfs::CreateFolder(folder); !created)
            return created;
    m_made = true;
    return korvane::Status::Success();
}

} // namespace korvane
