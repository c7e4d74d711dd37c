#pragma once

#include "core/updater/CUpdateList.h"
#include "support/LoopbackServer.h"
#include "support/TestTree.h"
#include "support/UpdaterTestSupport.h"

#include <chrono>
#include <map>
#include <memory>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <string>
#include <vector>

// An update's files on the loopback server and the state of a Korvane folder, for the tests of
// installations.
namespace korvane::testsupport {

struct File
{
    std::string subDir;
    std::string name;
    QByteArray content;
};

// A list with one update of these files, each served under /u/.
inline std::unique_ptr<CUpdateList> Offer(LoopbackServer& server, const std::string& target,
                                          const std::vector<File>& files)
{
    std::vector<CUpdateFileInfo> infos;
    for (const File& file : files) {
        server.Serve(QByteArray::fromStdString("/u/" + file.subDir + file.name).replace('\\', '/'),
                     file.content);
        infos.push_back({file.name, file.subDir, std::uint32_t(file.content.size())});
    }
    auto list = std::make_unique<CUpdateList>();
    list->m_arrUpdates.push_back(MakeUpdate("Update", target, server.Url("/u/"), infos));
    // A server that sends nothing for half a second has stalled; any trickle is progress.
    list->m_transferOptions.stall = {1, std::chrono::milliseconds(500)};
    return list;
}

// Every file or folder below the tree's root, relative to it.
inline QStringList Entries(const TestTree& tree, QDir::Filters filter = QDir::Files)
{
    const QString root = QString::fromStdString(tree.Root());
    QStringList entries;
    QDirIterator it(root, filter | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << it.next().mid(root.size());
    entries.sort();
    return entries;
}

// Every file below the tree's root with its bytes.
inline std::map<QString, QByteArray> Contents(const TestTree& tree)
{
    std::map<QString, QByteArray> contents;
    for (const QString& entry : Entries(tree)) {
        QFile file(QString::fromStdString(tree.Root()) + entry);
        if (file.open(QIODevice::ReadOnly))
            contents[entry] = file.readAll();
    }
    return contents;
}

} // namespace korvane::testsupport
