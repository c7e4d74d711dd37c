#include "core/platform/KPath.h"

#include "res/Strings.h"

#include <algorithm>
#include <array>
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

namespace {

// The part of a name before its first dot, without the blanks that end it: Windows takes "con.cs"
// and "con .cs" for the device con.
std::string_view DeviceStem(std::string_view name)
{
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.remove_suffix(1);
    return stem;
}

bool IsDeviceName(std::string_view name)
{
    static constexpr std::array<std::string_view, 6> kDevices = {"con", "prn",    "aux",
                                                                 "nul", "conin$", "conout$"};
    const std::string_view stem = DeviceStem(name);
    if (std::any_of(kDevices.begin(), kDevices.end(),
                    [stem](std::string_view device) { return EqualsNoCase(stem, device); }))
        return true;
    if (!StartsWithNoCase(stem, "com") && !StartsWithNoCase(stem, "lpt"))
        return false;
    const std::string_view number = stem.substr(3);
    // A digit, or superscript one, two or three in UTF-8.
    return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') || number == "\xc2\xb9" ||
           number == "\xc2\xb2" || number == "\xc2\xb3";
}

// A name of the 8.3 form Windows gives its short names, SNIPER~1.CS: at most eight characters,
// a tilde and digits ending them, and at most one dot with at most three after it.
bool IsShortForm(std::string_view name)
{
    const size_t dot = name.find('.');
    const std::string_view stem = name.substr(0, dot);
    const std::string_view extension =
        dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
    if (stem.size() > 8 || extension.size() > 3 || extension.find('.') != std::string_view::npos)
        return false;
    const size_t tilde = stem.rfind('~');
    return tilde != std::string_view::npos && tilde + 1 < stem.size() &&
           std::all_of(stem.begin() + static_cast<std::ptrdiff_t>(tilde + 1), stem.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

bool IsWindowsName(std::string_view name)
{
    return IsPlainName(name) && name.find_first_of("<>\"|?*") == std::string_view::npos &&
           name.back() != '.' && name.back() != ' ' && !IsDeviceName(name) && !IsShortForm(name);
}

bool IsWindowsRelative(std::string_view rel)
{
    if (!IsContainedRelative(rel))
        return false;
    size_t start = 0;
    while (start < rel.size()) {
        size_t end = start;
        while (end < rel.size() && !IsSeparator(rel[end]))
            ++end;
        // Two separators in a row leave an empty name, which names no folder of its own.
        if (end > start && !IsWindowsName(rel.substr(start, end - start)))
            return false;
        start = end + 1;
    }
    return true;
}

bool IsStorableName(std::string_view name)
{
#ifdef _WIN32
    return IsWindowsName(name);
#else
    return name.find(kStoredSeparator) == std::string_view::npos;
#endif
}

bool IsReachableName([[maybe_unused]] std::string_view name)
{
#ifdef _WIN32
    return IsWindowsName(name);
#else
    return true;
#endif
}

const char* UnstorableReason()
{
#ifdef _WIN32
    return strings::kReasonNotWindowsName;
#else
    return strings::kReasonBackslashInName;
#endif
}

} // namespace kpath

} // namespace korvane
