// Copies in use that differ from storage's: the player's choice settles them, the copy that gives
// way is set aside whole before anything replaces it, and undoing a load brings the copies in use
// back. A disk that fails midway stops a settlement before it replaces what it has not set aside.
#include "core/catalogue/ConfigBackup.h"
#include "core/catalogue/PluginConfiguration.h"
#include "core/catalogue/PluginUse.h"
#include "core/catalogue/SettleCopies.h"
#include "support/CatalogueTestSupport.h"
#include "support/IoFaults.h"
#include "support/TestTree.h"

#include <QtTest>

using namespace korvane;

using testsupport::Files;
using testsupport::Plugin;

namespace {

// The player edited blaster in use (its folder spells its name otherwise than storage does) and
// sniper's description; sniper's script is storage's. alpha.pfg names the stored alpha alone.
void WriteEdited(const TestTree& tree)
{
    tree.Write("korvane.cs", "");
    tree.Write("storage/w/blaster.cs", "stored blaster");
    tree.Write("storage/sniper.cs", "sniper");
    tree.Write("storage/sniper.desc.txt", "Name=Sniper");
    tree.Write("storage/alpha.cs", "alpha");
    tree.Write("plugins/w/BLASTER.cs", "my blaster");
    tree.Write("plugins/sniper.cs", "sniper");
    tree.Write("plugins/sniper.desc.txt", "Name=My sniper");
    tree.Write("alpha.pfg", "UseDirectory=TRUE\r\nPlugin=,alpha\r\n");
}

const settle::Copies kEdited{"sniper.desc.txt", "w\\BLASTER.cs"};

// The one folder of files set aside below backups\.
std::string SetAsideFolder(const TestTree& tree)
{
    std::string found;
    for (const QString& name : tree.Names("backups")) {
        if (!name.endsWith(".pfg") && !name.endsWith(".txt")) {
            if (!found.empty())
                return "more than one";
            found = "backups/" + name.toStdString() + "/";
        }
    }
    return found;
}

} // namespace

class tst_SettleCopies : public QObject
{
    Q_OBJECT

private slots:
    void aLoadRefusesDifferingCopiesUntilTheyAreSettled()
    {
        TestTree tree;
        WriteEdited(tree);
        QCOMPARE(*settle::BelowPlugins(tree.Folder()), kEdited);
        const QStringList before = Files(tree, "plugins") + Files(tree, "storage");
        const auto refused = pluginconfig::LoadConfiguration(tree.Folder(), tree.Path("alpha.pfg"));
        QVERIFY(
            QString::fromStdString(refused.reason()).endsWith("differs from its copy in storage"));
        QCOMPARE(Files(tree, "plugins") + Files(tree, "storage"), before);

        // A copy the player did not see is left as it is, and still stops the load.
        const auto partly =
            pluginconfig::LoadConfiguration(tree.Folder(), tree.Path("alpha.pfg"),
                                            {settle::Choice::UseStorage, {"sniper.desc.txt"}});
        QVERIFY(QString::fromStdString(partly.reason()).contains("BLASTER.cs"));
        QCOMPARE(tree.Read("plugins/w/BLASTER.cs"), "my blaster");
        QCOMPARE(tree.Read("plugins/sniper.desc.txt"), "Name=Sniper");
    }

