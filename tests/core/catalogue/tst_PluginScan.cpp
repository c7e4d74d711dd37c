#include "core/catalogue/CPluginList.h"
#include "core/catalogue/KeyIndex.h"
#include "core/catalogue/StorageSync.h"
#include "core/platform/FailureList.h"
#include "core/platform/KPath.h"
#include "support/CatalogueTestSupport.h"
#include "support/TestTree.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <QtTest>
#include <vector>

using namespace korvane;

using storagesync::StorageState;
using testsupport::Keys;

class tst_PluginScan : public QObject
{
    Q_OBJECT

private slots:
    // The scan's index of keys on its own, however many keys it grows to hold. A key's second
    // record, in any letter case, is a twin the index passes over; letters beyond A to Z are told
    // apart by case, as the scan's file names are. A record whose key was changed in place is not
    // found under its old key, and the caller is told so.
    void theFirstRecordOfEachKeyIsFoundInAnyLetterCase()
    {
        std::vector<std::unique_ptr<CPluginInfo>> plugins;
        KeyIndex index;
        const auto insert = [&](const std::string& key) {
            plugins.push_back(std::make_unique<CPluginInfo>(key, key, "Unknown"));
            return index.Insert(plugins.back().get());
        };
        // Enough keys to grow the table from its first size several times.
        for (int i = 0; i < 1000; ++i)
            QVERIFY(insert("Key" + std::to_string(i)));
        QVERIFY(!insert("KEY7"));
        QVERIFY(insert("caf\xc3\xa9") && insert("CAF\xc3\x89"));
        for (int i = 0; i < 1000; ++i)
            QCOMPARE(index.Find("kEY" + std::to_string(i)), plugins[i].get());
        QCOMPARE(index.Find("CAF\xc3\xa9"), plugins[1001].get()); // plugins[1000] is KEY7
        QCOMPARE(index.Find("caf\xc3\x89"), plugins[1002].get());

        KeyIndex::Match match = KeyIndex::Match::Found;
        QCOMPARE(index.Find("key1000", &match), nullptr);
        QCOMPARE(match, KeyIndex::Match::None);
        plugins[3]->m_strFileName = "renamed";
        QCOMPARE(index.Find("key3", &match), nullptr);
        QCOMPARE(match, KeyIndex::Match::Changed);
    }

    // Scripts are files named *.cs, but for the modification's own; a real folder named like a
    // script is entered, never listed. A key is the name before the first dot, and the first
    // script of a key in case-insensitive order of names, folders included, is the plug-in.
    void onlyPluginScriptsAreListedOncePerKey()
    {
        TestTree tree;
        for (const char* file :
             {"plain.cs", "CAPITAL.CS", "backup.cs.bak", "other.csx", "Korvane.cs", "KORVANE.CS",
              "korvane.weapons.cs", "korvanemenu.cs", "described.desc.txt", "odd.cs/inner.cs",
              "blaster.cs", "blaster.heavy.cs", "weapons/BLASTER.cs", "weapons/plasma.cs"})
            tree.Write(std::string("in/") + file, "// script");
        CPluginList list;
        QCOMPARE(list.Rescan(tree.Path("in\\")), 6);
        QCOMPARE(Keys(list), (QStringList{"blaster", "CAPITAL", "korvanemenu", "odd.cs\\inner",
                                          "plain", "weapons\\plasma"}));
        QCOMPARE(list.Find("Plasma")->m_strSubdirectory, std::string("weapons\\"));
        QCOMPARE(list.Find("nothing"), nullptr);
        // A missing or empty folder empties the list.
        tree.MakeFolder("empty");
        for (const char* folder : {"empty\\", "absent\\"}) {
            QCOMPARE(list.Rescan(tree.Path(folder)), 0);
            QCOMPARE(list.GetSize(), 0);
            list.Rescan(tree.Path("in\\"));
        }
    }

    // A link named like a script is one when it leads to a file; a link to a folder is not
    // entered, and one that leads nowhere is nothing.
    void linksToFilesAreScripts()
    {
        TestTree tree;
        tree.Write("elsewhere/real.cs", "");
        tree.Write("elsewhere/folder/inside.cs", "");
        tree.MakeFolder("in");
        for (const auto& [target, link] : {std::pair{"elsewhere/folder", "in/folderlink.cs"},
                                           std::pair{"elsewhere/real.cs", "in/filelink.cs"},
                                           std::pair{"elsewhere/gone.cs", "in/dangling.cs"}})
            QVERIFY(QFile::link(tree.QPath(target), tree.QPath(link)));
        CPluginList list;
        list.Rescan(tree.Path("in\\"));
        QCOMPARE(Keys(list), QStringList{"filelink"});
    }

