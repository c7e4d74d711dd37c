#include "core/catalogue/StorageSync.h"
#include "support/TestTree.h"

#include <QtTest>

using namespace korvane;

using storagesync::StorageState;

// The window's tests cover creation, refresh and the missing-folder cases through the window;
// these cover what only shows in the folders.
class tst_StorageSync : public QObject
{
    Q_OBJECT

private slots:
    void pluginInUseThatStorageLacksBringsOnlyItsOwnFiles()
    {
        TestTree tree;
        tree.Write("k/storage/plasma.cs", "p");
        tree.Write("k/plugins/weapons/sniper.cs", "s");
        tree.Write("k/plugins/weapons/sniper.desc.txt", "Name=Sniper\r\n");
        tree.Write("k/plugins/weapons/notes.txt", "not the plug-in's");
        CPluginList catalogue, inUse;
        QCOMPARE(storagesync::Synchronise(tree.Path("k/"), false, catalogue, inUse).outcome,
                 storagesync::Outcome::Ready);
        QVERIFY(tree.Exists("k/storage/weapons/sniper.desc.txt"));
        QVERIFY(!tree.Exists("k/storage/weapons/notes.txt"));
        QCOMPARE(catalogue.GetSize(), 2);
        QCOMPARE(catalogue.Find("sniper")->m_strName, std::string("Sniper"));
    }

    // A file named storage is left alone; a folder in another letter case is the storage folder.
    void existingStorageIsTakenAsItIs()
    {
        TestTree tree;
        tree.Write("a/storage", "a file");
        tree.Write("a/plugins/blaster.cs", "b");
        tree.Write("b/Storage/blaster.cs", "b");
        tree.Write("b/plugins/sniper.cs", "s");
        fileops::FailureList failures;
        QCOMPARE(storagesync::PrepareStorage(tree.Path("a/"), true, failures),
                 StorageState::Existing);
        QCOMPARE(tree.Read("a/storage"), std::string("a file"));
        QVERIFY(!failures.empty()); // the file cannot take the plug-ins
        fileops::FailureList none;
        QCOMPARE(storagesync::PrepareStorage(tree.Path("b/"), true, none), StorageState::Existing);
        QVERIFY(tree.Exists("b/Storage/sniper.cs"));
        QCOMPARE(tree.Names("b"), (QStringList{"Storage", "plugins"}));
        QVERIFY(none.empty());
    }

    // Storage that cannot take a plug-in in use is reported, and the plug-in stays in use.
    void whatStorageCannotTakeIsReported()
    {
        TestTree tree;
        tree.Write("k/storage/weapons", "a file where a folder should be");
        tree.Write("k/plugins/weapons/sniper.cs", "s");
        CPluginList catalogue, inUse;
        const auto synchronised = storagesync::Synchronise(tree.Path("k/"), true, catalogue, inUse);
        QCOMPARE(synchronised.outcome, storagesync::Outcome::Ready);
        QVERIFY2(synchronised.copies.reason().find("weapons/sniper.cs") != std::string::npos,
                 synchronised.copies.reason().c_str());
        QCOMPARE(tree.Read("k/plugins/weapons/sniper.cs"), std::string("s"));
        QCOMPARE(inUse.GetSize(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_StorageSync)
#include "tst_StorageSync.moc"
