#include "support/WindowsFiles.h"

#include <QDir>
#include <QFileInfo>

#ifdef _WIN32
#include <windows.h>
#endif

namespace korvane::testsupport {

#ifdef _WIN32
namespace {

std::wstring Native(const QString& file)
{
    return QDir::toNativeSeparators(file).toStdWString();
}

} // namespace
#endif

FileAttributes AttributesOf([[maybe_unused]] const QString& file)
{
#ifdef _WIN32
    const DWORD attributes = ::GetFileAttributesW(Native(file).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return {(attributes & FILE_ATTRIBUTE_READONLY) != 0,
                (attributes & FILE_ATTRIBUTE_HIDDEN) != 0};
#endif
    return {};
}

bool SetAttributes([[maybe_unused]] const QString& file, [[maybe_unused]] FileAttributes attributes)
{
#ifdef _WIN32
    DWORD set = FILE_ATTRIBUTE_ARCHIVE;
    if (attributes.readOnly)
        set |= FILE_ATTRIBUTE_READONLY;
    if (attributes.hidden)
        set |= FILE_ATTRIBUTE_HIDDEN;
    return ::SetFileAttributesW(Native(file).c_str(), set) != 0;
#else
    return false;
#endif
}

QString NameOnDisk(const QString& file)
{
    const QFileInfo info(file);
    const QStringList names =
        info.dir().entryList({info.fileName()}, QDir::AllEntries | QDir::Hidden | QDir::System);
    return names.value(0);
}

HeldOpen::HeldOpen([[maybe_unused]] const QString& file)
{
#ifdef _WIN32
    const HANDLE handle = ::CreateFileW(Native(file).c_str(), GENERIC_READ, 0, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE)
        m_handle = handle;
#endif
}

HeldOpen::~HeldOpen()
{
#ifdef _WIN32
    if (m_handle)
        ::CloseHandle(m_handle);
#endif
}

} // namespace korvane::testsupport