    // A key names the plug-in's files and configuration lines, and the plug-in wherever it is
    // printed or typed: a script whose key is empty (it would name every file that starts with a
    // dot) or holds a control character is no plug-in, for the scan and the configuration reader
    // alike. Single-byte Windows names and names a shell would expand are plug-ins as any other.
    void aScriptWithoutAUsableKeyIsNoPlugin()
    {
        TestTree tree;
        for (const char* name :
             {".tmp.cs", ".cs", "tab\there.cs", "line\nbreak.cs", "esc\x1b[2J.cs", "del\x7f.cs",
              "nel\xc2\x85.cs", "osc\x9d.cs", "caf\xe9.cs", "\x80uro.cs", "$(touch x).cs"})
            tree.Write(std::string("storage/") + name, "");
        CPluginList list;
        list.Rescan(tree.Path("storage\\"));
        QByteArrayList keys;
        for (const auto& plugin : list.m_arrPlugins)
            keys << QByteArray::fromStdString(plugin->m_strFileName);
        QCOMPARE(keys, (QByteArrayList{"$(touch x)", "caf\xe9", "\x80uro"}));

        CPluginList configured;
        const auto missing = configured.ReadConfigText(
            "UseDirectory=TRUE\nPlugin=,\nPlugin=,tab\there\nPlugin=,caf\xe9\n",
            tree.Folder("storage\\"));
        QCOMPARE(configured.GetSize(), 1);
        QCOMPARE(missing, (std::vector<std::string>{"", "tab\there"}));
    }

    void theDescriptionComesFromBesideTheScriptWhateverItsCase()
    {
        TestTree tree;
        tree.Write("weapons/heavy/blaster.cs", "");
        tree.Write("weapons/heavy/Blaster.DESC.TXT", "Name=Big Blaster\r\n");
        tree.Write("weapons/blaster.desc.txt", "Name=Wrong folder\r\n");
        tree.Write("weapons/heavy/plasma.heavy.cs", "");
        tree.Write("weapons/heavy/plasma.heavy.desc.txt", "Name=Not the key's file\r\n");
        CPluginList list;
        list.Rescan(tree.Root());
        QCOMPARE(list.Find("blaster")->m_strName, std::string("Big Blaster"));
        // Without a description file of its own, a plug-in gets the defaults.
        const CPluginInfo& plasma = *list.Find("plasma");
        QCOMPARE(plasma.m_strName + plasma.m_strAuthor, std::string("plasma") + "Unknown");
    }

    // A folder or script under a name the program's paths cannot keep is reported as unreadable
    // and passed over, never followed. On Linux a backslash reads as folders: "..\storage" led
    // back up for seconds, "..\..\outside" out of the Korvane folder; a device's name is a name
    // there. On Windows a file named con waits on the keyboard when opened (the scan would read
    // con.desc.txt), and "weapons." is the folder weapons.
    void namesThePathsCannotKeepAreReportedNotFollowed()
    {
        TestTree tree;
        tree.Write("k/storage/weapons/sniper.cs", "s");
        tree.Write("k/outside/evil.cs", "e");
        const std::filesystem::path storage = kpath::ToNative(tree.Path("k/storage/"));
#ifdef Q_OS_WIN
        // Only the prefix that takes a name as given makes such entries.
        const std::wstring exact = L"\\\\?\\" + storage.native();
        QVERIFY(std::filesystem::create_directory(exact + L"weapons."));
        std::ofstream(std::filesystem::path(exact + L"weapons.\\plasma.cs")) << "p";
        std::ofstream(std::filesystem::path(exact + L"con.cs")) << "c";
        std::ofstream(std::filesystem::path(exact + L"con.desc.txt")) << "Name=Console";
        const QStringList passedOver = {"con.cs", "weapons."};
        const QStringList listed = {"weapons\\sniper"};
#else
        for (const char* folder : {"..\\storage", "..\\..\\outside"})
            QVERIFY(std::filesystem::create_directory(storage / folder));
        std::ofstream(storage / "weapons\\plasma.cs") << "p";
        std::ofstream(storage / "con.cs") << "c";
        const QStringList passedOver = {"..\\..\\outside", "..\\storage", "weapons\\plasma.cs"};
        const QStringList listed = {"con", "weapons\\sniper"};
#endif
        QElapsedTimer timer;
        timer.start();
        CPluginList catalogue, inUse;
        const auto synced = storagesync::Synchronise(tree.Folder("k/"), false, catalogue, inUse);
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(Keys(catalogue), listed);
        const QString reason = QString::fromStdString(synced.unreadable.reason());
        for (const QString& name : passedOver)
            QVERIFY2(reason.contains(
                         QString::fromStdString(kpath::FromNative(storage / name.toStdString()) +
                                                ": " + kpath::UnstorableReason())),
                     qPrintable(reason));
        QCOMPARE(reason.count(kpath::UnstorableReason()), passedOver.size());
#ifdef Q_OS_WIN
        // One by one: MinGW's directory reading takes no such prefix.
        for (const wchar_t* made :
             {L"con.cs", L"con.desc.txt", L"weapons.\\plasma.cs", L"weapons."})
            std::filesystem::remove(exact + made);
#endif
    }

