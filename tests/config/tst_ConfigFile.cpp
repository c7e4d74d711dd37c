#include "catalogue/CPluginList.h"
#include "catalogue/PluginConfiguration.h"
#include "FileSizeLimit.h"
#include "support/TestTree.h"

#include <QtTest>

class tst_ConfigFile : public QObject
{
    Q_OBJECT

private:
    static QStringList Keys(const CPluginList& list)
    {
        QStringList keys;
        for (const auto& plugin : list.m_arrPlugins)
            keys << QString::fromStdString(plugin->m_strSubdirectory + plugin->m_strFileName);
        return keys;
    }

    // A Korvane folder with two plug-ins in use, one of them in a subfolder.
    static void WriteKorvane(const TestTree& tree)
    {
        for (const char* folder : {"storage/", "plugins/"}) {
            tree.Write(std::string(folder) + "blaster.cs", "blaster");
            tree.Write(std::string(folder) + "weapons/plasma.cs", "plasma");
            tree.Write(std::string(folder) + "Korvane.cs", "the modification's own script");
        }
        tree.Write("storage/blaster.desc.txt", "Name=Blaster Rifle");
        tree.Write("storage/sniper.cs", "sniper");
    }

private slots:
    void savedFileHoldsTheFormatExactly_data()
    {
        QTest::addColumn<bool>("storeDirectory");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("with subfolders")
            << true
            << QByteArray("Name=My setup\r\nUseDirectory=TRUE\r\n"
                          "Plugin=,blaster\r\nPlugin=weapons\\,plasma\r\n");
        QTest::newRow("without subfolders")
            << false
            << QByteArray("Name=My setup\r\nUseDirectory=FALSE\r\n"
                          "Plugin=NULL,blaster\r\nPlugin=NULL,plasma\r\n");
    }
    void savedFileHoldsTheFormatExactly()
    {
        QFETCH(bool, storeDirectory);
        QFETCH(QByteArray, bytes);
        TestTree tree;
        WriteKorvane(tree);
        QVERIFY(pluginconfig::SaveConfiguration(tree.Root(), "My setup", tree.Path("my.pfg"),
                                                storeDirectory));
        QCOMPARE(QByteArray::fromStdString(tree.Read("my.pfg")), bytes);
    }

    void loadingASavedConfigurationPutsTheSamePluginsInUse_data()
    {
        QTest::addColumn<bool>("storeDirectory");
        QTest::newRow("with subfolders") << true;
        QTest::newRow("without subfolders") << false;
    }
    void loadingASavedConfigurationPutsTheSamePluginsInUse()
    {
        QFETCH(bool, storeDirectory);
        TestTree tree;
        WriteKorvane(tree);
        QVERIFY(pluginconfig::SaveConfiguration(tree.Root(), "Mine", tree.Path("mine.pfg"),
                                                storeDirectory));
        tree.Write("plugins/sniper.cs", "sniper");
        tree.Write("plugins/weapons/plasma.cs", "changed in use");

        const auto loaded = pluginconfig::LoadConfiguration(tree.Root(), tree.Path("mine.pfg"));
        QVERIFY(loaded);
        QCOMPARE(loaded->m_strConfigName, std::string("Mine"));
        QCOMPARE(Keys(*loaded), (QStringList{"blaster", "weapons\\plasma"}));
        QCOMPARE(loaded->GetAt(0)->m_strName, std::string("Blaster Rifle"));
        QCOMPARE(tree.Read("plugins/weapons/plasma.cs"), std::string("plasma"));
        QVERIFY(tree.Exists("plugins/blaster.cs"));
        QVERIFY(!tree.Exists("plugins/sniper.cs"));
        QVERIFY(!tree.Exists("plugins/blaster.desc.txt"));
    }

    void readerFollowsTheFileLineByLine_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("name");

