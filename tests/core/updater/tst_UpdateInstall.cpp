#include "core/catalogue/CPluginList.h"
#include "core/updater/CreatePath.h"
#include "support/LoopbackServer.h"
#include "support/TestTree.h"
#include "support/UpdaterTestSupport.h"

#include <filesystem>
#include <future>
#include <latch>
#include <QtTest>

using namespace korvane;

using testsupport::ListOf;
using testsupport::MakeUpdate;

namespace {

// A list with one update of these files, each served under /u/ with the content "new".
std::shared_ptr<CUpdateList> Offer(LoopbackServer& server, const std::string& target,
                                   std::vector<CUpdateFileInfo> files)
{
    for (CUpdateFileInfo& file : files) {
        file.m_dwSize = 3;
        const std::string path = "/u/" + file.m_strSubDir + file.m_strFile;
        server.Serve(QByteArray::fromStdString(path).replace('\\', '/'), "new");
    }
    return testsupport::ListOf(MakeUpdate("Update", target, server.Url("/u/"), files));
}

} // namespace

class tst_UpdateInstall : public QObject
{
    Q_OBJECT

private slots:
    void installedStateComparesPresenceAndSize_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("onDisk"); // where a 3-byte file lies, if anywhere
        QTest::addColumn<int>("listedSize"); // -1: the update has no files
        QTest::addColumn<bool>("installed");
        // clang-format off
        QTest::newRow("file with its size") << "storage\\" << "storage/sniper.cs" << 3 << true;
        QTest::newRow("file missing") << "storage\\" << "" << 3 << false;
        QTest::newRow("file of another size") << "storage\\" << "storage/sniper.cs" << 4 << false;
        QTest::newRow("update without files") << "storage\\" << "" << -1 << true;
        QTest::newRow("names in another letter case") << "STORAGE" << "storage/Sniper.CS" << 3 << true;
        // clang-format on
    }

    void installedStateComparesPresenceAndSize()
    {
        QFETCH(QString, target);
        QFETCH(QString, onDisk);
        QFETCH(int, listedSize);
        QFETCH(bool, installed);
        TestTree tree;
        tree.MakeFolder("k");
        if (!onDisk.isEmpty())
            tree.Write("k/" + onDisk.toStdString(), "abc");
        std::vector<CUpdateFileInfo> files;
        if (listedSize >= 0)
            files.push_back({"sniper.cs", "", std::uint32_t(listedSize)});
        const auto list = ListOf(MakeUpdate("U", target.toStdString(), "http://h/", files));
        QCOMPARE(list->IsInstalled(tree.Path("k/"), 0), installed);
    }

    void installPutsFilesInPlaceAndRefreshesPluginsInUse_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("subDir");
        QTest::addColumn<QString>("inUseAt"); // the plug-in's folder, if it is in use
        QTest::addColumn<QString>("installedAt");
        QTest::addColumn<bool>("copied");
        // clang-format off
        QTest::newRow("storage, in use") << "storage\\" << "" << "plugins/" << "storage/" << true;
        QTest::newRow("storage, not in use") << "storage\\" << "" << "" << "storage/" << false;
        QTest::newRow("folder outside storage") << "own\\" << "" << "plugins/" << "own/" << false;
        QTest::newRow("storage named by the subfolder") << "" << "storage\\extra\\" << "plugins/extra/" << "storage/extra/" << true;
        QTest::newRow("storage subfolder, present in plugins") << "storage\\weapons\\" << "" << "plugins/weapons/" << "storage/weapons/" << true;
        QTest::newRow("storage subfolder, missing in plugins") << "storage\\weapons\\" << "" << "plugins/" << "storage/weapons/" << false;
        // clang-format on
    }

    void installPutsFilesInPlaceAndRefreshesPluginsInUse()
    {
        QFETCH(QString, target);
        QFETCH(QString, subDir);
        QFETCH(QString, inUseAt);
        QFETCH(QString, installedAt);
        QFETCH(bool, copied);
        TestTree tree;
        tree.MakeFolder("plugins");
        if (!inUseAt.isEmpty()) {
            tree.Write(inUseAt.toStdString() + "sniper.cs", "old");
            tree.Write(installedAt.toStdString() + "sniper.cs", "old");
        }
        LoopbackServer server;
        const auto list =
            Offer(server, target.toStdString(),
                  {{"sniper.cs", subDir.toStdString()}, {"sniper.desc.txt", subDir.toStdString()}});
        CPluginList inUse;
        inUse.Rescan(tree.Path("plugins/"));
        QVERIFY(list->InstallUpdate(0, tree.Root(), &inUse));
        QCOMPARE(tree.Read(installedAt.toStdString() + "sniper.cs"), std::string("new"));
        QVERIFY(list->IsInstalled(tree.Root(), 0));
        if (!inUseAt.isEmpty())
            QCOMPARE(tree.Read(inUseAt.toStdString() + "sniper.cs"),
                     std::string(copied ? "new" : "old"));
        QCOMPARE(tree.Exists(inUseAt.toStdString() + "sniper.desc.txt"), copied);
        QCOMPARE(tree.Exists("plugins/sniper.cs"), inUseAt == "plugins/");
        QCOMPARE(tree.Exists("plugins/weapons"), inUseAt == "plugins/weapons/"); // none made
    }

    // A file is replaced only where the player's copy is not lost and its mode allows it; the
    // replacement keeps the mode. Storage takes the update wherever it can.
    void installRespectsTheFilesItReplaces_data()
    {
        QTest::addColumn<QString>("stored"); // storage's copy before; empty: none
        QTest::addColumn<int>("storedMode");
        QTest::addColumn<QString>("inUse");
        QTest::addColumn<int>("inUseMode");
        QTest::addColumn<QString>("storedAfter");
        QTest::addColumn<QString>("inUseAfter");
        // clang-format off
        QTest::newRow("modes kept") << "old" << 0750 << "old" << 0604 << "new" << "new";
        QTest::newRow("copy in use edited") << "old" << 0644 << "edit" << 0644 << "new" << "edit";
        QTest::newRow("copy in use already new") << "old" << 0644 << "new" << 0644 << "new" << "new";
        QTest::newRow("copy in use, none stored") << "" << 0644 << "old" << 0644 << "new" << "old";
        QTest::newRow("copy in use read-only") << "old" << 0644 << "old" << 0444 << "new" << "old";
        QTest::newRow("stored file read-only") << "old" << 0444 << "old" << 0644 << "old" << "old";
        // clang-format on
    }

    void installRespectsTheFilesItReplaces()
    {
        QFETCH(QString, stored);
        QFETCH(int, storedMode);
        QFETCH(QString, inUse);
        QFETCH(int, inUseMode);
        QFETCH(QString, storedAfter);
        QFETCH(QString, inUseAfter);
        TestTree tree;
        const auto setFile = [&tree](const char* rel, const QString& bytes, int mode) {
            tree.Write(rel, bytes.toStdString());
            std::filesystem::permissions(tree.Path(rel), std::filesystem::perms(mode));
        };
        if (!stored.isEmpty())
            setFile("storage/sniper.cs", stored, storedMode);
        setFile("plugins/sniper.cs", inUse, inUseMode);
        LoopbackServer server;
        const auto list = Offer(server, "storage\\", {{"sniper.cs", ""}});
        CPluginList plugins;
        plugins.Rescan(tree.Path("plugins/"));
        const Status status = list->InstallUpdate(0, tree.Root(), &plugins);
        QCOMPARE(status.ok(), storedAfter == "new" && inUseAfter == "new");
        QVERIFY(status.ok() || QString::fromStdString(status.reason()).contains("sniper.cs"));
        QCOMPARE(tree.Read("storage/sniper.cs"), storedAfter.toStdString());
        QCOMPARE(tree.Read("plugins/sniper.cs"), inUseAfter.toStdString());
        const auto mode = [&tree](const char* rel) {
            return int(std::filesystem::status(tree.Path(rel)).permissions());
        };
        QCOMPARE(mode("plugins/sniper.cs"), inUseMode);
        if (!stored.isEmpty())
            QCOMPARE(mode("storage/sniper.cs"), storedMode);
    }

    // Subfolders are made as needed. The server sees the list's single-byte names byte for byte,
    // each byte a URL cannot carry percent-encoded; the disk gets them as text.
    void fileUrlCarriesTheListsBytes()
    {
        TestTree tree;
        LoopbackServer server;
        const auto list = Offer(server, "mods\\", {{"caf\xE9 #1%?.cs", "d\xE9j\xE0\\b\\"}});
        server.Serve("/u/d%E9j%E0/b/caf%E9%20%231%25%3F.cs", "new");
        QVERIFY(list->InstallUpdate(0, tree.Root(), nullptr));
        QCOMPARE(tree.Read("mods/d\xC3\xA9j\xC3\xA0/b/caf\xC3\xA9 #1%?.cs"), std::string("new"));
    }

    // Another installation may create the same folder at the same moment.
    void foldersThatTwoInstallationsCreateAtOnceAreNoFailure()
    {
        constexpr int kInstallations = 4;
        for (int round = 0; round < 200; ++round) {
            TestTree tree;
            std::latch start(kInstallations);
            std::vector<std::future<bool>> results;
            for (int i = 0; i < kInstallations; ++i) {
                results.push_back(std::async(std::launch::async, [&tree, &start] {
                    start.arrive_and_wait();
                    return CreatePath(tree.Root(), "storage\\new\\deep\\");
                }));
            }
            for (auto& result : results)
                QVERIFY(result.get());
            QVERIFY(tree.Exists("storage/new/deep"));
        }
    }

    void filesFromTheNetworkNeverLeaveTheKorvaneFolder_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("subDir");
        QTest::addColumn<QString>("file");
        // clang-format off
        QTest::newRow("target climbs out") << "storage/../../" << "" << "x.cs";
        QTest::newRow("absolute target") << "<outside>" << "" << "x.cs";
        QTest::newRow("drive letter target") << "C:\\evil\\" << "" << "x.cs";
        QTest::newRow("subfolder climbs out") << "" << "a\\..\\..\\" << "x.cs";
        QTest::newRow("absolute subfolder") << "" << "<outside>" << "x.cs";
        QTest::newRow("file name climbs out") << "" << "" << "..\\x.cs";
        QTest::newRow("file name with a slash") << "" << "" << "../x.cs";
        QTest::newRow("file name of the parent") << "" << "" << "..";
        QTest::newRow("file name with a drive") << "" << "" << "c:x.cs";
        // clang-format on
    }

    void filesFromTheNetworkNeverLeaveTheKorvaneFolder()
    {
        QFETCH(QString, target);
        QFETCH(QString, subDir);
        QFETCH(QString, file);
        TestTree tree;
        tree.MakeFolder("k");
        const QString outside = QString::fromStdString(tree.Path("outside/"));
        LoopbackServer server;
        const auto list = ListOf(MakeUpdate(
            "U", target.replace("<outside>", outside).toStdString(), server.Url("/u/"),
            {{file.toStdString(), subDir.replace("<outside>", outside).toStdString(), 7}}));
        QVERIFY(!list->InstallUpdate(0, tree.Path("k/"), nullptr));
        QCOMPARE(tree.Names("") + tree.Names("k"), QStringList({"k"}));
        QVERIFY(server.Requests().isEmpty());
    }

    void skippedFileFailsTheUpdate_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("a file blocks the subfolder") << "storage/sub";
        QTest::newRow("a folder stands where the file goes") << "storage/sub/second.cs/";
    }

    void skippedFileFailsTheUpdate()
    {
        QFETCH(QString, obstacle);
        TestTree tree;
        LoopbackServer server;
        const auto list = Offer(server, "storage\\", {{"first.cs", ""}, {"second.cs", "sub\\"}});
        if (obstacle.endsWith('/'))
            tree.MakeFolder(obstacle.toStdString());
        else
            tree.Write(obstacle.toStdString(), "in the way");
        QVERIFY(!list->InstallUpdate(0, tree.Root(), nullptr));
        QCOMPARE(tree.Read("storage/first.cs"), std::string("new"));
        QVERIFY(!list->InstallUpdate(0, tree.Path("missing/"), nullptr)); // no Korvane folder
    }
};

QTEST_GUILESS_MAIN(tst_UpdateInstall)
#include "tst_UpdateInstall.moc"