    // Storage made or refreshed from the plugins folder; the window's tests cover creation,
    // refresh and the missing-folder cases through the window.
    void pluginInUseThatStorageLacksBringsOnlyItsOwnFiles()
    {
        TestTree tree;
        tree.Write("k/storage/plasma.cs", "p");
        tree.Write("k/plugins/weapons/sniper.cs", "s");
        tree.Write("k/plugins/weapons/sniper.desc.txt", "Name=Sniper\r\n");
        tree.Write("k/plugins/weapons/notes.txt", "not the plug-in's");
        CPluginList catalogue, inUse;
        QCOMPARE(storagesync::Synchronise(tree.Folder("k/"), false, catalogue, inUse).outcome,
                 storagesync::Outcome::Ready);
        QVERIFY(tree.Exists("k/storage/weapons/sniper.desc.txt"));
        QVERIFY(!tree.Exists("k/storage/weapons/notes.txt"));
        QCOMPARE(catalogue.GetSize(), 2);
        QCOMPARE(catalogue.Find("sniper")->m_strName, std::string("Sniper"));
    }

    // A file named storage is left alone, and cannot take the plug-ins; a folder in another
    // letter case is the storage folder.
    void existingStorageIsTakenAsItIs()
    {
        TestTree tree;
        tree.Write("a/storage", "a file");
        tree.Write("a/plugins/blaster.cs", "b");
        tree.Write("b/Storage/blaster.cs", "b");
        tree.Write("b/plugins/sniper.cs", "s");
        FailureList failures, none;
        QCOMPARE(storagesync::PrepareStorage(tree.Folder("a/"), true, failures),
                 StorageState::Existing);
        QCOMPARE(tree.Read("a/storage"), std::string("a file"));
        QVERIFY(!failures.empty());
        QCOMPARE(storagesync::PrepareStorage(tree.Folder("b/"), true, none),
                 StorageState::Existing);
        QVERIFY(tree.Exists("b/Storage/sniper.cs"));
        QCOMPARE(tree.Names("b"), (QStringList{"Storage", "plugins"}));
        QVERIFY(none.empty());
    }

    // Storage that cannot take a plug-in in use is reported, once, whether or not storage is
    // refreshed; the plug-in stays in use.
    void whatStorageCannotTakeIsReported_data()
    {
        QTest::addColumn<bool>("refresh");
        QTest::newRow("refreshed") << true;
        QTest::newRow("in use only") << false;
    }
    void whatStorageCannotTakeIsReported()
    {
        QFETCH(bool, refresh);
        TestTree tree;
        tree.Write("k/storage/weapons", "a file where a folder should be");
        tree.Write("k/plugins/weapons/sniper.cs", "s");
        CPluginList catalogue, inUse;
        const auto synced = storagesync::Synchronise(tree.Folder("k/"), refresh, catalogue, inUse);
        QCOMPARE(synced.outcome, storagesync::Outcome::Ready);
        const QString reason = QString::fromStdString(synced.copies.reason());
        QCOMPARE(reason.count(QDir::toNativeSeparators("weapons/")), 1);
        QVERIFY2(reason.endsWith(": Not a directory"), qPrintable(reason));
        QCOMPARE(tree.Read("k/plugins/weapons/sniper.cs"), std::string("s"));
        QCOMPARE(inUse.GetSize(), 1);
    }
};

QTEST_GUILESS_MAIN(tst_PluginScan)
#include "tst_PluginScan.moc"
