#include "catalogue/CPluginList.h"
#include "catalogue/FileOperations.h"
#include "support/TestTree.h"

#include <QtTest>

class tst_FileOperations : public QObject
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
    void puttingInUseCopiesOnlyScriptsOfTheKey()
    {
        TestTree tree;
        for (const char* name : {"blaster.cs", "blaster.desc.txt", "blaster.ico",
                                 "blaster.heavy.cs", "blasterx.cs", "Blaster.Old.CS"})
            tree.Write(std::string("storage/") + name, name);
        tree.MakeFolder("plugins");
        QVERIFY(Plugin("blaster").CopyFiles(tree.Path("storage\\"), tree.Path("plugins\\"), false));
        QVERIFY(tree.Exists("plugins/blaster.cs"));
        QVERIFY(tree.Exists("plugins/blaster.heavy.cs"));
        QVERIFY(tree.Exists("plugins/Blaster.Old.CS"));
        QVERIFY(!tree.Exists("plugins/blaster.desc.txt"));
        QVERIFY(!tree.Exists("plugins/blaster.ico"));
        QVERIFY(!tree.Exists("plugins/blasterx.cs"));
    }

    void allFilesModeCopiesDescriptionAndIcon()
    {
        TestTree tree;
        tree.Write("plugins/w/sniper.cs", "s");
        tree.Write("plugins/w/sniper.desc.txt", "d");
        tree.Write("plugins/w/sniper.ico", "i");
        tree.MakeFolder("storage");
        QVERIFY(Plugin("sniper", "w\\")
                    .CopyFiles(tree.Path("plugins\\"), tree.Path("storage\\"), true));
        QCOMPARE(tree.Read("storage/w/sniper.desc.txt"), std::string("d"));
        QCOMPARE(tree.Read("storage/w/sniper.ico"), std::string("i"));
    }

    void existingFilesAreNeverReplacedWhateverTheirCase()
    {
        TestTree tree;
        tree.Write("storage/blaster.cs", "new");
        tree.Write("plugins/blaster.cs", "old");
        tree.Write("storage/sniper.cs", "new");
        tree.Write("plugins/SNIPER.CS", "old");
        QVERIFY(Plugin("blaster").CopyFiles(tree.Path("storage\\"), tree.Path("plugins\\"), false));
        QVERIFY(Plugin("sniper").CopyFiles(tree.Path("storage\\"), tree.Path("plugins\\"), false));
        QCOMPARE(tree.Read("plugins/blaster.cs"), std::string("old"));
        QVERIFY(!tree.Exists("plugins/sniper.cs"));
        QCOMPARE(tree.Read("plugins/SNIPER.CS"), std::string("old"));
    }

    void onlyOneFolderLevelIsCreated()
    {
        TestTree tree;
        tree.Write("storage/weapons/blaster.cs", "b");
        tree.Write("storage/weapons/heavy/cannon.cs", "c");
        tree.MakeFolder("plugins");
        QVERIFY(Plugin("blaster", "weapons\\")
                    .CopyFiles(tree.Path("storage\\"), tree.Path("plugins\\"), false));
        QVERIFY(tree.Exists("plugins/weapons/blaster.cs"));
        tree.MakeFolder("plugins2");
        QVERIFY(!Plugin("cannon", "weapons\\heavy\\")
                     .CopyFiles(tree.Path("storage\\"), tree.Path("plugins2\\"), false));
        QVERIFY(!tree.Exists("plugins2/weapons"));
    }

    void keysWithWildcardCharactersMatchOnlyThemselves()
    {
        TestTree tree;
        for (const char* name : {"a*.cs", "abc.cs", "a?.cs", "ab.cs", "[a].cs", "a.cs"})
            tree.Write(std::string("plugins/") + name, name);
        QVERIFY(Plugin("a*").DeleteFiles(tree.Path("plugins\\")));
        QVERIFY(Plugin("a?").DeleteFiles(tree.Path("plugins\\")));
        QVERIFY(Plugin("[a]").DeleteFiles(tree.Path("plugins\\")));
        QVERIFY(!tree.Exists("plugins/a*.cs"));
        QVERIFY(!tree.Exists("plugins/a?.cs"));
        QVERIFY(!tree.Exists("plugins/[a].cs"));
        QVERIFY(tree.Exists("plugins/abc.cs"));
        QVERIFY(tree.Exists("plugins/ab.cs"));
        QVERIFY(tree.Exists("plugins/a.cs"));
    }

    void takingOutOfUseDeletesEveryFileOfTheKeyAndKeepsTheFolder()
    {
        TestTree tree;
        tree.Write("plugins/w/blaster.cs", "");
        tree.Write("plugins/w/BLASTER.notes", "");
        tree.Write("plugins/w/blaster", "");
        tree.Write("plugins/w/blasterx.cs", "");
        QVERIFY(Plugin("blaster", "w\\").DeleteFiles(tree.Path("plugins\\")));
        QVERIFY(!tree.Exists("plugins/w/blaster.cs"));
        QVERIFY(!tree.Exists("plugins/w/BLASTER.notes"));
        QVERIFY(!tree.Exists("plugins/w/blaster"));
        QVERIFY(tree.Exists("plugins/w/blasterx.cs"));
        QVERIFY(Plugin("blasterx", "w\\").DeleteFiles(tree.Path("plugins\\")));
        QVERIFY(tree.Exists("plugins/w"));
    }

    void copyTreeAddsWhatIsMissingAndKeepsWhatIsThere()
    {
        TestTree tree;
        tree.Write("plugins/a.cs", "plugins");
        tree.Write("plugins/x/y/b.cs", "plugins");
        tree.Write("plugins/X2/c.cs", "plugins");
        tree.Write("storage/a.cs", "storage");
        tree.Write("storage/x2/d.cs", "storage");
        QVERIFY(fileops::CopyTree(tree.Path("plugins\\"), tree.Path("storage\\")));
        QCOMPARE(tree.Read("storage/a.cs"), std::string("storage"));
        QCOMPARE(tree.Read("storage/x/y/b.cs"), std::string("plugins"));
        // A folder that storage has in another letter case is filled, not doubled.
        QCOMPARE(tree.Read("storage/x2/c.cs"), std::string("plugins"));
        QVERIFY(!tree.Exists("storage/X2"));
    }

    void deleteTreeEmptiesTheFolderButKeepsIt()
    {
        TestTree tree;
        tree.Write("plugins/a.cs", "");
        tree.Write("plugins/deep/er/b.cs", "");
        tree.Write("outside/keep.cs", "keep");
        QVERIFY(QFile::link(QString::fromStdString(tree.Path("outside")),
                            QString::fromStdString(tree.Path("plugins/link"))));
        QVERIFY(fileops::DeleteTree(tree.Path("plugins\\")));
        QVERIFY(tree.Exists("plugins"));
        QVERIFY(!tree.Exists("plugins/a.cs"));
        QVERIFY(!tree.Exists("plugins/deep"));
        QVERIFY(!tree.Exists("plugins/link"));
        // A link inside is removed, never followed.
        QCOMPARE(tree.Read("outside/keep.cs"), std::string("keep"));
    }

    void copyAllCopiesEveryRecord()
    {
        TestTree tree;
        tree.Write("storage/a.cs", "");
        tree.Write("storage/s/b.cs", "");
        tree.MakeFolder("plugins");
        CPluginList list;
        list.Rescan(tree.Path("storage\\"));
        QVERIFY(list.CopyAll(tree.Path("storage\\"), tree.Path("plugins\\"), false));
        QVERIFY(tree.Exists("plugins/a.cs"));
        QVERIFY(tree.Exists("plugins/s/b.cs"));
    }
};

QTEST_GUILESS_MAIN(tst_FileOperations)
#include "tst_FileOperations.moc"
