#include "core/catalogue/TextFile.h"

#include "core/platform/AtomicFile.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"

namespace korvane::textfile {

std::string ToDiskText(std::string_view text)
{
    std::string disk;
    disk.reserve(text.size() + text.size() / 16);
    for (const char c : text) {
        if (c == '\n')
            disk.push_back('\r');
        disk.push_back(c);
    }
    return disk;
}

korvane::Status WriteText(std::string_view storedPath, std::string_view text)
{
    return kfs::WriteFileAtomically(Path(storedPath).OnDisk(), ToDiskText(text));
}

} // namespace korvane::textfile
