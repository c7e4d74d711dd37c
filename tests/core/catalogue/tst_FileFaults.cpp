// The catalogue's commands on folders that may not be read or written and on a disk that fails
// midway (IoFaults.h): they may stop, but never delete what they have not secured, take half a
// folder for the whole, or a file that cannot be read for one that is not there.
#include "core/catalogue/ConfigBackup.h"
#include "core/catalogue/CPluginList.h"
#include "core/catalogue/DescriptionFile.h"
#include "core/catalogue/PluginConfiguration.h"
#include "core/catalogue/PluginUse.h"
#include "core/catalogue/StorageSync.h"
#include "core/catalogue/TreeCopy.h"
#include "core/platform/AtomicFile.h"
#include "core/platform/FolderReader.h"
#include "core/platform/KPath.h"
#include "res/Strings.h"
#include "support/CatalogueTestSupport.h"
#include "support/IoFaults.h"
#include "support/PeakMemory.h"
#include "support/TestTree.h"

#include <filesystem>
#include <QtTest>

using namespace korvane;

using testsupport::CopyIn;
using testsupport::Files;
using testsupport::Plugin;

namespace {

// A Korvane folder whose plugins\w holds two stored plug-ins and a file only it has; c.pfg names
// w\a alone.
void WriteKorvaneInUse(const TestTree& tree)
{
    tree.Write("korvane.cs", "");
    for (const char* key : {"a", "b", "c"})
        tree.Write(std::string("storage/w/") + key + ".cs", key);
    for (const char* key : {"a", "b"})
        tree.Write(std::string("plugins/w/") + key + ".cs", key);
    tree.Write("plugins/w/b.notes", "only copy");
    tree.Write("c.pfg", "Name=c\r\nUseDirectory=TRUE\r\nPlugin=w\\,a\r\n");
}

} // namespace

class tst_FileFaults : public QObject
{
    Q_OBJECT

private slots:
    // A folder the scan cannot read is named, not taken for an empty one.
    void anUnreadableFolderIsNamedByTheScan()
    {
        TestTree tree;
        tree.Write("storage/blaster.cs", "b");
        tree.Write("storage/w/sniper.cs", "s");
        CPluginList scan;
        {
            IoFault fault(tree.Root(), "opendir", "/storage/w", EACCES);
            QCOMPARE(scan.Rescan(tree.Path("storage\\")), 1);
            QVERIFY(fault.Happened());
        }
        QCOMPARE(QString::fromStdString(scan.Unreadable().reason()),
                 tree.QPath("storage/w/") + ": Permission denied");
    }

    // A description file that cannot be read is not a missing one: sync still lists its plug-in,
    // with the texts of one without, and names the file.
    void anUnreadableDescriptionIsNamedByTheScan()
    {
        TestTree tree;
        tree.Write("storage/w/sniper.cs", "s");
        tree.Write("storage/w/sniper.desc.txt", "Name=Sniper Rifle\r\nCategory=Weapon");
        tree.Write("storage/blaster.cs", "b");
        tree.MakeFolder("plugins");
        CPluginList catalogue;
        CPluginList inUse;
        storagesync::Synchronisation synchronised;
        {
            IoFault fault(tree.Root(), "open", "/storage/w/sniper.desc.txt", EIO);
            synchronised = storagesync::Synchronise(tree.Folder(), false, catalogue, inUse);
            QVERIFY(fault.Happened());
        }
        QCOMPARE(synchronised.outcome, storagesync::Outcome::Ready);
        QCOMPARE(QString::fromStdString(synchronised.descriptions.reason()),
                 tree.QPath("storage/w/sniper.desc.txt: Input/output error"));
        QCOMPARE(catalogue.GetSize(), 2);
        QCOMPARE(catalogue.Find("sniper")->m_strName + "|" +
                     catalogue.Find("sniper")->m_strCategory,
                 std::string("sniper|Unknown"));
    }

