#include "core/catalogue/CPluginList.h"
#include "support/CatalogueTestSupport.h"
#include "support/TestTree.h"

#include <QtTest>

using namespace korvane;

using testsupport::Keys;

class tst_PluginScan : public QObject
{
    Q_OBJECT

private slots:
    void onlyPluginScriptsAreListed_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("listed");
        QTest::newRow("plain") << "blaster.cs" << true;
        QTest::newRow("capital suffix") << "BLASTER.CS" << true;
        QTest::newRow("backup") << "blaster.cs.bak" << false;
        QTest::newRow("other suffix") << "blaster.csx" << false;
        QTest::newRow("korvane script") << "Korvane.cs" << false;
        QTest::newRow("korvane script capitals") << "KORVANE.CS" << false;
        QTest::newRow("korvane part") << "korvane.weapons.cs" << false;
        QTest::newRow("korvane without dot") << "korvanemenu.cs" << true;
        QTest::newRow("description") << "blaster.desc.txt" << false;
    }
    void onlyPluginScriptsAreListed()
    {
        QFETCH(QString, file);
        QFETCH(bool, listed);
        TestTree tree;
        tree.Write(file.toStdString(), "// script");
        CPluginList list;
        QCOMPARE(list.Rescan(tree.Root()), listed ? 1 : 0);
        QCOMPARE(list.GetSize(), listed ? 1 : 0);
    }

    void keyIsTheNameBeforeTheFirstDotAndTheFirstScriptWins()
    {
        TestTree tree;
        tree.Write("blaster.cs", "a");
        tree.Write("blaster.heavy.cs", "b");
        tree.Write("weapons/BLASTER.cs", "c");
        tree.Write("weapons/plasma.cs", "d");
        CPluginList list;
        QCOMPARE(list.Rescan(tree.Root()), 2);
        // Entries are taken in case-insensitive alphabetical order, folders included.
        QCOMPARE(Keys(list), (QStringList{"blaster", "weapons\\plasma"}));
        QVERIFY(list.Exists("BLASTER"));
        QCOMPARE(list.Find("Plasma")->m_strSubdirectory, std::string("weapons\\"));
        QCOMPARE(list.Find("nothing"), nullptr);
        // A missing or empty folder empties the list.
        tree.MakeFolder("empty");
        for (const char* folder : {"empty\\", "absent\\"}) {
            QCOMPARE(list.Rescan(tree.Root()), 2);
            QCOMPARE(list.Rescan(tree.Path(folder)), 0);
            QCOMPARE(list.GetSize(), 0);
        }
    }

    void descriptionAndIconComeFromBesideTheScriptWhateverTheirCase()
    {
        TestTree tree;
        tree.Write("weapons/heavy/blaster.cs", "");
        tree.Write("weapons/heavy/Blaster.DESC.TXT", "Name=Big Blaster\r\nCategory=Weapon\r\n");
        tree.Write("weapons/heavy/BLASTER.ico", "icon");
        tree.Write("weapons/blaster.desc.txt", "Name=Wrong folder\r\n");
        tree.Write("weapons/heavy/plasma.heavy.cs", "");
        tree.Write("weapons/heavy/plasma.heavy.desc.txt", "Name=Not the key's file\r\n");
        CPluginList list;
        list.Rescan(tree.Root());
        const CPluginInfo* blaster = list.Find("blaster");
        QVERIFY(blaster);
        QCOMPARE(blaster->m_strName, std::string("Big Blaster"));
        QCOMPARE(blaster->m_strCategory, std::string("Weapon"));
        QCOMPARE(blaster->m_strSubdirectory, std::string("weapons\\heavy\\"));
        QCOMPARE(blaster->m_strIconPath, tree.Root() + "weapons\\heavy\\BLASTER.ico");
        // Without a description file of its own a plug-in gets the defaults.
        const CPluginInfo& plasma = *list.Find("plasma");
        QCOMPARE(plasma.m_strName + plasma.m_strCategory + plasma.m_strAuthor +
                     plasma.m_strDescription,
                 std::string("plasma") + "Unknown" + "Unknown" + "No Description");
        QVERIFY(plasma.m_strIconPath.empty());
    }

    void onlyFilesAndLinksToFilesArePluginFiles()
    {
        TestTree tree;
        tree.Write("odd.cs/inner.cs", "");
        tree.Write("elsewhere/real.cs", "");
        tree.MakeFolder("elsewhere/folder");
        tree.Write("in/blaster.cs", "");
        tree.MakeFolder("in/blaster.desc.txt");
        tree.MakeFolder("in/blaster.ico");
        for (const auto& [target, link] : {std::pair{"elsewhere/folder", "in/folderlink.cs"},
                                           std::pair{"elsewhere/real.cs", "in/filelink.cs"},
                                           std::pair{"elsewhere/gone.cs", "in/dangling.cs"}})
            QVERIFY(QFile::link(tree.QPath(target), tree.QPath(link)));
        CPluginList list;
        list.Rescan(tree.Path("in\\"));
        QCOMPARE(Keys(list), (QStringList{"blaster", "filelink"}));
        QCOMPARE(list.Find("blaster")->m_strName, std::string("blaster"));
        QCOMPARE(list.Find("blaster")->m_strIconPath, std::string());
        // A real folder named like a script is entered, never listed.
        QCOMPARE(list.Rescan(tree.Root()), 1 + 1 + 2);
        QVERIFY(list.Exists("inner") && !list.Exists("odd"));
    }
};

QTEST_GUILESS_MAIN(tst_PluginScan)
#include "tst_PluginScan.moc"
