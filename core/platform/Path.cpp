#include "core/platform/Path.h"

#include "core/platform/KPath.h"

#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace korvane {

namespace fs = std::filesystem;

namespace {

// The stored form with A to Z lowered and every separator made '\'.
std::string Folded(std::string_view stored)
{
    std::string folded = kpath::Lowered(stored);
    for (char& c : folded) {
        if (kpath::IsSeparator(c))
            c = kpath::kStoredSeparator;
    }
    return folded;
}

#ifdef _WIN32
// The name an existing entry has on the disk: Windows finds it in any letter case, and a file
// written or a message shown keeps the spelling the player sees. Nothing when there is no entry
// (a name with a wildcard never names one).
std::optional<fs::path> OnDiskName(const fs::path& entry)
{
    const std::wstring name = entry.filename().native();
    if (name.empty() || name == L"." || name == L".." || name.find_first_of(L"*?") != name.npos)
        return std::nullopt;
    WIN32_FIND_DATAW found;
    const HANDLE search = ::FindFirstFileW(kpath::SystemPath(entry).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return std::nullopt;
    ::FindClose(search);
    return fs::path(found.cFileName);
}
#endif

} // namespace

std::optional<fs::path> Path::FindInFolder(const fs::path& folder, std::string_view name)
{
    const fs::path exact = folder / kpath::ToNative(name);
#ifdef _WIN32
    // Windows finds a name in any letter case itself.
    if (auto onDisk = OnDiskName(exact))
        return exact.parent_path() / *onDisk;
    return std::nullopt;
#else
    std::error_code ec;
    if (fs::exists(exact, ec))
        return exact;
    fs::directory_iterator it(folder, ec);
    if (ec)
        return std::nullopt;
    for (const fs::directory_iterator end; it != end; it.increment(ec)) {
        if (ec)
            break;
        if (kpath::EqualsNoCase(kpath::FromNative(it->path().filename()), name))
            return it->path();
    }
    return std::nullopt;
#endif
}

bool Path::IsFolder() const
{
    return kpath::EndsWithSeparator(m_stored);
}

Path Path::AsFolder() const
{
    return Path(kpath::WithTrailingSeparator(m_stored));
}

Path Path::operator/(std::string_view rel) const
{
    Path joined(*this);
    joined /= rel;
    return joined;
}

Path& Path::operator/=(std::string_view rel)
{
    if (!m_stored.empty() && !IsFolder() && !rel.empty())
        m_stored.push_back(kpath::kStoredSeparator);
    m_stored.append(rel);
    return *this;
}

fs::path Path::OnDisk() const
{
    const fs::path native = kpath::ToNative(m_stored);
    fs::path resolved = native.root_path();
    bool missing = false; // once a folder is missing, nothing below it can be found
    for (const auto& part : native.relative_path()) {
        fs::path candidate = resolved / part;
        std::error_code ec;
        // Windows finds a name in any letter case itself; FindInFolder gives the spelling on the
        // disk, which a file written or a message shown keeps.
#ifndef _WIN32
        const bool asGiven = fs::exists(candidate, ec);
#else
        const bool asGiven = false;
#endif
        if (!missing && !asGiven && part != "." && part != "..") {
            const std::string name = kpath::FromNative(part);
            if (auto found = FindInFolder(resolved.empty() ? fs::path(".") : resolved, name))
                candidate = resolved / found->filename();
            else
                missing = true;
        }
        resolved = std::move(candidate);
    }
    if (IsFolder() && !resolved.empty())
        resolved /= ""; // keep the trailing separator of a folder
    return resolved;
}

fs::path Path::AsGiven() const
{
    return kpath::ToNative(m_stored);
}

bool Path::Exists() const
{
    std::error_code ec;
    return fs::exists(OnDisk(), ec);
}

bool Path::SameAs(const Path& other) const
{
    return Folded(m_stored) == Folded(other.m_stored);
}

} // namespace korvane
