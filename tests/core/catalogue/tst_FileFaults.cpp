// File operations meeting the disk as players' disks are: odd names, files that vanish, folders
// that are not there, are files or may not be written. Nothing may crash, stop early or touch
// what is not the key's. (A file another program holds open cannot be replaced or deleted on
// Windows only; POSIX systems have no such lock.)
#include "core/catalogue/CPluginList.h"
#include "core/catalogue/FileOperations.h"
#include "core/catalogue/PluginConfiguration.h"
#include "core/catalogue/PluginUse.h"
#include "core/platform/KPath.h"
#include "support/TestTree.h"

#include <QtTest>

class tst_FileFaults : public QObject
{
    Q_OBJECT

private:
    // The folder's permissions for as long as it lives; write access comes back at the end so
    // that the tree can be removed.
    class ReadOnlyFolder
    {
    public:
        explicit ReadOnlyFolder(QString folder) : m_folder(std::move(folder))
        {
            QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::ExeOwner);
        }
        ~ReadOnlyFolder()
        {
            QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        ReadOnlyFolder(const ReadOnlyFolder&) = delete;
        ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

        // False for a user whom permissions do not stop (root): the test then proves nothing.
        bool Holds() const
        {
            QFile probe(m_folder + "/probe");
            if (!probe.open(QIODevice::WriteOnly))
                return true;
            probe.remove();
            return false;
        }

    private:
        QString m_folder;
    };

    static QStringList Names(const TestTree& tree, const std::string& folder)
    {
        return QDir(QString::fromStdString(tree.Path(folder)))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

    static CPluginInfo Plugin(const std::string& key, const std::string& subdirectory = {})
    {
        CPluginInfo plugin(key, key, "Unknown");
        plugin.m_strSubdirectory = subdirectory;
        return plugin;
    }

private slots:
    void oddNamesAreScannedCopiedAndDeleted_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("key");
        QTest::newRow("spaces") << "my weapons"
                                << "big gun";
        QTest::newRow("non-ascii")
            << QString::fromUtf8("w\u00e4ffen") << QString::fromUtf8("gew\u00e9hr");
        QTest::newRow("wildcards") << "[set]"
                                   << "a*b?";
        QTest::newRow("leading dash") << "-x"
                                      << "-rf";
    }
    void oddNamesAreScannedCopiedAndDeleted()
    {
        QFETCH(QString, folder);
        QFETCH(QString, key);
        const std::string sub = folder.toStdString() + "\\";
        const std::string k = key.toStdString();
        TestTree tree;
        tree.Write("storage/" + folder.toStdString() + "/" + k + ".cs", "script");
        tree.Write("storage/" + folder.toStdString() + "/" + k + ".desc.txt", "Name=" + k + "\r\n");
        tree.MakeFolder("plugins");

        CPluginList list;
        QCOMPARE(list.Rescan(tree.Path("storage\\")), 1);
        const CPluginInfo& plugin = *list.GetAt(0);
        QCOMPARE(plugin.m_strFileName, k);
        QCOMPARE(plugin.m_strName, k);
        QCOMPARE(plugin.m_strSubdirectory, sub);

        QVERIFY(plugin.CopyFiles(tree.Path("storage\\"), tree.Path("plugins\\"), false));
        QCOMPARE(tree.Read("plugins/" + folder.toStdString() + "/" + k + ".cs"),
                 std::string("script"));
        QVERIFY(plugin.DeleteFiles(tree.Path("plugins\\")));
        QVERIFY(!tree.Exists("plugins/" + folder.toStdString() + "/" + k + ".cs"));
        QVERIFY(tree.Exists("storage/" + folder.toStdString() + "/" + k + ".cs"));
    }

    void aVanishedFileIsPassedOverAndTheRestIsCopied()
    {
        TestTree tree;
        tree.Write("storage/blaster.cs", "a");
        tree.Write("storage/blaster.z.cs", "c");
        // Listed, but gone by the time it is copied.
        QVERIFY(QFile::link(QString::fromStdString(tree.Path("storage/gone.cs")),
                            QString::fromStdString(tree.Path("storage/blaster.b.cs"))));
        tree.MakeFolder("plugins");
        QVERIFY(Plugin("blaster").CopyFiles(tree.Path("storage\\"), tree.Path("plugins\\"), true));
        QVERIFY(tree.Exists("plugins/blaster.cs"));
        QVERIFY(tree.Exists("plugins/blaster.z.cs"));
        QVERIFY(!tree.Exists("plugins/blaster.b.cs"));
    }

    void aMissingPluginsFolderIsNotCreatedByACopy()
    {
        TestTree tree;
        tree.Write("storage/blaster.cs", "a");
        tree.Write("storage/w/sniper.cs", "b");
        QVERIFY(
            !Plugin("blaster").CopyFiles(tree.Path("storage\\"), tree.Path("plugins\\"), false));
        QVERIFY(!Plugin("sniper", "w\\")
                     .CopyFiles(tree.Path("storage\\"), tree.Path("plugins\\"), false));
        QVERIFY(!tree.Exists("plugins"));
        QVERIFY(Plugin("blaster").DeleteFiles(
            tree.Path("plugins\\"))); // nothing there: nothing happens
        QVERIFY(fileops::DeleteTree(tree.Path("plugins\\")));
        QVERIFY(tree.Exists("storage/blaster.cs"));
    }

