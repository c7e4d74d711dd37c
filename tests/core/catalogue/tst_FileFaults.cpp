// File operations meeting the disk as players' disks are: odd names, files that vanish, folders
// that are not there, are files or may not be written. Nothing may crash, stop early or touch
// what is not the key's. (A file another program holds open cannot be replaced or deleted on
// Windows only; POSIX systems have no such lock.)
#include "core/catalogue/CPluginList.h"
#include "core/catalogue/FileOperations.h"
#include "core/catalogue/PluginConfiguration.h"
#include "core/catalogue/PluginUse.h"
#include "core/platform/KPath.h"
#include "support/CatalogueTestSupport.h"
#include "support/TestTree.h"

#include <QtTest>

using namespace korvane;

using testsupport::Plugin;

class tst_FileFaults : public QObject
{
    Q_OBJECT

private:
    // Takes write access from the folders until the guard it returns goes, so that the tree can
    // be removed afterwards.
    [[nodiscard]] static auto ReadOnly(const QStringList& folders)
    {
        for (const QString& folder : folders)
            QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        return qScopeGuard([folders] {
            for (const QString& folder : folders)
                QFile::setPermissions(folder,
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        });
    }
    // False for a user whom permissions do not stop (root): the test then proves nothing.
    static bool PermissionsHold(const QString& readOnlyFolder)
    {
        QFile probe(readOnlyFolder + "/probe");
        return !probe.open(QIODevice::WriteOnly) || !probe.remove();
    }

private slots:
    void oddNamesAreScannedCopiedAndDeleted_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("key");
        // clang-format off
        QTest::newRow("spaces") << "my weapons" << "big gun";
        QTest::newRow("non-ascii") << QString::fromUtf8("w\u00e4ffen") << QString::fromUtf8("gew\u00e9hr");
        QTest::newRow("wildcards") << "[set]" << "a*b?";
        QTest::newRow("leading dash") << "-x" << "-rf";
        // clang-format on
    }
    void oddNamesAreScannedCopiedAndDeleted()
    {
        QFETCH(QString, folder);
        QFETCH(QString, key);
        const std::string k = key.toStdString();
        const std::string script = folder.toStdString() + "/" + k + ".cs";
        TestTree tree;
        tree.Write("storage/" + script, "script");
        tree.Write("storage/" + folder.toStdString() + "/" + k + ".desc.txt", "Name=" + k + "\r\n");
        tree.MakeFolder("plugins");

        CPluginList list;
        QCOMPARE(list.Rescan(tree.Path("storage\\")), 1);
        const CPluginInfo& plugin = *list.GetAt(0);
        QCOMPARE(plugin.m_strSubdirectory + plugin.m_strFileName + "|" + plugin.m_strName,
                 folder.toStdString() + "\\" + k + "|" + k);
        QVERIFY(plugin.CopyFiles(tree.Path("storage\\"), tree.Path("plugins\\"), false));
        QCOMPARE(tree.Read("plugins/" + script), std::string("script"));
        QVERIFY(plugin.DeleteFiles(tree.Path("plugins\\")));
        QVERIFY(!tree.Exists("plugins/" + script) && tree.Exists("storage/" + script));
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
            QVERIFY(plugin->CopyFiles(tree.Path("storage\\"), tree.Path("plugins\\"), true));
        QVERIFY(list.Find("sniper")->DeleteFiles(tree.Path("storage\\")));
        // The folder of the vanished plug-in is not made again.
        QCOMPARE(tree.Names("plugins"), (QStringList{"blaster.cs", "blaster.z.cs"}));
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
        // Nothing there: nothing happens.
        QVERIFY(Plugin("blaster").DeleteFiles(tree.Path("plugins\\")));
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
        QCOMPARE(tree.Names("plugins"), expected);
        QCOMPARE(tree.Read("plugins/blaster.cs"), std::string("other"));

        QVERIFY(Plugin(k).DeleteFiles(tree.Path("plugins\\")));
        QCOMPARE(tree.Names("plugins"), others);
    }

