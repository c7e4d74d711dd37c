#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace korvane {

// A path in the form the stored files use, and the one way from it to the file system. The stored
// form is UTF-8 text with '\' (or '/') between names and a separator at the end of a folder; it
// reaches the disk only through OnDisk, which finds every name in the letter case the disk has
// it, as a Windows file system would, or through AsGiven, for the few paths that must be taken
// exactly as they are. A std::filesystem::path never turns back into a Path by accident: the two
// do not convert into each other.
class Path
{
public:
    Path() = default;
    // The stored form as given, either separator.
    explicit Path(std::string stored) : m_stored(std::move(stored)) {}
    explicit Path(std::string_view stored) : m_stored(stored) {}
    explicit Path(const char* stored) : m_stored(stored) {}
    // A file-system path is no stored form: it comes from the disk, or from OnDisk.
    Path(const std::filesystem::path&) = delete;

    const std::string& Stored() const { return m_stored; }
    // A folder's path ends in a separator.
    bool IsFolder() const;
    // The same path as a folder's: with the system's separator at the end unless it ends in one.
    Path AsFolder() const;

    // rel (stored form, relative) below this path, with a separator between them unless this
    // path ends in one or is empty.
    Path operator/(std::string_view rel) const;
    Path& operator/=(std::string_view rel);

    // The file-system path: each name that does not exist with exactly this spelling is replaced
    // by an existing entry that differs only in letter case; names that exist in no case, and
    // whatever lies below them, are kept as given. A folder keeps its trailing separator.
    std::filesystem::path OnDisk() const;
    // The file-system path with every name exactly as given, looked up in no other letter case:
    // for a path whose names were just read from the disk's own listings, and for one the user
    // chose that another entry differing only in letter case must not stand in for.
    std::filesystem::path AsGiven() const;
    // True when something (file or folder) is there, in any letter case.
    bool Exists() const;
    // The entry of an on-disk folder whose name equals name without regard to the case of A to Z,
    // as OnDisk finds each name: an entry of exactly that name is preferred. Nothing when the
    // folder cannot be listed or holds no such entry.
    static std::optional<std::filesystem::path> FindInFolder(const std::filesystem::path& folder,
                                                             std::string_view name);

    // The same path without regard to the letter case of A to Z or to the kind of separator:
    // the same entry on a Windows file system.
    bool SameAs(const Path& other) const;

    // Exact comparison of the stored forms.
    bool operator==(const Path& other) const = default;

private:
    std::string m_stored;
};

} // namespace korvane