    void readOnlyFoldersAreLeftAsTheyAre()
    {
        TestTree tree;
        tree.Write("storage/blaster.cs", "b");
        tree.Write("storage/w/sniper.cs", "s");
        tree.Write("plugins/old.cs", "old");
        tree.Write("plugins/lib/x.cs", "x");
        const QStringList folders = {tree.QPath("plugins"), tree.QPath("storage")};
        for (const QString& folder : folders)
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        // Write access comes back, so that the tree can be removed.
        const auto writable = qScopeGuard([&folders] {
            for (const QString& folder : folders)
                QFile::setPermissions(folder,
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });
        if (QFile probe(folders[0] + "/probe"); probe.open(QIODevice::WriteOnly) && probe.remove())
            QSKIP("this user writes into read-only folders; run the test as an ordinary user");

        // Nothing can be copied in, and the copies say so.
        QVERIFY(!CopyIn(tree, Plugin("blaster")));
        QVERIFY(!CopyIn(tree, Plugin("sniper", "w\\")));
        QVERIFY(!Plugin("old").DeleteFiles(tree.Path("plugins\\")));
        QCOMPARE(tree.Names("plugins"), (QStringList{"lib", "old.cs"}));

        // A tree copy into read-only storage copies what it can and reports what it could not.
        QVERIFY(!fileops::CopyTree(korvane::Path(tree.Path("plugins\\")),
                                   korvane::Path(tree.Path("storage\\"))));
        QCOMPARE(tree.Names("storage"), (QStringList{"blaster.cs", "w"}));
        QVERIFY(!fileops::DeleteTree(korvane::Path(tree.Path("plugins\\"))));
        QCOMPARE(tree.Read("plugins/old.cs"), std::string("old"));
    }

    // Before a copy in use is deleted it is compared with storage's a block at a time: two
    // scripts of 128 MiB cost no more memory than a few blocks (each was read whole, so a 2 GB
    // script cost 4 GB), and a difference is found wherever it is. A read error leaves nothing
    // known, naming the file.
    void aCopyInUseIsComparedWithStoragesInBlocks()
    {
        TestTree tree;
        const auto native = [&tree](const char* name) { return kpath::ToNative(tree.Path(name)); };
        for (const char* name : {"plugins/big.cs", "storage/big.cs"}) {
            tree.Write(name, "");
            std::filesystem::resize_file(native(name), 128 << 20);
        }
        const auto peakMegabytes = testsupport::PeakMemoryMegabytes;
        const long before = peakMegabytes();
        QVERIFY(fileops::SameAsCopy(native("plugins/big.cs"), native("storage/big.cs")));
        QVERIFY2(peakMegabytes() - before < 32, QByteArray::number(peakMegabytes() - before));
        {
            IoFault fault(tree.Root(), "read", "/storage/big.cs", EIO, 1);
            const auto same =
                fileops::HoldSameBytes(native("plugins/big.cs"), native("storage/big.cs"));
            QVERIFY(fault.Happened());
            QCOMPARE(QString::fromStdString(same.status().reason()),
                     tree.QPath("storage/big.cs: Input/output error"));
        }

        const std::string block(64 << 10, 'b');
        tree.Write("storage/w.cs", block + "end");
        for (const auto& [copy, same] : {std::pair{block + "end", true},
                                         {block + "eNd", false},
                                         {"B" + block.substr(1) + "end", false},
                                         {block + "en", false}}) {
            tree.Write("plugins/w.cs", copy);
            QCOMPARE(*fileops::HoldSameBytes(native("plugins/w.cs"), native("storage/w.cs")), same);
        }
    }

    // A listing that a read error cuts short is no listing of the folder: the command fails
    // naming it, and the plugins folder and the configuration file are as they were.
    void aFolderListedInPartChangesNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("folder"); // the one whose listing fails
        // clang-format off
        QTest::newRow("load, plugins") << "load" << "plugins/w";
        QTest::newRow("load, storage") << "load" << "storage/w";
        QTest::newRow("load, backups") << "load" << "backups";
        QTest::newRow("take out of use, storage") << "unuse" << "storage/w";
        QTest::newRow("save, plugins") << "save" << "plugins/w";
        // clang-format on
    }
    void aFolderListedInPartChangesNothing()
    {
        QFETCH(QString, command);
        QFETCH(QString, folder);
        TestTree tree;
        WriteKorvaneInUse(tree);
        tree.Write("backups/2000-01-01 00-00-00.pfg", "UseDirectory=TRUE\r\nPlugin=w\\,c\r\n");
        tree.Write("saved.pfg", "old");
        const QStringList before = Files(tree, "plugins");
        Status done = Status::Success();
        {
            // The listing ends with an error after "." and "..".
            IoFault fault(tree.Root(), "readdir", "/" + folder.toStdString(), EIO, 2);
            if (command == "load")
                done = pluginconfig::LoadConfiguration(tree.Folder(), tree.Path("c.pfg")).status();
            else if (command == "unuse")
                done = pluginuse::UnusePlugin(tree.Folder(), Plugin("b", "w\\"));
            else
                done = pluginconfig::SaveConfiguration(tree.Folder(), "new", tree.Path("saved.pfg"),
                                                       true);
            QVERIFY(fault.Happened());
        }
        QVERIFY(QString::fromStdString(done.reason()).contains(tree.QPath(folder.toStdString())));
        QCOMPARE(Files(tree, "plugins"), before);
        QCOMPARE(tree.Read("saved.pfg"), "old");
        QCOMPARE(tree.Names("backups"), QStringList{"2000-01-01 00-00-00.pfg"});
    }

