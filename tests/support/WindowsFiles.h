#pragma once

#include <memory>
#include <QString>

// What Windows keeps of a file besides its bytes, and how another program holds one: for the
// tests of the Windows build (a function here does nothing elsewhere).
namespace korvane::testsupport {

struct FileAttributes
{
    bool readOnly = false;
    bool hidden = false;
};

// The file's attributes; nothing set when it is not there.
FileAttributes AttributesOf(const QString& file);
bool SetAttributes(const QString& file, FileAttributes attributes);
// The file's name as the folder holds it, in its own letter case; empty when it is not there.
QString NameOnDisk(const QString& file);

// While it lives, the file is open for reading without sharing, as an editor or a virus scanner
// may hold it: no other open, rename or delete of it succeeds.
class HeldOpen
{
public:
    explicit HeldOpen(const QString& file);
    ~HeldOpen();
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;

    bool Ok() const { return m_handle != nullptr; }

private:
    void* m_handle = nullptr;
};

} // namespace korvane::testsupport
