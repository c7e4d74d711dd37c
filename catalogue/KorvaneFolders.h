#pragma once

#include <string>

// The two folders below the Korvane folder, composed as the stored forms compose them.
namespace korvane {

inline std::string StorageFolder(const std::string& korvaneFolder)
{
    return korvaneFolder + "storage\\";
}

inline std::string PluginsFolder(const std::string& korvaneFolder)
{
    return korvaneFolder + "plugins\\";
}

} // namespace korvane