    // A load whose backup cannot be recorded as the one to undo to changes nothing in use, even
    // when the record is in place and only its folder's flush failed; the record names a whole
    // backup all the same.
    void aLoadWhoseBackupIsNotRecordedChangesNothing()
    {
        TestTree tree;
        WriteKorvaneInUse(tree);
        const QStringList before = Files(tree, "plugins");
        {
            IoFault fault(tree.Root(), "sync", "/backups$", EIO, 1);
            const auto loaded = pluginconfig::LoadConfiguration(tree.Folder(), tree.Path("c.pfg"));
            QVERIFY(fault.Happened());
            QVERIFY(
                QString::fromStdString(loaded.reason()).startsWith(strings::kReasonNotRecorded));
        }
        QCOMPARE(Files(tree, "plugins"), before);
        const auto recorded = configbackup::LastLoad(tree.Folder());
        QVERIFY(recorded->empty() || tree.Read("backups/" + *recorded).ends_with("\r\n"));
        QVERIFY(pluginconfig::LoadConfiguration(tree.Folder(), tree.Path("c.pfg")));
    }

    // An undo cut short by an error, that could not put every plug-in in use, or whose own backup
    // could not be recorded, leaves the backup it was restoring as the one to undo to, though it
    // backed up the set it replaced: the next undo restores it.
    void anUndoThatFailsIsUndoneAgainByTheNext_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("skip");
        // clang-format off
        QTest::newRow("an error emptying plugins") << "unlink" << "/plugins/w/extra.cs" << 0;
        QTest::newRow("a plug-in not put in use") << "open+w" << "/plugins/w/.b.cs" << 0;
        // The record in place, but maybe not on the disk: the undo names its backup again.
        QTest::newRow("its record not flushed") << "sync" << "/backups$" << 1;
        // clang-format on
    }
    void anUndoThatFailsIsUndoneAgainByTheNext()
    {
        QFETCH(QString, kind);
        QFETCH(QString, file);
        QFETCH(int, skip);
        TestTree tree;
        WriteKorvaneInUse(tree);
        QVERIFY(pluginconfig::LoadConfiguration(tree.Folder(), tree.Path("c.pfg")));
        const std::string backup = *kfs::ReadFile(
            kpath::ToNative(tree.Path("backups/" + tree.Names("backups")[0].toStdString())));
        tree.Write("plugins/w/extra.cs", "extra");
        {
            IoFault fault(tree.Root(), kind.toLatin1(), file.toStdString(), EIO, skip);
            const auto undone = pluginconfig::UndoLastLoad(tree.Folder());
            QVERIFY(fault.Happened());
            QVERIFY(!undone || !undone->loaded.notCopied.empty());
        }
        QCOMPARE(configbackup::Backups(tree.Folder())->size(), size_t(2));
        QCOMPARE(tree.Read("backups/" + *configbackup::LastLoad(tree.Folder())), backup);
        QVERIFY(pluginconfig::UndoLastLoad(tree.Folder()));
        QCOMPARE(tree.Names("plugins/w"), (QStringList{"a.cs", "b.cs"}));
    }

    // A description file the scan could not read is not replaced by an edit of what the record
    // lacks; nor is one whose other fields cannot be read back when it is written.
    void aDescriptionThatCannotBeReadIsNotReplaced()
    {
        TestTree tree;
        const std::string text = "Name=Blaster\r\nVersion=2\r\nLong text";
        tree.Write("storage/blaster.cs", "");
        tree.Write("storage/blaster.desc.txt", text);
        CPluginList scan;
        {
            IoFault fault(tree.Root(), "read", "blaster.desc.txt");
            scan.Rescan(tree.Path("storage/"));
            QVERIFY(fault.Happened());
        }
        CPluginInfo& blaster = *scan.Find("blaster");
        const Status unread = blaster.CheckDescriptionRead(tree.Path("storage/"));
        QCOMPARE(QString::fromStdString(unread.reason()),
                 tree.QPath("storage/blaster.desc.txt") + ": " + strings::kReasonUnreadable);

        scan.Rescan(tree.Path("storage/"));
        QVERIFY(scan.Find("blaster")->CheckDescriptionRead(tree.Path("storage/")));
        {
            IoFault fault(tree.Root(), "read", "blaster.desc.txt");
            QVERIFY(!descriptionfile::WriteDescription(
                tree.Folder("storage/"), *scan.Find("blaster"), {"Blaster", "", "", "Short text"}));
            QVERIFY(fault.Happened());
        }
        QCOMPARE(tree.Read("storage/blaster.desc.txt"), text);
        QCOMPARE(tree.Names("storage"), (QStringList{"blaster.cs", "blaster.desc.txt"}));
    }
};

QTEST_GUILESS_MAIN(tst_FileFaults)
#include "tst_FileFaults.moc"
