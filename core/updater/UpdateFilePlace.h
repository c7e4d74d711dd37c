#pragma once

#include "core/platform/Path.h"
#include "core/platform/Status.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

class CPluginList;
class CUpdateInfo;
struct CUpdateFileInfo;

// Where one file of an update lies in the Korvane folder and on the server, worked out once from
// the list's names (single-byte Windows text or UTF-8; the file system gets UTF-8).
struct UpdateFilePlace
{
    const CUpdateFileInfo* file = nullptr;
    std::string listed;    // subfolder and name as text: how messages name the file
    std::string subFolder; // below the update's destination, stored form
    std::string stored;    // where it is installed, stored form
    std::string inUseCopy; // the same place below plugins\ when it goes to storage, else empty
    std::string key;       // the plug-in it belongs to: its name before the first dot, or empty
    std::string url;       // the list's bytes, with what a URL cannot hold percent-encoded

    // Every file of the update below the Korvane folder, in list order. Fails, naming it, when
    // the target, a subfolder or a name from the list could lead out of the Korvane folder.
    static korvane::Result<std::vector<UpdateFilePlace>> Of(const CUpdateInfo& update,
                                                            const Path& korvaneFolder);
    // The folder an update's files go to, ending in a separator.
    static std::string Destination(const CUpdateInfo& update, const Path& korvaneFolder);

    // Where the installed file is, following the letter case of what exists.
    std::filesystem::path StoredPath() const;
    // The copy in use the file must follow into: only for a plug-in in inUse (may be null)
    // whose folder below plugins\ exists. It need not exist itself.
    std::optional<std::filesystem::path> InUseCopy(const CPluginList* inUse) const;
};

} // namespace korvane