    // Whichever copy gives way is in backups\ under the name of the load's backup; undoing the
    // load puts every settled copy in use back.
    void aSettledLoadIsUndoneWithTheCopiesInUse_data()
    {
        QTest::addColumn<settle::Choice>("choice");
        QTest::addColumn<QStringList>("storage");
        QTest::addColumn<QStringList>("setAside");
        QTest::newRow("keep my copy")
            << settle::Choice::KeepMine
            << QStringList{"alpha.cs=alpha", "sniper.cs=sniper", "sniper.desc.txt=Name=My sniper",
                           "w/blaster.cs=my blaster"}
            << QStringList{"plugins/sniper.desc.txt=Name=My sniper",
                           "plugins/w/blaster.cs=my blaster", "storage/sniper.desc.txt=Name=Sniper",
                           "storage/w/blaster.cs=stored blaster"};
        QTest::newRow("use storage's copy")
            << settle::Choice::UseStorage
            << QStringList{"alpha.cs=alpha", "sniper.cs=sniper", "sniper.desc.txt=Name=Sniper",
                           "w/blaster.cs=stored blaster"}
            << QStringList{"plugins/sniper.desc.txt=Name=My sniper",
                           "plugins/w/blaster.cs=my blaster"};
    }
    void aSettledLoadIsUndoneWithTheCopiesInUse()
    {
        QFETCH(settle::Choice, choice);
        QFETCH(QStringList, storage);
        QFETCH(QStringList, setAside);
        TestTree tree;
        WriteEdited(tree);
        const QStringList before = Files(tree, "plugins");
        const auto loaded = pluginconfig::LoadConfiguration(
            tree.Folder(), tree.Path("alpha.pfg"), {choice, *settle::BelowPlugins(tree.Folder())});
        QVERIFY2(loaded, loaded.reason().c_str());
        QCOMPARE(Files(tree, "plugins"), QStringList{"alpha.cs=alpha"});
        QCOMPARE(Files(tree, "storage"), storage);
        const std::string folder = SetAsideFolder(tree);
        QCOMPARE(Files(tree, folder), setAside);

        const auto undone = pluginconfig::UndoLastLoad(tree.Folder());
        QVERIFY2(undone, undone.reason().c_str());
        QCOMPARE(Files(tree, "plugins"), before);
        // What was set aside stays: it may be the only copy of storage's old bytes.
        QCOMPARE(Files(tree, folder), setAside);
    }

