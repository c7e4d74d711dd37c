// File operations: which files are a key's, and how they meet the disk as players' disks are: odd
// names, files that vanish, folders that are not there, are files or may not be written. Nothing
// may crash, stop early or touch what is not the key's. (A file another program holds open cannot
// be replaced or deleted on Windows only; POSIX systems have no such lock.) Disks that fail
// midway (IoFaults.h) may stop a command, but never make it delete what it has not secured or
// take half a folder for the whole.
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
#include "support/WindowsFiles.h"

#include <filesystem>
#include <QtTest>

using namespace korvane;

using testsupport::CopyIn;
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

// Every file below a folder with its bytes.
QStringList Files(const TestTree& tree, const std::string& folder)
{
    QStringList files;
    const auto root = kpath::ToNative(tree.Path(folder));
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_regular_file())
            files << QString::fromStdString(entry.path().lexically_relative(root).string() + "=" +
                                            *kfs::ReadFile(entry.path()));
    }
    files.sort();
    return files;
}

} // namespace

class tst_FileFaults : public QObject
{
    Q_OBJECT

private slots:
    // A key's files are its name alone or followed by a dot, in any letter case. A copy replaces
    // nothing and takes only the scripts unless told otherwise; deleting takes every file.
    void aKeysFilesAreItsNameAloneOrWithADot()
    {
        TestTree tree;
        for (const char* name : {"blaster.cs", "blaster.desc.txt", "blaster.ico",
                                 "blaster.heavy.cs", "blasterx.cs", "Blaster.Old.CS"})
            tree.Write(std::string("storage/w/") + name, name);
        for (const char* name : {"BLASTER.CS", "BLASTER.notes", "blaster", "blasterx.txt"})
            tree.Write(std::string("plugins/w/") + name, "in use");
        const CPluginInfo blaster = Plugin("blaster", "w\\");
        QVERIFY(CopyIn(tree, blaster));
        QCOMPARE(tree.Names("plugins/w"),
                 (QStringList{"BLASTER.CS", "BLASTER.notes", "Blaster.Old.CS", "blaster",
                              "blaster.heavy.cs", "blasterx.txt"}));
        QCOMPARE(tree.Read("plugins/w/BLASTER.CS"), std::string("in use"));
        QVERIFY(blaster.DeleteFiles(tree.Path("plugins\\")));
        QCOMPARE(tree.Names("plugins/w"), QStringList{"blasterx.txt"});
        // A configuration may name a key with a dot in it.
        QVERIFY(CopyIn(tree, Plugin("blaster.heavy", "w\\")));
        QCOMPARE(tree.Names("plugins/w"), (QStringList{"blaster.heavy.cs", "blasterx.txt"}));
        QVERIFY(CopyIn(tree, blaster, true));
        QCOMPARE(tree.Names("plugins/w"),
                 (QStringList{"Blaster.Old.CS", "blaster.cs", "blaster.desc.txt",
                              "blaster.heavy.cs", "blaster.ico", "blasterx.txt"}));
    }