    void aFileWhereAFolderShouldBeStopsNothingElse()
    {
        TestTree tree;
        tree.Write("storage", "I am a file");
        tree.Write("plugins/a.cs", "a");
        tree.Write("plugins/w/b.cs", "b");
        QVERIFY(!fileops::CopyTree(tree.Path("plugins\\"), tree.Path("storage\\")));
        QCOMPARE(tree.Read("storage"), std::string("I am a file"));
        CPluginList list;
        QCOMPARE(list.Rescan(tree.Path("storage\\")), 0);

        // The plug-in's subfolder is taken by a file: the copy fails and reports it.
        TestTree other;
        other.Write("storage/w/b.cs", "b");
        other.Write("plugins/w", "file in the way");
        QVERIFY(
            !Plugin("b", "w\\").CopyFiles(other.Path("storage\\"), other.Path("plugins\\"), false));
        QCOMPARE(other.Read("plugins/w"), std::string("file in the way"));
    }

    void wildcardKeysTouchOnlyTheirOwnFiles_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("star") << "*";
        QTest::newRow("question mark") << "?";
        QTest::newRow("letter and star") << "b*";
        QTest::newRow("bracket set") << "[bp]";
        QTest::newRow("star dot star") << "*.*";
        QTest::newRow("regex dot") << ".";
    }
    void wildcardKeysTouchOnlyTheirOwnFiles()
    {
        QFETCH(QString, key);
        const std::string k = key.toStdString();
        // Plug-ins whose names the key would match if it were read as a pattern.
        const QStringList others = {"b.cs", "blaster.cs", "blaster.desc.txt", "p.cs", "x.y.cs"};
        TestTree tree;
        for (const QString& name : others) {
            tree.Write("storage/" + name.toStdString(), "other");
            tree.Write("plugins/" + name.toStdString(), "other");
        }
        tree.Write("storage/" + k + ".cs", "mine");
        tree.Write("storage/" + k + ".desc.txt", "Name=mine\r\n");

        QVERIFY(Plugin(k).CopyFiles(tree.Path("storage\\"), tree.Path("plugins\\"), true));
        QStringList expected = others + QStringList{key + ".cs", key + ".desc.txt"};
        expected.sort();
        QStringList copied = Names(tree, "plugins");
        copied.sort();
        QCOMPARE(copied, expected);
        QCOMPARE(tree.Read("plugins/blaster.cs"), std::string("other"));

        QVERIFY(Plugin(k).DeleteFiles(tree.Path("plugins\\")));
        QStringList left = Names(tree, "plugins");
        left.sort();
        QCOMPARE(left, others);
    }

    void aFolderVanishedSinceTheScanIsNotRecreated()
    {
        TestTree tree;
        tree.Write("storage/w/sniper.cs", "s");
        tree.MakeFolder("plugins");
        CPluginList list;
        QCOMPARE(list.Rescan(tree.Path("storage\\")), 1);
        QVERIFY(QDir(QString::fromStdString(tree.Path("storage/w"))).removeRecursively());
        QVERIFY(list.GetAt(0)->CopyFiles(tree.Path("storage\\"), tree.Path("plugins\\"), false));
        QVERIFY(list.GetAt(0)->DeleteFiles(tree.Path("storage\\")));
        QVERIFY(Names(tree, "plugins").isEmpty());
    }

    void readOnlyFoldersAreLeftAsTheyAre()
    {
        TestTree tree;
        tree.Write("storage/blaster.cs", "b");
        tree.Write("storage/w/sniper.cs", "s");
        tree.Write("plugins/old.cs", "old");
        tree.Write("plugins/lib/x.cs", "x");
        const ReadOnlyFolder plugins(QString::fromStdString(tree.Path("plugins")));
        const ReadOnlyFolder storage(QString::fromStdString(tree.Path("storage")));
        if (!plugins.Holds())
            QSKIP("this user writes into read-only folders; run the test as an ordinary user");

        // Nothing can be copied in, and the copies say so.
        QVERIFY(
            !Plugin("blaster").CopyFiles(tree.Path("storage\\"), tree.Path("plugins\\"), false));
        QVERIFY(!Plugin("sniper", "w\\")
                     .CopyFiles(tree.Path("storage\\"), tree.Path("plugins\\"), false));
        QVERIFY(!Plugin("old").DeleteFiles(tree.Path("plugins\\")));
        QCOMPARE(Names(tree, "plugins"), (QStringList{"lib", "old.cs"}));

        // A tree copy into read-only storage copies what it can and reports what it could not.
        QVERIFY(!fileops::CopyTree(tree.Path("plugins\\"), tree.Path("storage\\")));
        QCOMPARE(Names(tree, "storage"), (QStringList{"blaster.cs", "w"}));
        QVERIFY(!fileops::DeleteTree(tree.Path("plugins\\")));
        QCOMPARE(tree.Read("plugins/old.cs"), std::string("old"));
    }

    void loadingWithReadOnlyStorageDeletesNothing()
    {
        TestTree tree;
        tree.Write("storage/blaster.cs", "b");
        tree.Write("plugins/onlyhere.cs", "only copy");
        tree.Write("setup.pfg", "UseDirectory=TRUE\r\nPlugin=,blaster\r\n");
        const ReadOnlyFolder storage(QString::fromStdString(tree.Path("storage")));
        if (!storage.Holds())
            QSKIP("this user writes into read-only folders; run the test as an ordinary user");
        const auto loaded = pluginconfig::LoadConfiguration(tree.Root(), tree.Path("setup.pfg"));
        QVERIFY(!loaded);
        QVERIFY(QString::fromStdString(loaded.reason()).contains("onlyhere.cs"));
        QCOMPARE(Names(tree, "plugins"), QStringList{"onlyhere.cs"});
    }

    void readOnlyFilesDoNotStopATreeCopy()
    {
        TestTree tree;
        tree.Write("plugins/a.cs", "a");
        tree.Write("plugins/b.cs", "b");
        QFile::setPermissions(QString::fromStdString(tree.Path("plugins/a.cs")), QFile::ReadOwner);
        tree.MakeFolder("storage");
        QVERIFY(fileops::CopyTree(tree.Path("plugins\\"), tree.Path("storage\\")));
        QCOMPARE(tree.Read("storage/a.cs"), std::string("a"));
        QCOMPARE(tree.Read("storage/b.cs"), std::string("b"));
    }

    void anAtomicWriteRespectsTheFileItReplaces_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("read-only") << 0444 << false;
        QTest::newRow("owner only") << 0600 << true;
        QTest::newRow("shared") << 0664 << true;
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
        QVERIFY(QFile::link(QString::fromStdString(tree.Path("real/setup.pfg")),
                            QString::fromStdString(tree.Path("link.pfg"))));

        for (const char* written : {"real/setup.pfg", "link.pfg"}) {
            const auto status =
                kfs::WriteFileAtomically(kpath::ToNative(tree.Path(written)), "new");
            QCOMPARE(status.ok(), replaced);
            QCOMPARE(tree.Read("real/setup.pfg"), std::string(replaced ? "new" : "old"));
            QCOMPARE(int(std::filesystem::status(file).permissions()), mode);
        }
        QVERIFY(std::filesystem::is_symlink(kpath::ToNative(tree.Path("link.pfg"))));
        QCOMPARE(Names(tree, "real"), QStringList{"setup.pfg"});
        std::filesystem::permissions(file, std::filesystem::perms::owner_all);
    }

    void takingOutOfUseSecuresWhatStorageLacksFirst()
    {
        TestTree tree;
        tree.Write("storage/w/blaster.cs", "stored");
        tree.Write("plugins/w/blaster.cs", "edited in place");
        tree.Write("plugins/w/blaster.notes", "only copy");
        const CPluginInfo plugin = Plugin("blaster", "w\\");
        QVERIFY(pluginuse::UnusePlugin(tree.Root(), plugin));
        QCOMPARE(Names(tree, "plugins/w"), QStringList{});
        QCOMPARE(tree.Read("storage/w/blaster.notes"), std::string("only copy"));
        QCOMPARE(tree.Read("storage/w/blaster.cs"), std::string("stored"));

        // Storage's subfolder is taken by a file: nothing can be secured, so nothing goes.
        TestTree blocked;
        blocked.Write("storage/w", "in the way");
        blocked.Write("plugins/w/blaster.cs", "only copy");
        const auto status = pluginuse::UnusePlugin(blocked.Root(), plugin);
        QVERIFY(!status);
        QVERIFY(QString::fromStdString(status.reason())
                    .startsWith(QString::fromStdString(blocked.Path("storage/w"))));
        QCOMPARE(blocked.Read("plugins/w/blaster.cs"), std::string("only copy"));

        // A folder in storage named like a file only plugins holds is no copy of it.
        TestTree shadowed;
        shadowed.Write("storage/w/blaster.notes/keep", "");
        shadowed.Write("plugins/w/blaster.notes", "only copy");
        QVERIFY(!pluginuse::UnusePlugin(shadowed.Root(), plugin));
        QCOMPARE(shadowed.Read("plugins/w/blaster.notes"), std::string("only copy"));
    }

    void noTemporaryFileIsLeftBehind()
    {
        TestTree tree;
        tree.Write("plugins/a.cs", "a");
        tree.Write("plugins/s/b.cs", "b");
        tree.MakeFolder("storage");
        QVERIFY(fileops::CopyTree(tree.Path("plugins\\"), tree.Path("storage\\")));
        const QDir storage(QString::fromStdString(tree.Path("storage")));
        QCOMPARE(storage.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{"a.cs", "s"}));
    }
};

QTEST_GUILESS_MAIN(tst_FileFaults)
#include "tst_FileFaults.moc"
