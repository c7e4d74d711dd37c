#pragma once

#include "core/updater/CUpdateFileInfo.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace korvane {

class ArchiveWriter;

// One installable update of the update list. Text fields hold the list's bytes as they are.
class CUpdateInfo
{
public:
    CUpdateInfo() = default;
    CUpdateInfo(const CUpdateInfo&) = delete;
    CUpdateInfo& operator=(const CUpdateInfo&) = delete;

    // Writes the record in the list's byte form.
    void Serialize(ArchiveWriter& ar) const;

    // "major.minor", each without padding: 1 and 10 give "1.10".
    std::string VersionText() const;

    std::string m_strTargetDir;  // below the Korvane folder: empty or ending in '\'
    std::string m_strBaseURL;    // a file's URL is this + its subfolder with '/' + its name
    std::string m_strUpdateName; // shown to the user
    std::uint8_t m_nVersionMajor = 0;
    std::uint8_t m_nVersionMinor = 0;
    std::atomic<bool> m_bInstalling{false}; // while a worker installs it; never stored
    std::vector<CUpdateFileInfo> m_arrFiles;
};

} // namespace korvane