    void copyTreeAddsWhatIsMissingAndDeleteTreeEmptiesTheFolder()
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

#ifdef Q_OS_WIN
        // Windows deletes no read-only file: the deletion stops there, naming it.
        const Status kept = fileops::DeleteTree(tree.Path("plugins\\"));
        QVERIFY(QString::fromStdString(kept.reason()).contains(tree.QPath("plugins/new.cs")));
        QCOMPARE(tree.Read("plugins/new.cs"), std::string("plugins"));
        QFile::setPermissions(tree.QPath("plugins/new.cs"), QFile::ReadOwner | QFile::WriteOwner);
#endif
        // Deleting empties the folder and keeps it; a link inside is removed, never followed.
        tree.Write("outside/keep.cs", "keep");
        QVERIFY(QFile::link(tree.QPath("outside"), tree.QPath("plugins/link")));
        QVERIFY(fileops::DeleteTree(tree.Path("plugins\\")));
        QCOMPARE(tree.Names("plugins"), QStringList{});
        QCOMPARE(tree.Read("outside/keep.cs"), std::string("keep"));
    }

    // Names the shell or a pattern would read otherwise are scanned, copied and deleted as plain
    // names, touching no other plug-in's files.
    void oddNamesAreTheirOwnFilesOnly_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("key");
        // clang-format off
        QTest::newRow("spaces") << "my weapons" << "big gun";
        QTest::newRow("non-ascii") << QString::fromUtf8("w\u00e4ffen") << QString::fromUtf8("gew\u00e9hr");
        QTest::newRow("leading dash") << "-x" << "-rf";
        QTest::newRow("star") << "[set]" << "*";
        QTest::newRow("question mark") << "w" << "?";
        QTest::newRow("letter and star") << "w" << "b*";
        QTest::newRow("bracket set") << "w" << "[bp]";
        // clang-format on
    }
    void oddNamesAreTheirOwnFilesOnly()
    {
        QFETCH(QString, folder);
        QFETCH(QString, key);
        const std::string dir = folder.toStdString() + "/";
        const std::string k = key.toStdString();
        // Plug-ins whose names the key would match if it were read as a pattern.
        const QStringList others = {"b.cs", "blaster.cs", "blaster.desc.txt", "p.cs", "x.y.cs"};
        TestTree tree;
        for (const QString& name : others) {
            tree.Write("storage/" + dir + name.toStdString(), "other");
            tree.Write("plugins/" + dir + name.toStdString(), "other");
        }
        tree.Write("storage/" + dir + k + ".cs", "mine");
        tree.Write("storage/" + dir + k + ".desc.txt", "Name=" + k + "\r\n");

        CPluginList list;
        list.Rescan(tree.Path("storage\\"));
        const CPluginInfo* plugin = list.Find(k);
        QVERIFY(plugin);
        QCOMPARE(plugin->m_strSubdirectory + plugin->m_strName, folder.toStdString() + "\\" + k);
        QVERIFY(CopyIn(tree, *plugin, true));
        QStringList expected = others + QStringList{key + ".cs", key + ".desc.txt"};
        expected.sort();
        QCOMPARE(tree.Names("plugins/" + dir), expected);
        QCOMPARE(tree.Read("plugins/" + dir + "blaster.cs"), std::string("other"));
        QVERIFY(plugin->DeleteFiles(tree.Path("plugins\\")));
        QCOMPARE(tree.Names("plugins/" + dir), others);
    }

    void whatVanishedSinceTheScanIsPassedOver()
    {
        TestTree tree;
        tree.Write("storage/blaster.cs", "a");
        tree.Write("storage/blaster.z.cs", "c");
        tree.Write("storage/w/sniper.cs", "s");
        tree.MakeFolder("plugins");
        // Listed, but gone by the time it is copied.
        QVERIFY(QFile::link(tree.QPath("storage/gone.cs"), tree.QPath("storage/blaster.b.cs")));
        CPluginList list;
        QCOMPARE(list.Rescan(tree.Path("storage\\")), 2);
        QVERIFY(QDir(tree.QPath("storage/w")).removeRecursively());
        for (const auto& plugin : list.m_arrPlugins)
            QVERIFY(CopyIn(tree, *plugin, true));
        QVERIFY(list.Find("sniper")->DeleteFiles(tree.Path("storage\\")));
        // The folder of the vanished plug-in is not made again.
        QCOMPARE(tree.Names("plugins"), (QStringList{"blaster.cs", "blaster.z.cs"}));
    }

    // A copy makes every missing level of the plug-in's subfolder, never the plugins folder, and
    // replaces no file where a folder should be.
    void aCopyMakesOnlyTheSubfolderAndReplacesNoFile()
    {
        TestTree tree;
        tree.Write("storage/blaster.cs", "a");
        tree.Write("storage/w/sniper.cs", "b");
        tree.Write("storage/x/heavy/deep/cannon.cs", "c");
        QVERIFY(!CopyIn(tree, Plugin("blaster")));
        QVERIFY(!CopyIn(tree, Plugin("sniper", "w\\")));
        QVERIFY(!CopyIn(tree, Plugin("cannon", "x\\heavy\\deep\\")));
        QVERIFY(!tree.Exists("plugins"));
        // Nothing there: nothing happens.
        QVERIFY(Plugin("blaster").DeleteFiles(tree.Path("plugins\\")));
        QVERIFY(fileops::DeleteTree(tree.Path("plugins\\")));

        tree.MakeFolder("plugins/X");
        QVERIFY(CopyIn(tree, Plugin("cannon", "x\\heavy\\deep\\")));
        QCOMPARE(tree.Names("plugins"), QStringList{"X"});
        QCOMPARE(tree.Names("plugins/X/heavy/deep"), QStringList{"cannon.cs"});
        tree.Write("plugins/w", "file in the way");
        QVERIFY(!CopyIn(tree, Plugin("sniper", "w\\")));
        QCOMPARE(tree.Read("plugins/w"), std::string("file in the way"));
        // A file where the destination folder should be takes nothing and holds no plug-in.
        QVERIFY(!fileops::CopyTree(tree.Path("plugins\\"), tree.Path("storage\\blaster.cs\\")));
        QCOMPARE(tree.Read("storage/blaster.cs"), std::string("a"));
        QCOMPARE(CPluginList().Rescan(tree.Path("storage\\blaster.cs\\")), 0);
    }

    // A folder the scan cannot read is named, not taken for an empty one; a missing one is no
    // failure.
    void anUnreadableFolderIsNamedByTheScan()
    {
        TestTree tree;
        tree.Write("storage/blaster.cs", "b");
        tree.Write("storage/w/sniper.cs", "s");
        const QString folder = tree.QPath("storage/w");
        QFile::setPermissions(folder, QFile::Permissions());
        const auto readable = qScopeGuard([&folder] {
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });
        if (QDir(folder).exists("sniper.cs"))
            QSKIP("this user reads unreadable folders; run the test as an ordinary user");
        CPluginList scan;
        QCOMPARE(scan.Rescan(tree.Path("storage\\")), 1);
        QCOMPARE(QString::fromStdString(scan.Unreadable().reason()),
                 folder + "/: Permission denied");
        CPluginList none;
        none.Rescan(tree.Path("none\\"));
        QVERIFY(none.Unreadable());
    }

    // A description file that cannot be read is not a missing one: start-up and sync still list
    // its plug-in, with the texts of one without, and name the file. One gone since the listing
    // is simply none.
    void anUnreadableDescriptionIsNamedByTheScan_data()
    {
        QTest::addColumn<QByteArray>("kind");
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("cause"); // empty: no failure
        // clang-format off
        QTest::newRow("storage's cannot be opened") << QByteArray("open") << "storage/w/sniper.desc.txt" << EIO << "Input/output error";
        QTest::newRow("storage's may not be read") << QByteArray("open") << "storage/w/sniper.desc.txt" << EACCES << "Permission denied";
        QTest::newRow("the copy in use cannot be read") << QByteArray("read") << "plugins/w/sniper.desc.txt" << EIO << "Input/output error";
        QTest::newRow("storage's went away") << QByteArray("open") << "storage/w/sniper.desc.txt" << ENOENT << QString();
        // clang-format on
    }
    void anUnreadableDescriptionIsNamedByTheScan()
    {
        QFETCH(QByteArray, kind);
        QFETCH(QString, file);
        QFETCH(int, error);
        QFETCH(QString, cause);
        TestTree tree;
        for (const std::string folder : {"storage/", "plugins/"}) {
            tree.Write(folder + "w/sniper.cs", "s");
            tree.Write(folder + "w/sniper.desc.txt", "Name=Sniper Rifle\r\nCategory=Weapon");
        }
        tree.Write("storage/blaster.cs", "b");
        CPluginList catalogue;
        CPluginList inUse;
        storagesync::Synchronisation synchronised;
        {
            IoFault fault(tree.Root(), kind, "/" + file.toStdString(), error);
            synchronised = storagesync::Synchronise(tree.Root(), false, catalogue, inUse);
            QVERIFY(fault.Happened());
        }
        QCOMPARE(synchronised.outcome, storagesync::Outcome::Ready);
        QVERIFY(synchronised.copies && synchronised.unreadable);
        QCOMPARE(QString::fromStdString(synchronised.descriptions.reason()),
                 cause.isEmpty() ? QString() : tree.QPath(file.toStdString()) + ": " + cause);
        const CPluginList& scanned = file.startsWith("storage") ? catalogue : inUse;
        QCOMPARE(scanned.UnreadableDescriptions().ok(), cause.isEmpty());
        QCOMPARE(scanned.GetSize(), file.startsWith("storage") ? 2 : 1);
        QCOMPARE(scanned.Find("sniper")->m_strName + "|" + scanned.Find("sniper")->m_strCategory,
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
        QVERIFY(!fileops::CopyTree(tree.Path("plugins\\"), tree.Path("storage\\")));
        QCOMPARE(tree.Names("storage"), (QStringList{"blaster.cs", "w"}));
        QVERIFY(!fileops::DeleteTree(tree.Path("plugins\\")));
        QCOMPARE(tree.Read("plugins/old.cs"), std::string("old"));
    }

    void anAtomicWriteRespectsTheFileItReplaces_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("read-only") << 0444 << false;
        QTest::newRow("owner only") << 0600 << true;
        QTest::newRow("executable") << 0750 << true;
    }
    void anAtomicWriteRespectsTheFileItReplaces()
    {
        QFETCH(int, mode);
        QFETCH(bool, replaced);
        TestTree tree;
        tree.Write("real/setup.pfg", "old");
        const auto file = kpath::ToNative(tree.Path("real/setup.pfg"));
        std::filesystem::permissions(file, std::filesystem::perms(mode));
        QVERIFY(QFile::link(tree.QPath("real/setup.pfg"), tree.QPath("link.pfg")));

        for (const char* written : {"real/setup.pfg", "link.pfg"}) {
            QCOMPARE(kfs::WriteFileAtomically(kpath::ToNative(tree.Path(written)), "new").ok(),
                     replaced);
            QCOMPARE(tree.Read("real/setup.pfg"), std::string(replaced ? "new" : "old"));
            QCOMPARE(int(std::filesystem::status(file).permissions()), mode);
        }
        QVERIFY(std::filesystem::is_symlink(kpath::ToNative(tree.Path("link.pfg"))));
        QCOMPARE(tree.Names("real"), QStringList{"setup.pfg"});
    }

