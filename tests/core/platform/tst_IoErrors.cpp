// The file layer on a disk that fails: a flush that does not reach the disk, a file that cannot
// be looked at (a listing cut short is tried through the commands, in tst_FileFaults). None may
// pass for success or for a file that is not there.
#include "core/platform/AtomicFile.h"
#include "core/platform/FileSystem.h"
#include "core/platform/FolderReader.h"
#include "support/IoFaults.h"
#include "support/TestTree.h"

#include <QtTest>

using namespace korvane;

class tst_IoErrors : public QObject
{
    Q_OBJECT

private slots:
    // A copy that a delete relies on counts only once its bytes and its name are on the disk:
    // when either flush fails, there is no copy. A replaced file whose folder cannot be flushed
    // is in place, but the write fails.
    void aFailedFlushIsAFailedWrite_data()
    {
        QTest::addColumn<QString>("flushed"); // the end of the path whose flush fails
        QTest::newRow("the copy's bytes") << ".part";
        QTest::newRow("the copy's name") << "/to";
    }
    void aFailedFlushIsAFailedWrite()
    {
        QFETCH(QString, flushed);
        TestTree tree;
        tree.Write("from/a.cs", "bytes");
        tree.MakeFolder("to");
        {
            IoFault fault(tree.Root(), "sync", flushed.toStdString() + "$");
            QVERIFY(!kfs::CopyFileNoOverwrite(tree.Path("from/a.cs"), tree.Path("to/a.cs"),
                                              kfs::Flush::ToDisk));
            QVERIFY(fault.Happened());
        }
        QCOMPARE(tree.Names("to"), QStringList{});
        QVERIFY(kfs::CopyFileNoOverwrite(tree.Path("from/a.cs"), tree.Path("to/a.cs"),
                                         kfs::Flush::ToDisk));
        QCOMPARE(tree.Read("to/a.cs"), std::string("bytes"));

        {
            IoFault fault(tree.Root(), "sync", flushed.toStdString() + "$");
            kfs::AtomicFile file(tree.Path("to/a.cs"));
            QVERIFY(file.Append("new"));
            const Status committed = file.Commit();
            QVERIFY(fault.Happened());
            QVERIFY(QString::fromStdString(committed.reason()).contains(tree.QPath("to/a.cs")));
            // Only the folder's flush comes after the rename.
            QCOMPARE(file.Placed(), flushed == "/to");
        }
        QCOMPARE(tree.Read("to/a.cs"), std::string(flushed == "/to" ? "new" : "bytes"));
        QCOMPARE(tree.Names("to"), QStringList{"a.cs"});
    }

    // A file that could not be looked at or read is not taken for one that is not there.
    void aFileThatCannotBeReadIsNotAMissingFile()
    {
        TestTree tree;
        tree.Write("a.desc.txt", "Name=A");
        tree.MakeFolder("folder.desc.txt");
        {
            IoFault fault(tree.Root(), "stat", "a.desc.txt");
            QVERIFY(!kfs::IsMissing(tree.Path("a.desc.txt")));
            QVERIFY(fault.Happened());
        }
        QCOMPARE(kfs::ReadFileIfThere(tree.Path("a.desc.txt"))->value_or(""), "Name=A");
        QVERIFY(kfs::IsMissing(tree.Path("none.desc.txt")));
        for (const char* nothing : {"none.desc.txt", "folder.desc.txt"})
            QVERIFY(!kfs::ReadFileIfThere(tree.Path(nothing))->has_value());
    }
};

QTEST_GUILESS_MAIN(tst_IoErrors)
#include "tst_IoErrors.moc"
