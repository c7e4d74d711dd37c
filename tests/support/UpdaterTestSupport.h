#pragma once

#include "core/updater/ArchiveWriter.h"
#include "core/updater/CUpdateList.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Records and list bytes for the updater's tests.
namespace testsupport {

inline std::unique_ptr<CUpdateInfo> MakeUpdate(std::string name, std::string target,
                                               std::string baseUrl,
                                               std::vector<CUpdateFileInfo> files = {},
                                               std::uint8_t major = 1, std::uint8_t minor = 0)
{
    auto update = std::make_unique<CUpdateInfo>();
    update->m_strUpdateName = std::move(name);
    update->m_strTargetDir = std::move(target);
    update->m_strBaseURL = std::move(baseUrl);
    update->m_arrFiles = std::move(files);
    update->m_nVersionMajor = major;
    update->m_nVersionMinor = minor;
    return update;
}

inline std::string ListBytes(const CUpdateList& list)
{
    ArchiveWriter ar;
    list.Serialize(ar);
    return ar.Bytes();
}

inline std::string ListBytes(std::unique_ptr<CUpdateInfo> update)
{
    CUpdateList list;
    list.m_arrUpdates.push_back(std::move(update));
    return ListBytes(list);
}

} // namespace testsupport