#ifdef Q_OS_WIN
    // A replaced file keeps its attributes and the letter case of its name, whatever case it is
    // named in; a read-only one is not replaced, as on POSIX systems, and nothing is left behind.
    void anAtomicReplaceKeepsTheAttributes()
    {
        TestTree tree;
        tree.Write("Setup.PFG", "old");
        const QString file = tree.QPath("Setup.PFG");
        QVERIFY(testsupport::SetAttributes(file, {.readOnly = false, .hidden = true}));
        const auto named = kpath::ToNative(tree.Path("setup.pfg"));
        QVERIFY(kfs::WriteFileAtomically(named, "new"));
        QCOMPARE(tree.Read("Setup.PFG"), std::string("new"));
        QVERIFY(testsupport::AttributesOf(file).hidden);
        QCOMPARE(testsupport::NameOnDisk(file), QString("Setup.PFG"));

        QVERIFY(testsupport::SetAttributes(file, {.readOnly = true, .hidden = true}));
        const Status refused = kfs::WriteFileAtomically(named, "newer");
        QVERIFY2(QString::fromStdString(refused.reason()).endsWith(strings::kReasonWriteProtected),
                 refused.reason().c_str());
        QCOMPARE(tree.Read("Setup.PFG"), std::string("new"));
        QCOMPARE(tree.Names(""), QStringList{"Setup.PFG"});
    }