        QTest::newRow("usedirectory in small letters")
            << QByteArray("Name=n\r\nusedirectory=true\r\nPLUGIN=weapons\\,plasma\r\n")
            << QStringList{"weapons\\plasma"} << "n";
        QTest::newRow("usedirectory yes means without")
            << QByteArray("UseDirectory=yes\r\nPlugin=nowhere\\,plasma\r\n")
            << QStringList{"weapons\\plasma"} << "";
        QTest::newRow("without subfolders keys keep their case")
            << QByteArray("UseDirectory=FALSE\r\nPlugin=NULL,Blaster\r\nPlugin=NULL,Sniper\r\n"
                          "Plugin=NULL,sniper\r\n")
            << QStringList{"sniper"} << "";
        QTest::newRow("without subfolders the scan order counts")
            << QByteArray("Plugin=NULL,plasma\r\nPlugin=NULL,blaster\r\n")
            << QStringList{"blaster", "weapons\\plasma"} << "";
        QTest::newRow("with subfolders the file order counts")
            << QByteArray("UseDirectory=TRUE\r\nPlugin=weapons\\,plasma\r\nPlugin=,blaster\r\n")
            << QStringList{"weapons\\plasma", "blaster"} << "";
        QTest::newRow("with subfolders keys ignore case")
            << QByteArray("UseDirectory=TRUE\r\nPlugin=WEAPONS\\,Plasma\r\n")
            << QStringList{"WEAPONS\\Plasma"} << "";
        QTest::newRow("same key in two folders")
            << QByteArray("UseDirectory=TRUE\r\nPlugin=,blaster\r\nPlugin=weapons\\,blaster\r\n")
            << QStringList{"blaster", "weapons\\blaster"} << "";
        QTest::newRow("same key twice")
            << QByteArray("UseDirectory=TRUE\r\nPlugin=,blaster\r\nPlugin=,blaster\r\n")
            << QStringList{"blaster", "blaster"} << "";
        QTest::newRow("renamed folder drops the plug-in")
            << QByteArray("UseDirectory=TRUE\r\nPlugin=old\\,plasma\r\n") << QStringList{} << "";
        QTest::newRow("plugin line before usedirectory is not loaded")
            << QByteArray("Plugin=,blaster\r\nUseDirectory=TRUE\r\nPlugin=,sniper\r\n")
            << QStringList{"sniper"} << "";
        QTest::newRow("name after the plug-ins")
            << QByteArray("UseDirectory=TRUE\r\nPlugin=,sniper\r\nNAME=late=r")
            << QStringList{"sniper"} << "late=r";
        QTest::newRow("second comma belongs to the key")
            << QByteArray("UseDirectory=TRUE\r\nPlugin=weapons\\,odd,name\r\n")
            << QStringList{"weapons\\odd,name"} << "";
        QTest::newRow("lines without comma, equals or known key are ignored")
            << QByteArray("UseDirectory=TRUE\r\nPlugin=blaster\r\n,blaster\r\nPlugins=,blaster\r\n"
                          "Plugin = ,blaster\r\nPlugin=,sniper")
            << QStringList{"sniper"} << "";
        QTest::newRow("empty file") << QByteArray() << QStringList{} << "";
        QTest::newRow("only the key's own scripts count")
            << QByteArray("UseDirectory=TRUE\r\nPlugin=weapons\\,plasm\r\nPlugin=,*\r\n"
                          "Plugin=,blaster.desc\r\nPlugin=,korvane\r\n")
            << QStringList{} << "";
        QTest::newRow("subfolders leading out of storage are refused")
            << QByteArray("UseDirectory=TRUE\r\nPlugin=..\\,outside\r\n"
                          "Plugin=weapons\\..\\..\\,outside\r\nPlugin=weapons,plasma\r\n")
            << QStringList{} << "";
    }
    void readerFollowsTheFileLineByLine()
    {
        QFETCH(QByteArray, config);
        QFETCH(QStringList, keys);
        QFETCH(QString, name);
        TestTree tree;
        tree.Write("storage/blaster.cs", "");
        tree.Write("storage/sniper.cs", "");
        tree.Write("storage/Blaster.desc.txt", "Name=Blaster Rifle");
        tree.Write("storage/weapons/plasma.cs", "");
        tree.Write("storage/weapons/blaster.heavy.cs", "");
        tree.Write("storage/weapons/odd,name.cs", "");
        tree.Write("storage/weapons/plasmx.cs", "");
        tree.Write("storage/korvane.cs", "");
        tree.Write("outside.cs", "");
        tree.Write("my.pfg", config.toStdString());

        CPluginList list;
        list.m_strConfigName = "earlier";
        QVERIFY(list.ReadConfig(tree.Path("my.pfg"), tree.Path("storage\\")));
        QCOMPARE(Keys(list), keys);
        QCOMPARE(QString::fromStdString(list.m_strConfigName), name);
    }

    void storedRecordsTakeDescriptionAndIconFromTheirFolder()
    {
        TestTree tree;
        tree.Write("storage/weapons/plasma.big.cs", "");
        tree.Write("storage/weapons/PLASMA.DESC.TXT", "Category=Weapon");
        tree.Write("storage/weapons/plasma.ico", "");
        tree.Write("storage/plasma.desc.txt", "Category=Wrong");
        tree.Write("my.pfg", "UseDirectory=TRUE\r\nPlugin=weapons\\,plasma\r\n");
        CPluginList list;
        QVERIFY(list.ReadConfig(tree.Path("my.pfg"), tree.Path("storage\\")));
        QCOMPARE(list.GetSize(), 1);
        QCOMPARE(list.GetAt(0)->m_strCategory, std::string("Weapon"));
        QCOMPARE(list.GetAt(0)->m_strIconPath, tree.Path("storage\\weapons\\plasma.ico"));
    }

    void unreadableFileChangesNothing()
    {
        TestTree tree;
        tree.Write("storage/blaster.cs", "");
        tree.MakeFolder("folder.pfg");
        CPluginList list;
        list.Rescan(tree.Path("storage\\"));
        list.m_strConfigName = "kept";
        QVERIFY(!list.ReadConfig(tree.Path("missing.pfg"), tree.Path("storage\\")));
        QVERIFY(!list.ReadConfig(tree.Path("folder.pfg"), tree.Path("storage\\")));
        QCOMPARE(Keys(list), QStringList{"blaster"});
        QCOMPARE(list.m_strConfigName, std::string("kept"));
    }

    void splitAtLeavesTheOutputsWithoutSeparator()
    {
        std::string before = "b", after = "a";
        QVERIFY(!CPluginList::SplitAt("no comma", before, after, ','));
        QCOMPARE(before + after, std::string("ba"));
        QVERIFY(CPluginList::SplitAt(",x,y", before, after, ','));
        QCOMPARE(before, std::string());
        QCOMPARE(after, std::string("x,y"));
    }

    void failedSaveLeavesTheOldFile()
    {
        TestTree tree;
        WriteKorvane(tree);
        tree.Write("my.pfg", "old");
        tree.MakeFolder("folder.pfg");
        {
            const FileSizeLimit limit(8);
            QVERIFY(!pluginconfig::SaveConfiguration(tree.Root(), "x", tree.Path("my.pfg"), true));
        }
        QVERIFY(!pluginconfig::SaveConfiguration(tree.Root(), "x", tree.Path("folder.pfg"), true));
        QVERIFY(
            !pluginconfig::SaveConfiguration(tree.Root(), "x", tree.Path("my.pfg/x.pfg"), true));
        QCOMPARE(tree.Read("my.pfg"), std::string("old"));
        QCOMPARE(QDir(QString::fromStdString(tree.Root())).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"my.pfg"});
    }

    void lineBreakInTheNameCannotAddLines()
    {
        TestTree tree;
        tree.Write("storage/blaster.cs", "");
        tree.Write("storage/sniper.cs", "");
        tree.Write("plugins/blaster.cs", "");
        QVERIFY(pluginconfig::SaveConfiguration(tree.Root(), "a\nPlugin=NULL,sniper",
                                                tree.Path("my.pfg"), false));
        const auto loaded = pluginconfig::LoadConfiguration(tree.Root(), tree.Path("my.pfg"));
        QVERIFY(loaded);
        QCOMPARE(Keys(*loaded), QStringList{"blaster"});
    }

    void pluginsMissingFromStorageAreDroppedAndTheRestLoaded()
    {
        TestTree tree;
        WriteKorvane(tree);
        tree.Write("ghost.pfg", "UseDirectory=TRUE\r\nPlugin=,ghost\r\nPlugin=,sniper\r\n");
        const auto loaded = pluginconfig::LoadConfiguration(tree.Root(), tree.Path("ghost.pfg"));
        QVERIFY(loaded);
        QCOMPARE(Keys(*loaded), QStringList{"sniper"});
        QCOMPARE(QDir(QString::fromStdString(tree.Path("plugins")))
                     .entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList{"sniper.cs"});
    }

    void loadingKeepsWhatOnlyThePluginsFolderHad()
    {
        TestTree tree;
        WriteKorvane(tree);
        tree.Write("plugins/blaster.cs", "newer in use");
        tree.Write("plugins/extra.cs", "only here");
        tree.Write("plugins/notes.txt", "mine");
        tree.Write("plugins/new/deep.cs", "only here too");
        tree.Write("empty.pfg", "");
        QVERIFY(pluginconfig::LoadConfiguration(tree.Root(), tree.Path("empty.pfg")));
        QCOMPARE(tree.Read("storage/extra.cs"), std::string("only here"));
        QCOMPARE(tree.Read("storage/notes.txt"), std::string("mine"));
        QCOMPARE(tree.Read("storage/new/deep.cs"), std::string("only here too"));
        QCOMPARE(tree.Read("storage/blaster.cs"), std::string("blaster"));
        QVERIFY(QDir(QString::fromStdString(tree.Path("plugins"))).isEmpty());
    }

    void loadingWithoutStorageFolderMakesIt()
    {
        TestTree tree;
        tree.Write("plugins/blaster.cs", "only copy");
        tree.Write("empty.pfg", "");
        QVERIFY(pluginconfig::LoadConfiguration(tree.Root(), tree.Path("empty.pfg")));
        QCOMPARE(tree.Read("storage/blaster.cs"), std::string("only copy"));
        QVERIFY(!tree.Exists("plugins/blaster.cs"));
    }

    void unreadableConfigurationTouchesNoFolder()
    {
        TestTree tree;
        WriteKorvane(tree);
        tree.Write("plugins/extra.cs", "x");
        QVERIFY(!pluginconfig::LoadConfiguration(tree.Root(), tree.Path("missing.pfg")));
        QVERIFY(tree.Exists("plugins/extra.cs"));
        QVERIFY(tree.Exists("plugins/weapons/plasma.cs"));
        QVERIFY(!tree.Exists("storage/extra.cs"));
    }
};

QTEST_GUILESS_MAIN(tst_ConfigFile)
#include "tst_ConfigFile.moc"