    void readOnlyFoldersAreLeftAsTheyAre()
    {
        TestTree tree;
        tree.Write("storage/blaster.cs", "b");
        tree.Write("storage/w/sniper.cs", "s");
        tree.Write("plugins/old.cs", "old");
        tree.Write("plugins/lib/x.cs", "x");
        const auto readOnly = ReadOnly({tree.QPath("plugins"), tree.QPath("storage")});
        if (!PermissionsHold(tree.QPath("plugins")))
            QSKIP("this user writes into read-only folders; run the test as an ordinary user");

        // Nothing can be copied in, and the copies say so.
        QVERIFY(
            !Plugin("blaster").CopyFiles(tree.Path("storage\\"), tree.Path("plugins\\"), false));
        QVERIFY(!Plugin("sniper", "w\\")
                     .CopyFiles(tree.Path("storage\\"), tree.Path("plugins\\"), false));
        QVERIFY(!Plugin("old").DeleteFiles(tree.Path("plugins\\")));
        QCOMPARE(tree.Names("plugins"), (QStringList{"lib", "old.cs"}));

        // A tree copy into read-only storage copies what it can and reports what it could not.
        QVERIFY(!fileops::CopyTree(tree.Path("plugins\\"), tree.Path("storage\\")));
        QCOMPARE(tree.Names("storage"), (QStringList{"blaster.cs", "w"}));
        QVERIFY(!fileops::DeleteTree(tree.Path("plugins\\")));
        QCOMPARE(tree.Read("plugins/old.cs"), std::string("old"));
    }

    void loadingWithReadOnlyStorageDeletesNothing()
    {
        TestTree tree;
        tree.Write("storage/blaster.cs", "b");
        tree.Write("plugins/onlyhere.cs", "only copy");
        tree.Write("setup.pfg", "UseDirectory=TRUE\r\nPlugin=,blaster\r\n");
        const auto readOnly = ReadOnly({tree.QPath("storage")});
        if (!PermissionsHold(tree.QPath("storage")))
            QSKIP("this user writes into read-only folders; run the test as an ordinary user");
        const auto loaded = pluginconfig::LoadConfiguration(tree.Root(), tree.Path("setup.pfg"));
        QVERIFY(!loaded);
        QVERIFY(QString::fromStdString(loaded.reason()).contains("onlyhere.cs"));
        QCOMPARE(tree.Names("plugins"), QStringList{"onlyhere.cs"});
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
        QVERIFY(QFile::link(tree.QPath("real/setup.pfg"), tree.QPath("link.pfg")));

        for (const char* written : {"real/setup.pfg", "link.pfg"}) {
            const auto status =
                kfs::WriteFileAtomically(kpath::ToNative(tree.Path(written)), "new");
            QCOMPARE(status.ok(), replaced);
            QCOMPARE(tree.Read("real/setup.pfg"), std::string(replaced ? "new" : "old"));
            QCOMPARE(int(std::filesystem::status(file).permissions()), mode);
        }
        QVERIFY(std::filesystem::is_symlink(kpath::ToNative(tree.Path("link.pfg"))));
        QCOMPARE(tree.Names("real"), QStringList{"setup.pfg"});
        std::filesystem::permissions(file, std::filesystem::perms::owner_all);
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
        TestTree blocked;
        blocked.Write("storage/w", "in the way");
        blocked.Write("plugins/w/blaster.cs", "only copy");
        const auto status = pluginuse::UnusePlugin(blocked.Root(), plugin);
        QVERIFY(!status);
        QVERIFY(QString::fromStdString(status.reason()).startsWith(blocked.QPath("storage/w")));
        QCOMPARE(blocked.Read("plugins/w/blaster.cs"), std::string("only copy"));

        // A folder in storage named like a file only plugins holds is no copy of it.
        TestTree shadowed;
        shadowed.Write("storage/w/blaster.notes/keep", "");
        shadowed.Write("plugins/w/blaster.notes", "only copy");
        QVERIFY(!pluginuse::UnusePlugin(shadowed.Root(), plugin));
        QCOMPARE(shadowed.Read("plugins/w/blaster.notes"), std::string("only copy"));
    }
};

QTEST_GUILESS_MAIN(tst_FileFaults)
#include "tst_FileFaults.moc"
