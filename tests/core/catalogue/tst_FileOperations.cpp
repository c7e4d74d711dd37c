// Which files are a key's, and how copying and deleting them meet the folders players have: odd
// names, folders that are not there or are files, links. Nothing may touch
// what is not the key's, and a file in use goes only when storage holds the same bytes.
#include "core/catalogue/CPluginList.h"
#include "core/catalogue/PluginUse.h"
#include "core/catalogue/TreeCopy.h"
#include "support/CatalogueTestSupport.h"
#include "support/TestTree.h"

#include <filesystem>
#include <fstream>
#include <QtTest>

using namespace korvane;

using testsupport::CopyIn;
using testsupport::Plugin;

class tst_FileOperations : public QObject
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
        QVERIFY(fileops::CopyTree(korvane::Path(tree.Path("plugins\\")),
                                  korvane::Path(tree.Path("storage\\"))));
        QCOMPARE(tree.Read("storage/a.cs"), std::string("storage"));
        QCOMPARE(tree.Read("storage/new.cs"), std::string("plugins")); // though read-only
        QCOMPARE(tree.Read("storage/x/y/b.cs"), std::string("plugins"));
        // A folder that storage has in another letter case is filled, not doubled; no temporary
        // file is left behind.
        QCOMPARE(tree.Read("storage/x2/c.cs"), std::string("plugins"));
        QCOMPARE(tree.Names("storage"), (QStringList{"a.cs", "new.cs", "x", "x2"}));

#ifdef Q_OS_WIN
        // Windows deletes no read-only file: the deletion stops there, naming it.
        const Status kept = fileops::DeleteTree(korvane::Path(tree.Path("plugins\\")));
        QVERIFY(QString::fromStdString(kept.reason()).contains(tree.QPath("plugins/new.cs")));
        QCOMPARE(tree.Read("plugins/new.cs"), std::string("plugins"));
        QFile::setPermissions(tree.QPath("plugins/new.cs"), QFile::ReadOwner | QFile::WriteOwner);
#endif
        // Deleting empties the folder and keeps it; a link inside is removed, never followed.
        tree.Write("outside/keep.cs", "keep");
        QVERIFY(QFile::link(tree.QPath("outside"), tree.QPath("plugins/link")));
        QVERIFY(fileops::DeleteTree(korvane::Path(tree.Path("plugins\\"))));
        QCOMPARE(tree.Names("plugins"), QStringList{});
        QCOMPARE(tree.Read("outside/keep.cs"), std::string("keep"));
    }

#ifdef Q_OS_WIN
    // A file that only the prefix taking names as given reaches (con.cs reads from the keyboard
    // by its path) is named by a copy of the tree and neither copied nor deleted.
    void aTreeCopyNamesWhatWindowsCannotReachByItsName()
    {
        TestTree tree;
        tree.Write("plugins/a.cs", "a");
        tree.MakeFolder("storage");
        const std::wstring con = L"\\\\?\\" + kpath::ToNative(tree.Path("plugins/con.cs")).native();
        std::ofstream(std::filesystem::path(con)) << "c";
        const Status copied = fileops::CopyTree(korvane::Path(tree.Path("plugins\\")),
                                                korvane::Path(tree.Path("storage\\")));
        QCOMPARE(QString::fromStdString(copied.reason()),
                 tree.QPath("plugins/con.cs: ") + kpath::UnstorableReason());
        QCOMPARE(tree.Names("storage"), QStringList{"a.cs"});
        QVERIFY(fileops::DeleteTree(korvane::Path(tree.Path("plugins\\"))));
        QCOMPARE(tree.Names("plugins"), QStringList{"con.cs"});
        std::filesystem::remove(std::filesystem::path(con));
    }
