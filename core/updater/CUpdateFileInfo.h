#pragma once

#include <cstdint>
#include <string>

namespace korvane {

// One file of an update, as the update list names it.
struct CUpdateFileInfo
{
    std::string m_strFile;      // file name without folder
    std::string m_strSubDir;    // below the update's target folder: empty or "a\" or "a\b\"
    std::uint32_t m_dwSize = 0; // bytes; a file of another size is not installed
};

} // namespace korvane
