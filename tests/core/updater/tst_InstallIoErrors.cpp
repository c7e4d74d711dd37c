// An installation on a disk that fails midway: whatever call fails, the plug-in in use is left
// old in storage and in use, and the installation fails, or new in both; never new in storage
// beside an old copy, which every later installation would take for the player's own.
#include "core/updater/InstallWorker.h"
#include "support/IoFaults.h"
#include "support/LoopbackServer.h"
#include "support/TestTree.h"
#include "support/UpdaterTestSupport.h"

#include <QtTest>

using namespace korvane;

class tst_InstallIoErrors : public QObject
{
    Q_OBJECT

private slots:
    void anInstallationLeavesThePlugInOldOrNewAndTheNextCompletesIt_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("part");
        QTest::addColumn<int>("skip");
        // clang-format off
        QTest::newRow("the copy in use cannot be read") << "read" << "/plugins/weapons/sniper.cs" << 0;
        QTest::newRow("plugins cannot be listed whole") << "readdir" << "/plugins/weapons" << 2;
        // After the scan's look and the one that finds its letter case.
        QTest::newRow("the copy's folder cannot be looked at") << "stat" << "/plugins/weapons$" << 2;
        QTest::newRow("the copy in use cannot be flushed") << "sync" << "/plugins/weapons$" << 0;
        QTest::newRow("storage's file cannot be flushed") << "sync" << "/storage/weapons$" << 0;
        // clang-format on
    }
    void anInstallationLeavesThePlugInOldOrNewAndTheNextCompletesIt()
    {
        QFETCH(QString, kind);
        QFETCH(QString, part);
        QFETCH(int, skip);
        TestTree tree;
        for (const char* folder : {"storage", "plugins"})
            tree.Write(std::string(folder) + "/weapons/sniper.cs", "old");
        LoopbackServer server;
        server.Serve("/u/weapons/sniper.cs", "new");
        const auto list = testsupport::ListOf(testsupport::MakeUpdate(
            "Sniper", "storage\\", server.Url("/u/"), {{"sniper.cs", "weapons\\", 3}}));
        const InstallParams install{0, tree.Folder(), list};
        {
            IoFault fault(tree.Root(), kind.toLatin1(), part.toStdString(), EIO, skip);
            const Status installed = InstallThreadProc(install);
            QVERIFY(fault.Happened());
            QCOMPARE(tree.Read("storage/weapons/sniper.cs"), installed ? "new" : "old");
            QCOMPARE(tree.Read("plugins/weapons/sniper.cs"), installed ? "new" : "old");
        }
        QVERIFY(InstallThreadProc(install));
        QCOMPARE(tree.Read("storage/weapons/sniper.cs"), "new");
        QCOMPARE(tree.Read("plugins/weapons/sniper.cs"), "new");
        QCOMPARE(tree.Names("storage/weapons"), QStringList{"sniper.cs"});
        QCOMPARE(tree.Names("plugins/weapons"), QStringList{"sniper.cs"});
    }
};

QTEST_GUILESS_MAIN(tst_InstallIoErrors)
#include "tst_InstallIoErrors.moc"
