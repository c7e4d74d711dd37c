#include "core/platform/KPath.h"

#include <algorithm>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace korvane {

namespace fs = std::filesystem;

namespace kpath {

#ifdef _WIN32
std::wstring SystemPath(const fs::path& path)
{
    std::wstring text = path.native();
    constexpr size_t kLimit = 248; // what a folder's path may reach, with room for a file name
    if (text.size() < kLimit || text.starts_with(L"\\\\?\\"))
        return text;
    const std::wstring normal = path.lexically_normal().native();
    if (normal.size() > 2 && normal[1] == L':' && normal[2] == L'\\')
        return L"\\\\?\\" + normal;
    if (normal.starts_with(L"\\\\"))
        return L"\\\\?\\UNC\\" + normal.substr(2);
    return text;
}
#endif

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool EndsWithSeparator(std::string_view path)
{
    return !path.empty() && IsSeparator(path.back());
}

char NativeSeparator()
{
    return static_cast<char>(fs::path::preferred_separator);
}

std::string WithTrailingSeparator(std::string path)
{
    if (!EndsWithSeparator(path))
        path.push_back(NativeSeparator());
    return path;
}

fs::path ToNative(std::string_view stored)
{
    std::u8string text(stored.begin(), stored.end());
    for (auto& c : text) {
        if (c == u8'\\' || c == u8'/')
            c = static_cast<char8_t>(fs::path::preferred_separator);
    }
    return fs::path(text);
}

std::string FromNative(const fs::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string Lowered(std::string_view text)
{
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), LowerAscii);
    return lowered;
}

int CompareNoCase(std::string_view a, std::string_view b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        if (a[i] == b[i])
            continue; // most compared names share most of their letters
        const auto ca = static_cast<unsigned char>(LowerAscii(a[i]));
        const auto cb = static_cast<unsigned char>(LowerAscii(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool IsContainedRelative(std::string_view rel)
{
    if (rel.empty())
        return true;
    if (IsSeparator(rel.front()) || rel.find(':') != std::string_view::npos)
        return false;
    size_t start = 0;
    while (start <= rel.size()) {
        size_t end = start;
        while (end < rel.size() && !IsSeparator(rel[end]))
            ++end;
        const std::string_view part = rel.substr(start, end - start);
        if (part == "..")
            return false;
        if (std::any_of(part.begin(), part.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20; }))
            return false;
        start = end + 1;
    }
    return true;
}

bool IsPlainName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..")
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        return IsSeparator(c) || c == ':' || static_cast<unsigned char>(c) < 0x20;
    });
}

} // namespace kpath

} // namespace korvane
