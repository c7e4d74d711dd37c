#pragma once

#include "core/updater/ArchiveWriter.h"
#include "core/updater/CUpdateList.h"

#include <cstdint>
#include <memory>
#include <QByteArray>
#include <QtEndian>
#include <string>
#include <vector>

// Records and list bytes for the updater's tests.
namespace korvane::testsupport {

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
    return ar.Take().value();
}

template <class... Update> std::shared_ptr<CUpdateList> ListOf(std::unique_ptr<Update>... updates)
{
    auto list = std::make_shared<CUpdateList>();
    (list->m_arrUpdates.push_back(std::move(updates)), ...);
    return list;
}

inline QByteArray Dword(quint32 value)
{
    const quint32 little = qToLittleEndian(value);
    return QByteArray(reinterpret_cast<const char*>(&little), 4);
}

// The head of a list that claims count records.
inline QByteArray ListHeader(quint32 count)
{
    return QByteArray("UPDATE\x01", 7) + Dword(count);
}

// The start of a record whose name claims length bytes.
inline QByteArray NameClaim(quint32 length)
{
    return QByteArray("\x01\xFF\xFF\xFF", 4) + Dword(length);
}

} // namespace korvane::testsupport
