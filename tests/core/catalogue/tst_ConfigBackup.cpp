// A configuration load never destroys the set it replaces: it is backed up first, and undoing the
// load brings it back.
#include "core/catalogue/ConfigBackup.h"
#include "core/catalogue/PluginConfiguration.h"
#include "support/FileSizeLimit.h"
#include "support/TestTree.h"

#include <QDirIterator>
#include <QtTest>

using namespace std::chrono_literals;

namespace {

// Every file below a folder of the tree, by relative path, sorted.
QStringList Files(const TestTree& tree, const std::string& folder)
{
    const QString root = tree.QPath(folder);
    QStringList files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(root).relativeFilePath(it.next());
    files.sort();
    return files;
}

QStringList Backups(const TestTree& tree)
{
    QStringList names;
    for (const auto& name : configbackup::Backups(tree.Root()))
        names << QString::fromStdString(name);
    return names;
}

// Storage with four plug-ins (two of key sniper); in use: blaster and both snipers.
void Korvane(const TestTree& tree)
{
    for (const char* script : {"blaster.cs", "alpha.cs", "weapons/sniper.cs", "other/sniper.x.cs"})
        tree.Write(std::string("storage/") + script, script);
    for (const char* script : {"blaster.cs", "weapons/sniper.cs", "other/sniper.x.cs"})
        tree.Write(std::string("plugins/") + script, script);
    tree.Write("alpha.pfg", "UseDirectory=FALSE\r\nPlugin=NULL,alpha\r\n");
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
        const QStringList before = Files(tree, "plugins");
        QVERIFY(pluginconfig::LoadConfiguration(tree.Root(), tree.Path("alpha.pfg")));
        QCOMPARE(Files(tree, "plugins"), QStringList{"alpha.cs"});
        QCOMPARE(Backups(tree).size(), 1);
        QCOMPARE(tree.Read("backups/" + Backups(tree)[0].toStdString()),
                 "Name=" + Backups(tree)[0].chopped(4).toStdString() +
                     "\r\nUseDirectory=TRUE\r\nPlugin=,blaster\r\nPlugin=other\\,sniper\r\n"
                     "Plugin=weapons\\,sniper\r\n");

        const QString first = Backups(tree)[0];
        const auto undone = pluginconfig::UndoLastLoad(tree.Root());
        QVERIFY(undone);
        QCOMPARE(QString::fromStdString(undone->backup), first);
        QCOMPARE(Files(tree, "plugins"), before);
        // The backup loaded is gone; the set the undo replaced is the newest backup now.
        QCOMPARE(Backups(tree).size(), 1);
        QVERIFY(Backups(tree)[0] > first);

        QVERIFY(pluginconfig::UndoLastLoad(tree.Root()));
        QCOMPARE(Files(tree, "plugins"), QStringList{"alpha.cs"});
    }

    void undoWithoutABackupChangesNothing()
    {
        TestTree tree;
        Korvane(tree);
        tree.Write("backups/my setup.pfg", "UseDirectory=FALSE\r\n"); // not a backup
        const auto undone = pluginconfig::UndoLastLoad(tree.Root());
        QVERIFY(undone);
        QVERIFY(undone->backup.empty());
        QCOMPARE(Files(tree, "plugins"),
                 (QStringList{"blaster.cs", "other/sniper.x.cs", "weapons/sniper.cs"}));
    }

    void backupsSortByAgeAndTheNewestTenAreKeptBesideOtherFiles()
    {
        TestTree tree;
        Korvane(tree);
        const QStringList others{"2026-01-01 00-00-00.pfg.txt", "my setup.pfg", "notes.txt"};
        for (const QString& other : others)
            tree.Write("backups/" + other.toStdString(), "mine");
        const auto now = std::chrono::system_clock::now();
        QStringList made;
        // Eleven in one second, then one after the clock went back an hour.
        for (int i = 0; i < 12; ++i) {
            const auto backup =
                configbackup::BackUpPluginsInUse(tree.Root(), i < 11 ? now : now - 1h);
            QVERIFY2(backup, backup.reason().c_str());
            made << QString::fromStdString(*backup);
        }
        QVERIFY(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d\\.pfg$")
                    .match(made[0])
                    .hasMatch());
        QCOMPARE(made[1], made[0].chopped(4) + "_001.pfg");
        QStringList sorted = made;
        sorted.sort();
        QCOMPARE(sorted, made);
        QCOMPARE(Backups(tree), made.mid(2));
        QStringList left = tree.Names("backups");
        left.sort();
        QStringList expected = others + made.mid(2);
        expected.sort();
        QCOMPARE(left, expected);
    }

    void aBackupThatCannotBeWrittenStopsTheLoad_data()
    {
        QTest::addColumn<bool>("diskFull");
        QTest::newRow("a file stands where the folder belongs") << false;
        QTest::newRow("the disk is full") << true;
    }
    void aBackupThatCannotBeWrittenStopsTheLoad()
    {
        QFETCH(bool, diskFull);
        TestTree tree;
        Korvane(tree);
        if (!diskFull)
            tree.Write("backups", "not a folder");
        else
            tree.MakeFolder("backups");
        const QStringList before = Files(tree, "plugins");
        const auto loaded = [&] {
            const auto limit =
                diskFull ? std::optional<FileSizeLimit>(std::in_place, 4) : std::nullopt;
            return pluginconfig::LoadConfiguration(tree.Root(), tree.Path("alpha.pfg"));
        }();
        QVERIFY(!loaded);
        QVERIFY2(QString::fromStdString(loaded.reason()).contains("backed up"),
                 loaded.reason().c_str());
        QCOMPARE(Files(tree, "plugins"), before);
        QVERIFY(Backups(tree).isEmpty());
    }

    void keysInTwoSubfoldersOfPluginsAreRepeatedKeys()
    {
        TestTree tree;
        tree.Write("plugins/a/Blaster.cs", "");
        tree.Write("plugins/b/blaster.heavy.cs", "");
        tree.Write("plugins/sniper.cs", "");
        tree.Write("plugins/sniper.long.cs", ""); // one plug-in: the same folder
        tree.Write("plugins/c/korvane.x.cs", "");
        tree.Write("plugins/d/korvane.y.cs", "");
        QCOMPARE(pluginconfig::RepeatedKeys(tree.Root()), std::vector<std::string>{"Blaster"});
    }
};

QTEST_GUILESS_MAIN(tst_ConfigBackup)
#include "tst_ConfigBackup.moc"
