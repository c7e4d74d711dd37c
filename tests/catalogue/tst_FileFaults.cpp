// File operations meeting the disk as players' disks are: odd names, files that vanish, folders
// that are not there or are files. Nothing may crash, stop early or touch what is not the key's.
#include "catalogue/CPluginList.h"
#include "catalogue/FileOperations.h"
#include "support/TestTree.h"

#include <QtTest>

class tst_FileFaults : public QObject
{
    Q_OBJECT

private:
    static CPluginInfo Plugin(const std::string& key, const std::string& subdirectory = {})
    {
        CPluginInfo plugin(key, key, "Unknown");
        plugin.m_strSubdirectory = subdirectory;
        return plugin;
    }

private slots:
    void oddNamesAreScannedCopiedAndDeleted_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("key");
        QTest::newRow("spaces") << "my weapons"
                                << "big gun";
        QTest::newRow("non-ascii")
            << QString::fromUtf8("w\u00e4ffen") << QString::fromUtf8("gew\u00e9hr");
        QTest::newRow("wildcards") << "[set]"
                                   << "a*b?";
        QTest::newRow("leading dash") << "-x"
                                      << "-rf";
    }
    void oddNamesAreScannedCopiedAndDeleted()
    {
        QFETCH(QString, folder);
        QFETCH(QString, key);
        const std::string sub = folder.toStdString() + "\\";
        const std::string k = key.toStdString();
        TestTree tree;
        tree.Write("storage/" + folder.toStdString() + "/" + k + ".cs", "script");
        tree.Write("storage/" + folder.toStdString() + "/" + k + ".desc.txt", "Name=" + k + "\r\n");
        tree.MakeFolder("plugins");

        CPluginList list;
        QCOMPARE(list.Rescan(tree.Path("storage\\")), 1);
        const CPluginInfo& plugin = *list.GetAt(0);
        QCOMPARE(plugin.m_strFileName, k);
        QCOMPARE(plugin.m_strName, k);
        QCOMPARE(plugin.m_strSubdirectory, sub);

        QVERIFY(plugin.CopyFiles(tree.Path("storage\\"), tree.Path("plugins\\"), false));
        QCOMPARE(tree.Read("plugins/" + folder.toStdString() + "/" + k + ".cs"),
                 std::string("script"));
        plugin.DeleteFiles(tree.Path("plugins\\"));
        QVERIFY(!tree.Exists("plugins/" + folder.toStdString() + "/" + k + ".cs"));
        QVERIFY(tree.Exists("storage/" + folder.toStdString() + "/" + k + ".cs"));
    }

    void aVanishedFileIsPassedOverAndTheRestIsCopied()
    {
        TestTree tree;
        tree.Write("storage/blaster.cs", "a");
        tree.Write("storage/blaster.z.cs", "c");
        // Listed, but gone by the time it is copied.
        QVERIFY(QFile::link(QString::fromStdString(tree.Path("storage/gone.cs")),
                            QString::fromStdString(tree.Path("storage/blaster.b.cs"))));
        tree.MakeFolder("plugins");
        QVERIFY(Plugin("blaster").CopyFiles(tree.Path("storage\\"), tree.Path("plugins\\"), true));
        QVERIFY(tree.Exists("plugins/blaster.cs"));
        QVERIFY(tree.Exists("plugins/blaster.z.cs"));
        QVERIFY(!tree.Exists("plugins/blaster.b.cs"));
    }

    void aMissingPluginsFolderIsNotCreatedByACopy()
    {
        TestTree tree;
        tree.Write("storage/blaster.cs", "a");
        tree.Write("storage/w/sniper.cs", "b");
        QVERIFY(Plugin("blaster").CopyFiles(tree.Path("storage\\"), tree.Path("plugins\\"), false));
        QVERIFY(!Plugin("sniper", "w\\")
                     .CopyFiles(tree.Path("storage\\"), tree.Path("plugins\\"), false));
        QVERIFY(!tree.Exists("plugins"));
        Plugin("blaster").DeleteFiles(tree.Path("plugins\\")); // nothing there: nothing happens
        fileops::DeleteTree(tree.Path("plugins\\"));
        QVERIFY(tree.Exists("storage/blaster.cs"));
    }

    void aFileWhereAFolderShouldBeStopsNothingElse()
    {
        TestTree tree;
        tree.Write("storage", "I am a file");
        tree.Write("plugins/a.cs", "a");
        tree.Write("plugins/w/b.cs", "b");
        fileops::CopyTree(tree.Path("plugins\\"), tree.Path("storage\\"));
        QCOMPARE(tree.Read("storage"), std::string("I am a file"));
        CPluginList list;
        QCOMPARE(list.Rescan(tree.Path("storage\\")), 0);

        // The plug-in's subfolder is taken by a file: the copy fails and reports it.
        TestTree other;
        other.Write("storage/w/b.cs", "b");
        other.Write("plugins/w", "file in the way");
        QVERIFY(
            !Plugin("b", "w\\").CopyFiles(other.Path("storage\\"), other.Path("plugins\\"), false));
        QCOMPARE(other.Read("plugins/w"), std::string("file in the way"));
    }

    void readOnlyFilesDoNotStopATreeCopy()
    {
        TestTree tree;
        tree.Write("plugins/a.cs", "a");
        tree.Write("plugins/b.cs", "b");
        QFile::setPermissions(QString::fromStdString(tree.Path("plugins/a.cs")), QFile::ReadOwner);
        tree.MakeFolder("storage");
        fileops::CopyTree(tree.Path("plugins\\"), tree.Path("storage\\"));
        QCOMPARE(tree.Read("storage/a.cs"), std::string("a"));
        QCOMPARE(tree.Read("storage/b.cs"), std::string("b"));
    }

    void noTemporaryFileIsLeftBehind()
    {
        TestTree tree;
        tree.Write("plugins/a.cs", "a");
        tree.Write("plugins/s/b.cs", "b");
        tree.MakeFolder("storage");
        fileops::CopyTree(tree.Path("plugins\\"), tree.Path("storage\\"));
        const QDir storage(QString::fromStdString(tree.Path("storage")));
        QCOMPARE(storage.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{"a.cs", "s"}));
    }
};

QTEST_GUILESS_MAIN(tst_FileFaults)
#include "tst_FileFaults.moc"
