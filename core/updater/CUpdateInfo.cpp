#include "core/updater/CUpdateInfo.h"

#include "core/updater/ArchiveWriter.h"

namespace korvane {

void CUpdateInfo::Serialize(ArchiveWriter& ar) const
{
    ar.WriteByte(1); // record version
    ar.WriteString(m_strUpdateName);
    ar.WriteString(m_strTargetDir);
    ar.WriteString(m_strBaseURL);
    ar.WriteCount(m_arrFiles.size());
    for (const CUpdateFileInfo& file : m_arrFiles) {
        ar.WriteString(file.m_strFile);
        ar.WriteString(file.m_strSubDir);
        ar.WriteDword(file.m_dwSize);
    }
    ar.WriteByte(m_nVersionMajor);
    ar.WriteByte(m_nVersionMinor);
}

std::string CUpdateInfo::VersionText() const
{
    return std::to_string(m_nVersionMajor) + "." + std::to_string(m_nVersionMinor);
}

} // namespace korvane
