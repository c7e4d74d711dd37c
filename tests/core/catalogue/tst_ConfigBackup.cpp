// A configuration load never destroys the set it replaces: it is backed up first, and undoing the
// load brings it back.
#include "core/catalogue/ConfigBackup.h"
#include "core/catalogue/PluginConfiguration.h"
#include "support/FileSizeLimit.h"
#include "support/TestTree.h"

#include <QtTest>

using namespace korvane;

namespace {

// Blaster and two plug-ins of key sniper in use; alpha.pfg names the stored alpha alone.
void Korvane(const TestTree& tree)
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

class tst_ConfigBackup : public QObject
{
    Q_OBJECT

private slots:
    void undoBringsBackTheSetALoadReplacedAndUndoingTheUndoTheLoadedOne()
    {
        TestTree tree;
        Korvane(tree);
        QVERIFY(pluginconfig::UndoLastLoad(tree.Root())->backup.empty());
        const QStringList before = InUse(tree);
        QVERIFY(pluginconfig::LoadConfiguration(tree.Root(), tree.Path("alpha.pfg")));
        QCOMPARE(InUse(tree), QStringList{"alpha.cs"});

        const QString first = tree.Names("backups").value(0);
        QCOMPARE(QString::fromStdString(pluginconfig::UndoLastLoad(tree.Root())->backup), first);
        QCOMPARE(InUse(tree), before);
        // The backup loaded is gone; the set the undo replaced is the newest backup now.
        QCOMPARE(tree.Names("backups").size(), 1);
        QVERIFY(tree.Names("backups")[0] > first);
        QVERIFY(pluginconfig::UndoLastLoad(tree.Root()));
        QCOMPARE(InUse(tree), QStringList{"alpha.cs"});
    }

    void backupsSortByAgeAndTheNewestTenAreKeptBesideOtherFiles()
    {
        TestTree tree;
        tree.Write("backups/notes.txt", "mine");
        const auto now = std::chrono::system_clock::now();
        QStringList made;
        // Eleven in one second, then one after the clock went back an hour.
        for (int i = 0; i < 12; ++i)
            made << QString::fromStdString(
                *configbackup::BackUpPluginsInUse(tree.Root(), now - std::chrono::hours(i / 11)));
        QCOMPARE(made[1], made[0].chopped(4) + "_001.pfg");
        QCOMPARE(tree.Names("backups"), made.mid(2) << "notes.txt");
    }

    void aBackupThatCannotBeWrittenStopsTheLoad()
    {
        TestTree tree;
        Korvane(tree);
        const QStringList before = InUse(tree);
        std::optional<FileSizeLimit> diskFull(std::in_place, 4);
        const auto loaded = pluginconfig::LoadConfiguration(tree.Root(), tree.Path("alpha.pfg"));
        diskFull.reset();
        QVERIFY(QString::fromStdString(loaded.reason()).contains("backed up"));
        QCOMPARE(InUse(tree), before);
    }

    void keysInTwoSubfoldersOfPluginsAreRepeatedKeys()
    {
        TestTree tree;
        tree.Write("plugins/a/Blaster.cs", "");
        tree.Write("plugins/b/blaster.heavy.cs", "");
        tree.Write("plugins/sniper.cs", "");
        tree.Write("plugins/sniper.long.cs", ""); // one plug-in: the same folder
        QCOMPARE(pluginconfig::RepeatedKeys(tree.Root()), std::vector<std::string>{"Blaster"});
    }
};

QTEST_GUILESS_MAIN(tst_ConfigBackup)
#include "tst_ConfigBackup.moc"
