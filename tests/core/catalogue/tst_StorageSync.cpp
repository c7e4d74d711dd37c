#include "core/catalogue/StorageSync.h"
#include "support/TestTree.h"

#include <QtTest>

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
        QCOMPARE(storagesync::Synchronise(tree.Path("k/"), false, catalogue, inUse),
                 storagesync::Outcome::Ready);
        QVERIFY(tree.Exists("k/storage/weapons/sniper.desc.txt"));
        QVERIFY(!tree.Exists("k/storage/weapons/notes.txt"));
        QCOMPARE(catalogue.GetSize(), 2);
        QCOMPARE(catalogue.Find("sniper")->m_strName, std::string("Sniper"));
    }

    void storageNamedByAFileIsLeftAlone()
    {
        TestTree tree;
        tree.Write("k/storage", "a file");
        tree.Write("k/plugins/blaster.cs", "b");
        QCOMPARE(storagesync::PrepareStorage(tree.Path("k/"), true), StorageState::Existing);
        QCOMPARE(tree.Read("k/storage"), std::string("a file"));
    }

    void storageFolderInAnotherLetterCaseIsTheStorageFolder()
    {
        TestTree tree;
        tree.Write("k/Storage/blaster.cs", "b");
        tree.Write("k/plugins/sniper.cs", "s");
        QCOMPARE(storagesync::PrepareStorage(tree.Path("k/"), true), StorageState::Existing);
        QVERIFY(tree.Exists("k/Storage/sniper.cs"));
        QVERIFY(!tree.Exists("k/storage/"));
    }
};

QTEST_GUILESS_MAIN(tst_StorageSync)
#include "tst_StorageSync.moc"