#endif

    // A link can make storage's copy the plugins file itself; deleting the one would delete the
    // other. A plugins file that is a link to storage's copy is only a link, and goes.
    void aFileThatIsItsOwnCopyIsNeverDeleted()
    {
        TestTree tree;
        tree.Write("a/plugins/blaster.cs", "only copy");
        tree.MakeFolder("a/storage");
        QFile::link(tree.QPath("a/plugins/blaster.cs"), tree.QPath("a/storage/blaster.cs"));
        tree.Write("b/storage/blaster.cs", "only copy");
        QFile::link(tree.QPath("b/storage"), tree.QPath("b/plugins"));
        for (const std::string root : {"a/", "b/"}) {
            const auto status = pluginuse::UnusePlugin(tree.Path(root), Plugin("blaster", ""));
            QVERIFY(QString::fromStdString(status.reason()).endsWith("through a link"));
            QVERIFY(!fileops::CopyTree(tree.Path(root + "plugins/"), tree.Path(root + "storage/"),
                                       fileops::Existing::MustMatch));
            QCOMPARE(tree.Read(root + "storage/blaster.cs"), std::string("only copy"));
        }
        tree.Write("c/storage/blaster.cs", "only copy");
        tree.MakeFolder("c/plugins");
        QFile::link(tree.QPath("c/storage/blaster.cs"), tree.QPath("c/plugins/blaster.cs"));
        QVERIFY(pluginuse::UnusePlugin(tree.Path("c/"), Plugin("blaster", "")));
        QCOMPARE(tree.Names("c/plugins"), QStringList());
        QCOMPARE(tree.Read("c/storage/blaster.cs"), std::string("only copy"));
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
        QTest::newRow("load, plugins") << "load"
                                       << "plugins/w";
        QTest::newRow("load, storage") << "load"
                                       << "storage/w";
        QTest::newRow("load, backups") << "load"
                                       << "backups";
        QTest::newRow("take out of use, storage") << "unuse"
                                                  << "storage/w";
        QTest::newRow("save, plugins") << "save"
                                       << "plugins/w";
        QTest::newRow("undo, backups") << "undo"
                                       << "backups";
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
        Status done = Status::Ok();
        {
            // The listing ends with an error after "." and "..".
            IoFault fault(tree.Root(), "readdir", "/" + folder.toStdString(), EIO, 2);
            if (command == "load")
                done = pluginconfig::LoadConfiguration(tree.Root(), tree.Path("c.pfg")).status();
            else if (command == "unuse")
                done = pluginuse::UnusePlugin(tree.Root(), Plugin("b", "w\\"));
            else if (command == "save")
                done = pluginconfig::SaveConfiguration(tree.Root(), "new", tree.Path("saved.pfg"),
                                                       true);
            else
                done = pluginconfig::UndoLastLoad(tree.Root()).status();
            QVERIFY(fault.Happened());
        }
        QVERIFY(QString::fromStdString(done.reason()).contains(tree.QPath(folder.toStdString())));
        QCOMPARE(Files(tree, "plugins"), before);
        QCOMPARE(tree.Read("saved.pfg"), "old");
        QCOMPARE(tree.Names("backups"), QStringList{"2000-01-01 00-00-00.pfg"});
    }

    // An undo cut short by an error, or that could not put every plug-in in use, leaves the
    // backup it was restoring as the one to undo to, though it backed up the set it replaced:
    // the next undo restores it.
    void anUndoThatFailsIsUndoneAgainByTheNext_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("file");
        QTest::newRow("an error emptying plugins") << "unlink"
                                                   << "/plugins/w/extra.cs";
        QTest::newRow("a plug-in not put in use") << "open+w"
                                                  << "/plugins/w/.b.cs";
    }
    void anUndoThatFailsIsUndoneAgainByTheNext()
    {
        QFETCH(QString, kind);
        QFETCH(QString, file);
        TestTree tree;
        WriteKorvaneInUse(tree);
        QVERIFY(pluginconfig::LoadConfiguration(tree.Root(), tree.Path("c.pfg")));
        const std::string backup = *kfs::ReadFile(
            kpath::ToNative(tree.Path("backups/" + tree.Names("backups")[0].toStdString())));
        tree.Write("plugins/w/extra.cs", "extra");
        {
            IoFault fault(tree.Root(), kind.toLatin1(), file.toStdString());
            const auto undone = pluginconfig::UndoLastLoad(tree.Root());
            QVERIFY(fault.Happened());
            QVERIFY(!undone || !undone->loaded.notCopied.empty());
        }
        const auto backups = configbackup::Backups(tree.Root());
        QCOMPARE(backups->size(), size_t(2));
        QCOMPARE(tree.Read("backups/" + backups->back()), backup);
        QVERIFY(pluginconfig::UndoLastLoad(tree.Root()));
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
            QVERIFY(!descriptionfile::WriteDescription(tree.Path("storage/"), *scan.Find("blaster"),
                                                       {"Blaster", "", "", "Short text"}));
            QVERIFY(fault.Happened());
        }
        QCOMPARE(tree.Read("storage/blaster.desc.txt"), text);
        QCOMPARE(tree.Names("storage"), (QStringList{"blaster.cs", "blaster.desc.txt"}));
    }

    void takingOutOfUseSecuresWhatStorageLacksFirst()
    {
        TestTree tree;
        tree.Write("storage/w/BLASTER.cs", "stored");
        tree.Write("plugins/w/blaster.cs", "edited"); // as long as storage's, not the same
        tree.Write("plugins/w/blaster.notes", "only copy");
        const CPluginInfo plugin = Plugin("blaster", "w\\");
        const auto edited = pluginuse::UnusePlugin(tree.Root(), plugin);
        QVERIFY(!edited);
        QCOMPARE(QString::fromStdString(edited.reason()),
                 tree.QPath("plugins/w/blaster.cs") +
                     ": the file differs from its copy in storage");
        QCOMPARE(tree.Read("plugins/w/blaster.cs"), std::string("edited"));
        QCOMPARE(tree.Read("storage/w/BLASTER.cs"), std::string("stored"));

        // The same bytes are a copy: the plug-in goes out of use.
        tree.Write("plugins/w/blaster.cs", "stored");
        QVERIFY(pluginuse::UnusePlugin(tree.Root(), plugin));
        QCOMPARE(tree.Names("plugins/w"), QStringList{});
        QCOMPARE(tree.Read("storage/w/blaster.notes"), std::string("only copy"));

        // Storage's subfolder is taken by a file: nothing can be secured, so nothing goes.
        tree.Write("storage/v", "in the way");
        tree.Write("plugins/v/blaster.cs", "only copy");
        const auto status = pluginuse::UnusePlugin(tree.Root(), Plugin("blaster", "v\\"));
        QVERIFY(!status);
        QVERIFY(QString::fromStdString(status.reason()).startsWith(tree.QPath("storage/v")));
        QCOMPARE(tree.Read("plugins/v/blaster.cs"), std::string("only copy"));

        // A folder in storage named like a file only plugins holds is no copy of it.
        tree.Write("storage/w/blaster.notes.txt/keep", "");
        tree.Write("plugins/w/blaster.notes.txt", "only copy");
        QVERIFY(!pluginuse::UnusePlugin(tree.Root(), plugin));
        QCOMPARE(tree.Read("plugins/w/blaster.notes.txt"), std::string("only copy"));
    }
};

QTEST_GUILESS_MAIN(tst_FileFaults)
#include "tst_FileFaults.moc"