    // An undo that cannot put the copies back, or record its own backup once they are back,
    // leaves storage's copies in use and keeps its backup, with the copies, as the one the next
    // undo restores.
    void anUndoThatCannotPutACopyBackIsTriedAgain_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("a copy") << "/plugins/w/blaster.cs$";
        QTest::newRow("the record") << "/backups/last-load.txt$";
    }
    void anUndoThatCannotPutACopyBackIsTriedAgain()
    {
        QFETCH(QString, file);
        TestTree tree;
        WriteEdited(tree);
        QVERIFY(pluginconfig::LoadConfiguration(tree.Folder(), tree.Path("alpha.pfg"),
                                                {settle::Choice::UseStorage, kEdited}));
        const QStringList setAside = Files(tree, SetAsideFolder(tree));
        {
            IoFault fault(tree.Root(), "rename", file.toStdString());
            QVERIFY(!pluginconfig::UndoLastLoad(tree.Folder()));
            QVERIFY(fault.Happened());
        }
        QCOMPARE(tree.Read("plugins/w/blaster.cs"), "stored blaster");
        // The backup the undo made of the set it replaced, and the one it keeps.
        QCOMPARE(configbackup::Backups(tree.Folder())->size(), size_t(2));
        const std::string kept =
            "backups/" + configbackup::BackupStem(*configbackup::LastLoad(tree.Folder())) + "/";
        QCOMPARE(Files(tree, kept), setAside);
        QVERIFY(pluginconfig::UndoLastLoad(tree.Folder()));
        QCOMPARE(tree.Read("plugins/w/blaster.cs"), "my blaster");
        QCOMPARE(tree.Read("plugins/sniper.desc.txt"), "Name=My sniper");
    }

    void takingOutOfUseSettlesTheKeysCopiesInEverySubfolder()
    {
        TestTree tree;
        WriteEdited(tree);
        tree.Write("storage/x/w.cs", "");
        tree.Write("storage/old/blaster.cs", "old");
        tree.Write("plugins/old/blaster.cs", "old, edited");
        tree.Write("plugins/old/blaster.txt", "only copy");
        const CPluginInfo blaster = Plugin("blaster", "w\\");
        QVERIFY(pluginuse::InUseElsewhere(tree.Folder(), blaster));
        const auto copies = pluginuse::DifferingCopies(tree.Folder(), blaster);
        QCOMPARE(*copies, (settle::Copies{"w\\BLASTER.cs", "old\\blaster.cs"}));
        QVERIFY(QString::fromStdString(pluginuse::UnusePlugin(tree.Folder(), blaster).reason())
                    .endsWith("differs from its copy in storage"));

        QVERIFY(
            pluginuse::UnusePlugin(tree.Folder(), blaster, {settle::Choice::KeepMine, *copies}));
        QCOMPARE(Files(tree, "plugins"),
                 (QStringList{"sniper.cs=sniper", "sniper.desc.txt=Name=My sniper"}));
        QCOMPARE(tree.Read("storage/w/blaster.cs"), "my blaster");
        QCOMPARE(tree.Read("storage/old/blaster.cs"), "old, edited");
        QCOMPARE(tree.Read("storage/old/blaster.txt"), "only copy");
        QCOMPARE(
            Files(tree, SetAsideFolder(tree)),
            (QStringList{"storage/old/blaster.cs=old", "storage/w/blaster.cs=stored blaster"}));
    }

    // Settlements never write over what an earlier one set aside, nor take a backup's name.
    void setAsideFilesNeverReplaceOneAnother()
    {
        TestTree tree;
        WriteEdited(tree);
        const auto now = std::chrono::system_clock::now();
        std::vector<std::string> folders;
        for (const char* edit : {"first edit", "second edit"}) {
            tree.Write("plugins/sniper.cs", edit);
            const auto folder =
                settle::Settle(tree.Folder(), {settle::Choice::UseStorage, {"SNIPER.cs"}}, now);
            QVERIFY2(folder, folder.reason().c_str());
            folders.push_back(*folder);
            QCOMPARE(tree.Read("plugins/sniper.cs"), "sniper");
        }
        QCOMPARE(folders[1], folders[0] + "_001");
        QCOMPARE(Files(tree, "backups/" + folders[0]) + Files(tree, "backups/" + folders[1]),
                 (QStringList{"plugins/sniper.cs=first edit", "plugins/sniper.cs=second edit"}));
        QCOMPARE(*configbackup::BackUpPluginsInUse(tree.Folder(), now), folders[0] + "_002.pfg");
        // Copies that hold the same bytes by now need no folder.
        QCOMPARE(*settle::Settle(tree.Folder(), {settle::Choice::KeepMine, {"sniper.cs"}}, now),
                 std::string());
        // A path from elsewhere that leads out of the folders is refused.
        QVERIFY(
            !settle::Settle(tree.Folder(), {settle::Choice::KeepMine, {"..\\korvane.cs"}}, now));
    }

    // Until the copy that gives way is whole on the disk in backups\, nothing replaces it.
    void aCopyThatCannotBeSetAsideIsNotReplaced_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("skip");
        // clang-format off
        QTest::newRow("making the folder") << "mkdir" << "/backups/" << 0;
        QTest::newRow("writing the copy") << "write" << "/backups/" << 0;
        QTest::newRow("flushing its folder") << "sync" << "/backups/" << 1;
        QTest::newRow("the second copy") << "write" << "/backups/" << 1;
        QTest::newRow("replacing the file") << "rename" << "/plugins/" << 0;
        // clang-format on
    }
    void aCopyThatCannotBeSetAsideIsNotReplaced()
    {
        QFETCH(QString, kind);
        QFETCH(QString, file);
        QFETCH(int, skip);
        TestTree tree;
        WriteEdited(tree);
        const QStringList plugins = Files(tree, "plugins");
        {
            IoFault fault(tree.Root(), kind.toLatin1(), file.toStdString(), EIO, skip);
            QVERIFY(!pluginconfig::LoadConfiguration(tree.Folder(), tree.Path("alpha.pfg"),
                                                     {settle::Choice::UseStorage, kEdited}));
            QVERIFY(fault.Happened());
        }
        // Each copy in use is either as it was or set aside whole.
        const QStringList setAside = Files(tree, SetAsideFolder(tree));
        for (const QString& copy : plugins) {
            if (!copy.startsWith("sniper.cs"))
                QVERIFY2(Files(tree, "plugins").contains(copy) ||
                             setAside.contains("plugins/" + copy),
                         qPrintable(copy));
        }
        QVERIFY(pluginconfig::LoadConfiguration(tree.Folder(), tree.Path("alpha.pfg"),
                                                {settle::Choice::UseStorage, kEdited}));
        QCOMPARE(Files(tree, "plugins"), QStringList{"alpha.cs=alpha"});
    }
};

QTEST_GUILESS_MAIN(tst_SettleCopies)
#include "tst_SettleCopies.moc"
