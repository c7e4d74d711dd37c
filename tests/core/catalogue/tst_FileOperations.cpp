#include "core/catalogue/CPluginList.h"
#include "core/catalogue/FileOperations.h"
#include "support/CatalogueTestSupport.h"
#include "support/TestTree.h"

#include <QtTest>

using namespace korvane;

using testsupport::Plugin;

class tst_FileOperations : public QObject
{
    Q_OBJECT

private slots:
    void onlyTheKeysScriptsGoIntoUseAndAllItsFilesGoBack()
    {
        TestTree tree;
        for (const char* name : {"blaster.cs", "blaster.desc.txt", "blaster.ico",
                                 "blaster.heavy.cs", "blasterx.cs", "Blaster.Old.CS"})
            tree.Write(std::string("storage/w/") + name, name);
        tree.MakeFolder("plugins");
        tree.MakeFolder("back");
        QVERIFY(Plugin("blaster", "w\\")
                    .CopyFiles(tree.Path("storage\\"), tree.Path("plugins\\"), false));
        QCOMPARE(tree.Names("plugins/w"),
                 (QStringList{"Blaster.Old.CS", "blaster.cs", "blaster.heavy.cs"}));
        QVERIFY(
            Plugin("blaster", "w\\").CopyFiles(tree.Path("storage\\"), tree.Path("back\\"), true));
        QCOMPARE(tree.Names("back/w"),
                 (QStringList{"Blaster.Old.CS", "blaster.cs", "blaster.desc.txt",
                              "blaster.heavy.cs", "blaster.ico"}));
        // Only one folder level is made.
        tree.Write("storage/w/heavy/cannon.cs", "c");
        tree.MakeFolder("fresh");
        QVERIFY(!Plugin("cannon", "w\\heavy\\")
                     .CopyFiles(tree.Path("storage\\"), tree.Path("fresh\\"), false));
        QVERIFY(!tree.Exists("fresh/w"));
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
        QCOMPARE(tree.Names("plugins"), (QStringList{"SNIPER.CS", "blaster.cs"}));
        QCOMPARE(tree.Read("plugins/blaster.cs") + tree.Read("plugins/SNIPER.CS"),
                 std::string("oldold"));
    }

    void takingOutOfUseDeletesEveryFileOfTheKeyAndKeepsTheFolder()
    {
        TestTree tree;
        tree.Write("plugins/w/blaster.cs", "");
        tree.Write("plugins/w/BLASTER.notes", "");
        tree.Write("plugins/w/blaster", "");
        tree.Write("plugins/w/blasterx.cs", "");
        QVERIFY(Plugin("blaster", "w\\").DeleteFiles(tree.Path("plugins\\")));
        QCOMPARE(tree.Names("plugins/w"), QStringList{"blasterx.cs"});
        QVERIFY(Plugin("blasterx", "w\\").DeleteFiles(tree.Path("plugins\\")));
        QVERIFY(tree.Exists("plugins/w"));
    }

    void copyTreeAddsWhatIsMissingAndKeepsWhatIsThere()
    {
        TestTree tree;
        tree.Write("plugins/a.cs", "plugins");
        tree.Write("plugins/new.cs", "plugins");
        tree.Write("plugins/x/y/b.cs", "plugins");
        tree.Write("plugins/X2/c.cs", "plugins");
        tree.Write("storage/a.cs", "storage");
        tree.Write("storage/x2/d.cs", "storage");
        QFile::setPermissions(tree.QPath("plugins/new.cs"), QFile::ReadOwner);
        QVERIFY(fileops::CopyTree(tree.Path("plugins\\"), tree.Path("storage\\")));
        QCOMPARE(tree.Read("storage/a.cs"), std::string("storage"));
        QCOMPARE(tree.Read("storage/new.cs"), std::string("plugins")); // though read-only
        QCOMPARE(tree.Read("storage/x/y/b.cs"), std::string("plugins"));
        // A folder that storage has in another letter case is filled, not doubled; no temporary
        // file is left behind.
        QCOMPARE(tree.Read("storage/x2/c.cs"), std::string("plugins"));
        QCOMPARE(tree.Names("storage"), (QStringList{"a.cs", "new.cs", "x", "x2"}));
    }

    void deleteTreeEmptiesTheFolderButKeepsIt()
    {
        TestTree tree;
        tree.Write("plugins/a.cs", "");
        tree.Write("plugins/deep/er/b.cs", "");
        tree.Write("outside/keep.cs", "keep");
        QVERIFY(QFile::link(tree.QPath("outside"), tree.QPath("plugins/link")));
        QVERIFY(fileops::DeleteTree(tree.Path("plugins\\")));
        QCOMPARE(tree.Names("plugins"), QStringList{});
        // A link inside is removed, never followed.
        QCOMPARE(tree.Read("outside/keep.cs"), std::string("keep"));
    }
};

QTEST_GUILESS_MAIN(tst_FileOperations)
#include "tst_FileOperations.moc"
