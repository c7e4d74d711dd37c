#include "core/updater/CreatePath.h"

#include "core/platform/FileSystem.h"
#include "core/platform/KPath.h"
#include "core/platform/Path.h"

namespace korvane {

bool CreatePath(const std::string& base, const std::string& relative,
                std::vector<std::string>* created)
{
    if (base.empty() || !Path(base).Exists() || !kpath::IsContainedRelative(relative))
        return false;
    std::string current = base;
    if (!kpath::EndsWithSeparator(current))
        current.push_back(kpath::kStoredSeparator);
    std::size_t start = 0;
    while (start < relative.size()) {
        std::size_t end = start;
        while (end < relative.size() && !kpath::IsSeparator(relative[end]))
            ++end;
        current.append(relative, start, end - start);
        if (!kpath::EndsWithSeparator(current))
            current.push_back(kpath::kStoredSeparator);
        // Another program may create the same folder between the test and the creation;
        // finding it there then is as good as having made it.
        if (!Path(current).Exists()) {
            if (kfs::CreateFolder(Path(current).OnDisk()).ok()) {
                if (created)
                    created->push_back(current);
            } else if (!Path(current).Exists()) {
                return false;
            }
        }
        start = end + 1;
    }
    return true;
}

} // namespace korvane
