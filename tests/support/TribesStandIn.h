#pragma once

#include "support/TestTree.h"

#include <QFile>
#include <QString>
#include <QStringList>

// KORVANE_TRIBES_STANDIN: the stand-in program of this build (tests/support/standin), given to
// every test program.
namespace korvane::testsupport {

// Puts the stand-in for tribes.exe at rel below the tree (a program of this system, which the
// launch starts directly).
inline bool PutTribesStandIn(const TestTree& tree, std::string_view rel)
{
    tree.MakeFolder(rel.substr(0, rel.find_last_of("/\\") + 1));
    QFile::remove(tree.QPath(rel));
    return QFile::copy(QStringLiteral(KORVANE_TRIBES_STANDIN), tree.QPath(rel));
}

// What the stand-in in the folder rel recorded when it was last started: the folder it was
// started in, then each argument, one a line; empty while it has not run.
inline QString TribesRun(const TestTree& tree, std::string_view rel)
{
    return QString::fromStdString(tree.Read(std::string(rel) + "tribes-run.txt"));
}

// The record the stand-in in folder rel writes when started there with these arguments.
inline QString ExpectedRun(const TestTree& tree, std::string_view rel, const QStringList& arguments)
{
    QString folder = tree.QPath(rel);
    folder.chop(1); // the working folder has no trailing separator
    return (QStringList{folder} + arguments).join(u'\n') + u'\n';
}

} // namespace korvane::testsupport