#endif

    // Names the shell or a pattern would read otherwise are scanned, copied and deleted as plain
    // names, touching no other plug-in's files.
    void oddNamesAreTheirOwnFilesOnly_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("key");
        // clang-format off
        QTest::newRow("spaces, dashes, beyond ASCII") << QString::fromUtf8("-my w\u00e4ffen") << QString::fromUtf8("-rf gew\u00e9hr");
        QTest::newRow("star") << "[set]" << "*";
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

    // A copy makes every missing level of the plug-in's subfolder, taking a level that is there in
    // another letter case, and replaces no file where a folder should be.
    void aCopyMakesTheMissingSubfoldersAndReplacesNoFile()
    {
        TestTree tree;
        tree.Write("storage/blaster.cs", "a");
        tree.Write("storage/w/sniper.cs", "b");
        tree.Write("storage/x/heavy/deep/cannon.cs", "c");
        tree.MakeFolder("plugins/X");
        QVERIFY(CopyIn(tree, Plugin("cannon", "x\\heavy\\deep\\")));
        QCOMPARE(tree.Names("plugins"), QStringList{"X"});
        QCOMPARE(tree.Names("plugins/X/heavy/deep"), QStringList{"cannon.cs"});
        tree.Write("plugins/w", "file in the way");
        QVERIFY(!CopyIn(tree, Plugin("sniper", "w\\")));
        QCOMPARE(tree.Read("plugins/w"), std::string("file in the way"));
        // A file where the destination folder should be takes nothing.
        QVERIFY(!fileops::CopyTree(korvane::Path(tree.Path("plugins\\")),
                                   korvane::Path(tree.Path("storage\\blaster.cs\\"))));
        QCOMPARE(tree.Read("storage/blaster.cs"), std::string("a"));
    }

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
            const auto status = pluginuse::UnusePlugin(tree.Folder(root), Plugin("blaster", ""));
            QVERIFY(QString::fromStdString(status.reason()).endsWith("through a link"));
            QVERIFY(!fileops::CopyTree(korvane::Path(tree.Path(root + "plugins/")),
                                       korvane::Path(tree.Path(root + "storage/")),
                                       fileops::Existing::MustMatch));
            QCOMPARE(tree.Read(root + "storage/blaster.cs"), std::string("only copy"));
        }
        tree.Write("c/storage/blaster.cs", "only copy");
        tree.MakeFolder("c/plugins");
        QFile::link(tree.QPath("c/storage/blaster.cs"), tree.QPath("c/plugins/blaster.cs"));
        QVERIFY(pluginuse::UnusePlugin(tree.Folder("c/"), Plugin("blaster", "")));
        QCOMPARE(tree.Names("c/plugins"), QStringList());
        QCOMPARE(tree.Read("c/storage/blaster.cs"), std::string("only copy"));
    }

    // Taking out of use deletes a copy in use only once storage holds the same bytes (a copy that
    // differs is refused: tst_SettleCopies), and secures first what storage lacks.
    void takingOutOfUseSecuresWhatStorageLacksFirst()
    {
        TestTree tree;
        tree.Write("storage/w/BLASTER.cs", "stored");
        tree.Write("plugins/w/blaster.cs", "stored");
        tree.Write("plugins/w/blaster.notes", "only copy");
        const CPluginInfo plugin = Plugin("blaster", "w\\");
        QVERIFY(pluginuse::UnusePlugin(tree.Folder(), plugin));
        QCOMPARE(tree.Names("plugins/w"), QStringList{});
        QCOMPARE(tree.Read("storage/w/blaster.notes"), std::string("only copy"));

        // Storage's subfolder is taken by a file: nothing can be secured, so nothing goes.
        tree.Write("storage/v", "in the way");
        tree.Write("plugins/v/blaster.cs", "only copy");
        const auto status = pluginuse::UnusePlugin(tree.Folder(), Plugin("blaster", "v\\"));
        QVERIFY(QString::fromStdString(status.reason()).startsWith(tree.QPath("storage/v")));
        QCOMPARE(tree.Read("plugins/v/blaster.cs"), std::string("only copy"));

        // A folder in storage named like a file only plugins holds is no copy of it.
        tree.Write("storage/w/blaster.notes.txt/keep", "");
        tree.Write("plugins/w/blaster.notes.txt", "only copy");
        QVERIFY(!pluginuse::UnusePlugin(tree.Folder(), plugin));
        QCOMPARE(tree.Read("plugins/w/blaster.notes.txt"), std::string("only copy"));
    }
};

QTEST_GUILESS_MAIN(tst_FileOperations)
#include "tst_FileOperations.moc"
