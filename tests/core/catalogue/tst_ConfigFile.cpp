#include "core/catalogue/ConfigBackup.h"
#include "core/catalogue/CPluginList.h"
#include "core/catalogue/PluginConfiguration.h"
#include "core/platform/KPath.h"
#include "res/Strings.h"
#include "support/CatalogueTestSupport.h"
#include "support/FileSizeLimit.h"
#include "support/IoFaults.h"
#include "support/TestTree.h"

#include <filesystem>
#include <QtTest>

using namespace korvane;

using testsupport::Keys;
using testsupport::Plugin;

namespace {

// A Korvane folder with two plug-ins in use, one of them in a subfolder.
void WriteKorvane(const TestTree& tree)
{
    for (const std::string folder : {"storage/", "plugins/"}) {
        tree.Write(folder + "blaster.cs", "blaster");
        tree.Write(folder + "weapons/plasma.cs", "plasma");
        tree.Write(folder + "Korvane.cs", "the modification's own script");
    }
    tree.Write("storage/sniper.cs", "sniper");
}

// Blaster and two plug-ins of key sniper in use; alpha.pfg names the stored alpha alone.
void WriteKorvaneForBackups(const TestTree& tree)
{
    for (const std::string script : {"blaster.cs", "weapons/sniper.cs", "other/sniper.x.cs"}) {
        tree.Write("storage/" + script, script);
        tree.Write("plugins/" + script, script);
    }
    tree.Write("storage/alpha.cs", "");
    tree.Write("alpha.pfg", "UseDirectory=FALSE\r\nPlugin=NULL,alpha\r\n");
}

QStringList InUse(const TestTree& tree)
{
    return tree.Names("plugins") + tree.Names("plugins/other") + tree.Names("plugins/weapons");
}

} // namespace

class tst_ConfigFile : public QObject
{
    Q_OBJECT

private slots:
    void savedConfigurationHoldsTheFormatAndLoadsBack_data()
    {
        QTest::addColumn<bool>("storeDirectory");
        QTest::addColumn<QByteArray>("bytes");
        // clang-format off
        QTest::newRow("with subfolders") << true << QByteArray("Name=My setup\r\nUseDirectory=TRUE\r\nPlugin=,blaster\r\nPlugin=weapons\\,plasma\r\n");
        QTest::newRow("without subfolders") << false << QByteArray("Name=My setup\r\nUseDirectory=FALSE\r\nPlugin=NULL,blaster\r\nPlugin=NULL,plasma\r\n");
        // clang-format on
    }
    void savedConfigurationHoldsTheFormatAndLoadsBack()
    {
        QFETCH(bool, storeDirectory);
        QFETCH(QByteArray, bytes);
        TestTree tree;
        WriteKorvane(tree);
        // A line break in the name must not start a line of its own.
        QVERIFY(pluginconfig::SaveConfiguration(tree.Folder(), "My\nsetup", tree.Path("my.pfg"),
                                                storeDirectory));
        QCOMPARE(QByteArray::fromStdString(tree.Read("my.pfg")), bytes);

        // What the file does not name goes out of use.
        const auto loaded = pluginconfig::LoadConfiguration(tree.Folder(), tree.Path("my.pfg"));
        QCOMPARE(loaded.value().plugins.m_strConfigName, std::string("My setup"));
        QCOMPARE(Keys(loaded->plugins), (QStringList{"blaster", "weapons\\plasma"}));
        QVERIFY(!tree.Exists("plugins/Korvane.cs"));
    }

