#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The rules of the stored form of paths (Path.h) that depend on the platform: separators, letter
// case, names that are safe to create.
namespace korvane::kpath {

// The separator the program writes into stored forms (subfolders, configuration files).
inline constexpr char kStoredSeparator = '\\';

// '\' and '/' both separate folders, on every platform.
bool IsSeparator(char c);
bool EndsWithSeparator(std::string_view path);

// The platform's own separator, as a folder chosen by the user ends in it.
char NativeSeparator();
// Appends the native separator unless the path already ends in a separator.
std::string WithTrailingSeparator(std::string path);

#ifdef _WIN32
// The path as Windows' own calls take it: an absolute one of 248 characters or more with the
// "\\?\" prefix, which lifts their limit of 260.
std::wstring SystemPath(const std::filesystem::path& path);
#endif

// Stored form (UTF-8, either separator) to a file-system path.
std::filesystem::path ToNative(std::string_view stored);
// File-system path to UTF-8 text in the platform's own form.
std::string FromNative(const std::filesystem::path& path);

// The text with A-Z lowered, the letter case lookups without regard to case ignore.
std::string Lowered(std::string_view text);

// A to Z lowered, every other byte as it is.
inline char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Comparison of letters A to Z without regard to case, byte by byte otherwise. Inline: a scan
// compares several names for every file it meets.
inline bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

inline bool StartsWithNoCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

inline bool EndsWithNoCase(std::string_view text, std::string_view suffix)
{
    return text.size() >= suffix.size() &&
           EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

// Negative, zero or positive, as strcmp, on the lower-cased bytes.
int CompareNoCase(std::string_view a, std::string_view b);

// True when rel, a relative path from an untrusted source, stays below the folder it is joined
// to: not absolute, no drive letter or colon, no ".." component. An empty rel is contained.
bool IsContainedRelative(std::string_view rel);

// True when name is a single file or folder name that is safe to create: not empty, no separator,
// not "." or "..", no colon, no control characters.
bool IsPlainName(std::string_view name);

// True when Windows, given name (UTF-8, one name) in a path, reaches the entry of exactly that
// name: a plain name (IsPlainName) without < > " | ? * (wildcards to Windows, or refused), not
// ending in a dot or a blank (Windows drops those), no device (con, prn, aux, nul, conin$, conout$,
// com and lpt with a digit, ¹, ² or ³, in any letter case, with any extension), and no 8.3 short
// form (SNIPER~1.CS), which reaches an entry of another, long name. The Korvane folder is the
// Windows game's on every system, so names from update lists, configuration files and the command
// line pass this everywhere.
bool IsWindowsName(std::string_view name);
// IsContainedRelative, and every name of rel one that IsWindowsName accepts.
bool IsWindowsRelative(std::string_view rel);

// True when a name found in a folder can go into a stored path and reach the same entry again:
// on Windows one that IsWindowsName accepts (a file named con waits on the keyboard when opened
// by its path); elsewhere one without '\', which the stored form reads as a separator.
bool IsStorableName(std::string_view name);
// True when the system's calls reach an entry of this name through its path, as the program's
// file operations name entries: on Windows one that IsWindowsName accepts; every name elsewhere.
bool IsReachableName(std::string_view name);
// Why IsStorableName refuses a name, after the entry's path.
const char* UnstorableReason();

} // namespace korvane::kpath
