#pragma once

#include "core/platform/Path.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <string>
#include <string_view>

namespace korvane {

// A scratch folder for one test, removed afterwards. Relative names use '/' or '\'.
class TestTree
{
public:
    TestTree();
    // Removes the folder by its bytes: a name that is no UTF-8 is out of QTemporaryDir's reach.
    ~TestTree();
    TestTree(const TestTree&) = delete;
    TestTree& operator=(const TestTree&) = delete;

    // The folder in the program's stored form, ending in a separator.
    std::string Root() const;
    // Root() followed by rel (a folder given with a trailing separator keeps it), with the
    // system's separators on Windows.
    std::string Path(std::string_view rel) const;
    QString QPath(std::string_view rel) const { return QString::fromStdString(Path(rel)); }
    // The same as the program takes a folder.
    korvane::Path Folder(std::string_view rel = {}) const { return korvane::Path(Path(rel)); }

    void Write(std::string_view rel, std::string_view bytes) const;
    void MakeFolder(std::string_view rel) const;
    std::string Read(std::string_view rel) const; // empty when missing
    bool Exists(std::string_view rel) const;
    QStringList Names(std::string_view folder) const; // its entries by name, hidden ones too

private:
    QTemporaryDir m_dir;
};

} // namespace korvane