    void readerFollowsTheFileLineByLine_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("missing"); // named, but not in storage
        // clang-format off
        QTest::newRow("usedirectory yes means without") << QByteArray("UseDirectory=yes\r\nPlugin=nowhere\\,plasma") << QStringList{"weapons\\plasma"} << QStringList{};
        QTest::newRow("without subfolders keys keep their case") << QByteArray("Plugin=NULL,Blaster\r\nPlugin=NULL,Sniper\r\nPlugin=NULL,sniper") << QStringList{"sniper"} << QStringList{"Blaster", "Sniper"};
        QTest::newRow("without subfolders the scan order counts") << QByteArray("Plugin=NULL,plasma\r\nPlugin=NULL,blaster") << QStringList{"blaster", "weapons\\plasma"} << QStringList{};
        QTest::newRow("with subfolders the file order counts, in any letter case") << QByteArray("usedirectory=true\r\nPLUGIN=WEAPONS\\,Plasma\r\nPlugin=,blaster") << QStringList{"WEAPONS\\Plasma", "blaster"} << QStringList{};
        QTest::newRow("other lines, and plug-ins before usedirectory, are ignored") << QByteArray("Plugin=,blaster\r\nUseDirectory=TRUE\r\nPlugin=blaster\r\n,blaster\r\nPlugins=,blaster\r\nPlugin = ,blaster\r\nPlugin=,sniper") << QStringList{"sniper"} << QStringList{};
        QTest::newRow("only the key's own scripts count") << QByteArray("UseDirectory=TRUE\r\nPlugin=weapons\\,plasm\r\nPlugin=,*\r\nPlugin=,blaster.desc\r\nPlugin=,korvane") << QStringList{} << QStringList{"plasm", "*", "blaster.desc", "korvane"};
        QTest::newRow("subfolders leading out of storage") << QByteArray("UseDirectory=TRUE\r\nPlugin=..\\,outside\r\nPlugin=weapons\\..\\..\\,outside\r\nPlugin=weapons,plasma") << QStringList{} << QStringList{"outside", "plasma"};
        // clang-format on
    }
    void readerFollowsTheFileLineByLine()
    {
        QFETCH(QByteArray, config);
        QFETCH(QStringList, keys);
        QFETCH(QStringList, missing);
        TestTree tree;
        for (const char* script :
             {"blaster.cs", "sniper.cs", "korvane.cs", "weapons/plasma.cs", "weapons/plasmx.cs"})
            tree.Write(std::string("storage/") + script, "");
        tree.Write("outside.cs", "");
        CPluginList list;
        QStringList notStored;
        for (const auto& key : list.ReadConfigText(config.toStdString(), tree.Folder("storage\\")))
            notStored << QString::fromStdString(key);
        QCOMPARE(notStored, missing);
        QCOMPARE(Keys(list), keys);
    }

    void aLoadThatCouldNotCopyEveryPluginSaysWhich()
    {
        TestTree tree;
        tree.Write("storage/big.cs", std::string(4096, 'b'));
        tree.Write("storage/small.cs", "s");
        tree.MakeFolder("plugins");
        tree.Write("setup.pfg", "UseDirectory=TRUE\r\nPlugin=,big\r\nPlugin=,small\r\n");
        // Room for the backup of the set in use, not for big.cs.
        const FileSizeLimit limit(1024);
        const auto loaded = pluginconfig::LoadConfiguration(tree.Folder(), tree.Path("setup.pfg"));
        QCOMPARE(loaded.value().notCopied.size(), size_t(1));
        const auto& [key, reason] = loaded->notCopied.front();
        QVERIFY(QString::fromStdString(key + ": " + reason)
                    .startsWith("big: " + tree.QPath("plugins/big.cs: ")));
        QCOMPARE(tree.Names("plugins"), QStringList{"small.cs"});
    }

    void failedSaveLeavesTheOldFile()
    {
        TestTree tree;
        WriteKorvane(tree);
        tree.Write("my.pfg", "old");
        {
            const FileSizeLimit limit(8);
            QVERIFY(
                !pluginconfig::SaveConfiguration(tree.Folder(), "x", tree.Path("my.pfg"), true));
        }
        QCOMPARE(tree.Read("my.pfg"), std::string("old"));
        QCOMPARE(tree.Names(""), (QStringList{"my.pfg", "plugins", "storage"}));
    }

    // A configuration lists keys: a file beyond any configuration's size (a 2 GB file chosen by
    // mistake) is refused, naming it, at the cost of the limit and with nothing changed, where it
    // was read whole and, holding no line, emptied the plugins folder.
    void aFileLargerThanAnyConfigurationIsRefused()
    {
        constexpr size_t kLimit = CPluginList::kMaxConfigBytes;
        TestTree tree;
        WriteKorvane(tree);
        const std::string line = "Plugin=NULL,sniper\r\n";
        std::string exact = "Name=Large\r\nUseDirectory=FALSE\r\n";
        exact += std::string(kLimit - exact.size() - line.size(), '\n') + line;
        tree.Write("exact.pfg", exact);
        tree.Write("huge.pfg", exact);
        std::filesystem::resize_file(kpath::ToNative(tree.Path("huge.pfg")), 2ULL << 30);
        const auto refused = pluginconfig::LoadConfiguration(tree.Folder(), tree.Path("huge.pfg"));
        QVERIFY(!refused);
        QCOMPARE(QString::fromStdString(refused.status().reason()),
                 tree.QPath("huge.pfg: ") + strings::kReasonConfigTooLarge);
        QCOMPARE(tree.Names("plugins"), (QStringList{"Korvane.cs", "blaster.cs", "weapons"}));

        const auto loaded = pluginconfig::LoadConfiguration(tree.Folder(), tree.Path("exact.pfg"));
        QVERIFY(loaded);
        QCOMPARE(Keys(loaded->plugins), QStringList{"sniper"});
        QCOMPARE(tree.Names("plugins"), QStringList{"sniper.cs"});
    }

    void loadingKeepsWhatOnlyThePluginsFolderHadAndDropsMissingPlugins()
    {
        TestTree tree;
        WriteKorvane(tree);
        tree.Write("plugins/extra.cs", "only here");
        tree.Write("plugins/new/deep.txt", "only here too");
        tree.Write("ghost.pfg",
                   "UseDirectory=TRUE\r\nPlugin=,ghost\r\nPlugin=,sniper\r\nPlugin=,extra\r\n");
        QVERIFY(!pluginconfig::LoadConfiguration(tree.Folder(), tree.Path("missing.pfg")));
        QVERIFY(tree.Exists("plugins/extra.cs") && !tree.Exists("storage/extra.cs"));

        const auto loaded = pluginconfig::LoadConfiguration(tree.Folder(), tree.Path("ghost.pfg"));
        // ghost is in no folder; extra, which only the plugins folder had, stays in use.
        QCOMPARE(Keys(loaded.value().plugins), (QStringList{"sniper", "extra"}));
        QCOMPARE(loaded->notCopied.size(), size_t(1));
        QCOMPARE(loaded->notCopied.front().key + ": " + loaded->notCopied.front().reason,
                 "ghost: not in storage");
        QCOMPARE(tree.Names("plugins"), (QStringList{"extra.cs", "sniper.cs"}));
        QCOMPARE(tree.Read("storage/extra.cs"), std::string("only here"));
        QCOMPARE(tree.Read("storage/new/deep.txt"), std::string("only here too"));

        // A file storage lacks that cannot be copied there stops the load before anything goes.
        tree.Write("plugins/w/only.cs", "only copy");
        tree.Write("storage/w", "a file where the folder belongs");
        tree.Write("plugins/readme", "only copy");
        tree.MakeFolder("storage/README");
        const auto blocked = pluginconfig::LoadConfiguration(tree.Folder(), tree.Path("ghost.pfg"));
        QVERIFY(!blocked);
        QVERIFY(QString::fromStdString(blocked.reason()).contains(tree.QPath("storage/w")));
        QVERIFY(QString::fromStdString(blocked.reason()).contains(tree.QPath("storage/README")));
        QCOMPARE(tree.Names("plugins"), (QStringList{"extra.cs", "readme", "sniper.cs", "w"}));
        QCOMPARE(tree.Read("plugins/w/only.cs"), std::string("only copy"));

        TestTree bare; // no storage folder yet
        bare.Write("plugins/blaster.cs", "only copy");
        QVERIFY(pluginconfig::LoadConfiguration(bare.Folder(), tree.Path("ghost.pfg")));
        QCOMPARE(bare.Read("storage/blaster.cs"), std::string("only copy"));
    }

    // A configuration's subfolder or key by which Windows would reach a device or another entry
    // puts nothing in use, on every system: "weapons." is the folder weapons there, and con a
    // device, though Linux keeps a file of that name.
    void configuredNamesWindowsWouldChangeAreRefused()
    {
        TestTree tree;
        WriteKorvane(tree);
#ifndef Q_OS_WIN
        tree.Write("storage/con.cs", "a name Linux keeps");
#endif
        tree.Write("odd.pfg", "UseDirectory=TRUE\r\nPlugin=weapons.\\,plasma\r\nPlugin=,con\r\n"
                              "Plugin=,sniper\r\n");
        const auto loaded = pluginconfig::LoadConfiguration(tree.Folder(), tree.Path("odd.pfg"));
        QCOMPARE(Keys(loaded.value().plugins), QStringList{"sniper"});
        QStringList notCopied;
        for (const auto& [key, reason] : loaded->notCopied)
            notCopied << QString::fromStdString(key + ": " + reason);
        const QString reason = strings::kReasonNotWindowsName;
        QCOMPARE(notCopied, (QStringList{"plasma: " + reason, "con: " + reason}));
        QCOMPARE(InUse(tree), QStringList{"sniper.cs"});
    }

    // A load never destroys the set it replaces: it is backed up first, and undoing the load
    // loads the backup the load recorded, whatever else backups\ holds (a backup from a clock set
    // years ahead, a file put there by hand). Undoing the undo brings the loaded set back.
    void undoLoadsTheBackupTheLastLoadRecorded()
    {
        TestTree tree;
        WriteKorvaneForBackups(tree);
        const std::string ghost = "UseDirectory=TRUE\r\nPlugin=,ghost\r\n";
        // The last name of its second: once, every load went on to its second and failed.
        tree.Write("backups/2999-12-31 23-59-59_999.pfg", ghost);
        QVERIFY(pluginconfig::UndoLastLoad(tree.Folder())->backup.empty());
        const QStringList before = InUse(tree);
        QVERIFY(pluginconfig::LoadConfiguration(tree.Folder(), tree.Path("alpha.pfg")));
        const std::string first = *configbackup::LastLoad(tree.Folder());
        // Put there after the load, it sorts after the load's backup.
        tree.Write("backups/2999-12-31 23-59-59_998.pfg", ghost);
        const auto undone = pluginconfig::UndoLastLoad(tree.Folder());
        QVERIFY(undone && undone->loaded.notCopied.empty());
        QCOMPARE(undone->backup, first);
        QCOMPARE(InUse(tree), before);
        // The set the undo replaced is the one to undo to now.
        QVERIFY(pluginconfig::UndoLastLoad(tree.Folder()));
        QCOMPARE(InUse(tree), QStringList{"alpha.cs"});
        QVERIFY(tree.Exists("backups/2999-12-31 23-59-59_998.pfg"));

        // A record whose backup is gone, or that names none, is no undo of anything.
        std::filesystem::remove(
            kpath::ToNative(tree.Path("backups/" + *configbackup::LastLoad(tree.Folder()))));
        QVERIFY(QString::fromStdString(pluginconfig::UndoLastLoad(tree.Folder()).reason())
                    .endsWith(strings::kReasonRecordedBackupMissing));
        tree.Write("backups/last-load.txt", "notes.txt\r\n");
        QCOMPARE(pluginconfig::UndoLastLoad(tree.Folder()).reason(),
                 tree.Path("backups/last-load.txt") + ": " + strings::kReasonNotARecord);
        QCOMPARE(InUse(tree), QStringList{"alpha.cs"});
    }

    // A new backup passes over every name taken, by anything, even the last of its second; the
    // oldest by name beyond ten go, but never the new one nor the one an undo would load.
    void backupsTakeFreeNamesAndTheNewestTenAreKept()
    {
        TestTree tree;
        const auto now = std::chrono::system_clock::now();
        const std::string stem = *configbackup::NewStem(tree.Folder(), now);
        tree.Write("backups/notes.txt", "mine");
        tree.Write("backups/" + stem + "_999.PFG", "put there by hand");
        tree.MakeFolder("backups/" + stem + "_001");
        std::vector<std::string> made;
        for (int i = 0; i < 11; ++i) {
            made.push_back(*configbackup::BackUpPluginsInUse(tree.Folder(), now));
            if (i == 0)
                QVERIFY(configbackup::RecordLastLoad(tree.Folder(), made[0]));
        }
        QCOMPARE(made[0], stem + ".pfg");
        QCOMPARE(made[1], stem + "_002.pfg");
        // After the clock went back an hour, the new backup has the oldest name.
        made.push_back(
            *configbackup::BackUpPluginsInUse(tree.Folder(), now - std::chrono::hours(1)));
        const auto backups = *configbackup::Backups(tree.Folder());
        QCOMPARE(backups.size(), configbackup::kKept);
        QCOMPARE(backups[0], made.back());
        QCOMPARE(backups[1], made[0]);
        QCOMPARE(backups.back(), stem + "_999.PFG");
        QVERIFY(tree.Exists("backups/notes.txt") && tree.Exists("backups/" + stem + "_001"));
    }

    // Reading a configuration lists each folder of storage once, however many of its lines name
    // subfolders: finding each line's subfolder on the disk listed the folder above it again,
    // which made a file of many lines take the square of its size.
    void aConfigurationListsEachFolderOfStorageOnce()
    {
        TestTree tree;
        for (int i = 0; i < 50; ++i)
            tree.Write("storage/p" + std::to_string(i) + ".cs", "");
        tree.Write("storage/Weapons/blaster.cs", "");
        std::string text = "UseDirectory=TRUE\r\nPlugin=weapons\\,blaster\r\n";
        for (int i = 0; i < 1000; ++i)
            text += "Plugin=gone" + std::to_string(i) + "\\,p1\r\nPlugin=Weapons\\gone\\,p2\r\n";
        tree.Write("many.pfg", text);
        CPluginList read;
        const IoCallCount listings(tree.Root(), "opendir", tree.Path("storage"));
        const auto bytes = CPluginList::ReadConfigFile(tree.Path("many.pfg"));
        QVERIFY(bytes);
        read.ReadConfigText(*bytes, tree.Folder("storage/"));
        if (listings.Calls() < 0)
            QSKIP("this system's calls cannot be counted");
        QCOMPARE(listings.Calls(), 2L); // storage and Weapons
        QCOMPARE(Keys(read), QStringList{"weapons\\blaster"});
    }

    void keysInTwoSubfoldersOfPluginsAreRepeatedKeys()
    {
        TestTree tree;
        tree.Write("plugins/a/Blaster.cs", "");
        tree.Write("plugins/b/blaster.heavy.cs", "");
        tree.Write("plugins/sniper.cs", "");
        tree.Write("plugins/sniper.long.cs", ""); // one plug-in: the same folder
        QCOMPARE(pluginconfig::RepeatedKeys(tree.Folder()), std::vector<std::string>{"Blaster"});
    }
};

QTEST_GUILESS_MAIN(tst_ConfigFile)
#include "tst_ConfigFile.moc"
