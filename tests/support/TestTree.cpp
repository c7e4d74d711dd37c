#include "support/TestTree.h"

#include "core/platform/AtomicFile.h"
#include "core/platform/FileSystem.h"
#include "core/platform/FolderReader.h"
#include "core/platform/KPath.h"

#include <algorithm>
#include <filesystem>
#include <QDir>
#include <QtTest>

namespace korvane {

TestTree::TestTree()
{
    if (!m_dir.isValid())
        qFatal("cannot create a temporary folder");
}

TestTree::~TestTree()
{
#ifdef Q_OS_WIN
    // Qt's removal lists folders of paths beyond 260 characters and removes read-only files too
    // (MinGW's directory reading would list the current folder instead); a Windows name is
    // always text.
    QDir(QString::fromStdString(Root())).removeRecursively();
#else
    std::error_code ec;
    std::filesystem::remove_all(kpath::ToNative(Root()), ec);
#endif
}

std::string TestTree::Root() const
{
    // In the form a folder chosen by the player has: "C:\...\" on Windows.
    return kpath::WithTrailingSeparator(QDir::toNativeSeparators(m_dir.path()).toStdString());
}

std::string TestTree::Path(std::string_view rel) const
{
    std::string path = Root() + std::string(rel);
#ifdef Q_OS_WIN
    std::replace(path.begin(), path.end(), '/', '\\');
#endif
    return path;
}

void TestTree::Write(std::string_view rel, std::string_view bytes) const
{
    const auto path = kpath::ToNative(Path(rel));
    std::filesystem::create_directories(path.parent_path());
    if (auto w = kfs::WriteFileAtomically(path, bytes); !w)
        qFatal("cannot write a test file: %s", w.reason().c_str());
}

void TestTree::MakeFolder(std::string_view rel) const
{
    std::filesystem::create_directories(kpath::ToNative(Path(rel)));
}

std::string TestTree::Read(std::string_view rel) const
{
    auto bytes = kfs::ReadFile(kpath::ToNative(Path(rel)));
    return bytes ? std::move(bytes).value() : std::string();
}

bool TestTree::Exists(std::string_view rel) const
{
    return kfs::Exists(kpath::ToNative(Path(rel)));
}

QStringList TestTree::Names(std::string_view folder) const
{
    return QDir(QPath(folder))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace korvane
