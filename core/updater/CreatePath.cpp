#include "core/updater/CreatePath.h"

#include "core/platform/FileSystem.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"

namespace korvane {

bool CreatePath(const std::string& strBase, const std::string& strRel,
                std::vector<std::string>* pCreated)
{
    if (strBase.empty() || !Path(strBase).Exists() || !kpath::IsContainedRelative(strRel))
        return false;
    std::string current = strBase;
    if (!kpath::EndsWithSeparator(current))
        current.push_back(kpath::kStoredSeparator);
    std::size_t start = 0;
    while (start < strRel.size()) {
        std::size_t end = start;
        while (end < strRel.size() && !kpath::IsSeparator(strRel[end]))
            ++end;
        current.append(strRel, start, end - start);
        if (!kpath::EndsWithSeparator(current))
            current.push_back(kpath::kStoredSeparator);
        // Another installation may create the same folder between the test and the creation;
        // finding it there then is as good as having made it.
        if (!Path(current).Exists()) {
            if (kfs::CreateFolder(Path(current).OnDisk()).ok()) {
                if (pCreated)
                    pCreated->push_back(current);
            } else if (!Path(current).Exists()) {
                return false;
            }
        }
        start = end + 1;
    }
    return true;
}

} // namespace korvane
