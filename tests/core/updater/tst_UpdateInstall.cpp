#include "core/catalogue/CPluginList.h"
#include "core/platform/AtomicFile.h"
#include "core/updater/InstallJournal.h"
#include "res/Strings.h"
#include "support/LoopbackServer.h"
#include "support/Signing.h"
#include "support/TestTree.h"
#include "support/UpdaterTestSupport.h"

#include <filesystem>
#include <QtTest>

using namespace korvane;

using testsupport::ListOf;
using testsupport::MakeUpdate;
using Route = LoopbackServer::Route;

Q_DECLARE_METATYPE(Route)

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

// The temporary files anywhere in the tree.
QStringList Temporaries(const TestTree& tree)
{
    QStringList found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(tree.Root())) {
        if (kfs::IsTemporaryName(entry.path().filename().string()))
            found << QString::fromStdString(entry.path().string());
    }
    return found;
}

} // namespace

class tst_UpdateInstall : public QObject
{
    Q_OBJECT

private slots:
    // A stored file counts as installed by its size, whatever the letter case of its name. Whether
    // its copy in use is storage's counts too (anInstallationCutShortIsCompletedByTheNext).
    void installedStateGoesByTheSizeInAnyLetterCase()
    {
        TestTree tree;
        tree.Write("k/storage/Sniper.CS", "abc");
        const auto installed = [&tree](std::uint32_t size) {
            return ListOf(MakeUpdate("U", "STORAGE", "http://h/", {{"sniper.cs", "", size}}))
                ->IsInstalled(tree.Folder("k/"), 0);
        };
        QVERIFY(installed(3));
        QVERIFY(!installed(4));
    }

    void installPutsFilesInPlaceAndRefreshesPluginsInUse_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("subDir");
        QTest::addColumn<QString>("inUseAt"); // the plug-in's folder in use
        QTest::addColumn<QString>("installedAt");
        QTest::addColumn<bool>("copied");
        // clang-format off
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
        tree.Write(inUseAt.toStdString() + "sniper.cs", "old");
        tree.Write(installedAt.toStdString() + "sniper.cs", "old");
        LoopbackServer server;
        const auto list =
            Offer(server, target.toStdString(),
                  {{"sniper.cs", subDir.toStdString()}, {"sniper.desc.txt", subDir.toStdString()}});
        CPluginList inUse;
        inUse.Rescan(tree.Path("plugins/"));
        QVERIFY(list->InstallUpdate(0, tree.Folder(), &inUse));
        QCOMPARE(tree.Read(installedAt.toStdString() + "sniper.cs"), std::string("new"));
        QVERIFY(list->IsInstalled(tree.Folder(), 0));
        QCOMPARE(tree.Read(inUseAt.toStdString() + "sniper.cs"), copied ? "new" : "old");
        QCOMPARE(tree.Exists(inUseAt.toStdString() + "sniper.desc.txt"), copied);
        QCOMPARE(tree.Exists("plugins/sniper.cs"), inUseAt == "plugins/");
        QCOMPARE(tree.Exists("plugins/weapons"), inUseAt == "plugins/weapons/"); // none made
    }

    // Subfolders are made as needed. The server sees the list's single-byte names byte for byte,
    // each byte a URL cannot carry percent-encoded; the disk gets them as text.
    void fileUrlCarriesTheListsBytes()
    {
        TestTree tree;
        LoopbackServer server;
        const auto list = Offer(server, "mods\\", {{"caf\xE9 #1%;.cs", "d\xE9j\xE0\\b\\"}});
        server.Serve("/u/d%E9j%E0/b/caf%E9%20%231%25;.cs", "new");
        QVERIFY(list->InstallUpdate(0, tree.Folder(), nullptr));
        QCOMPARE(tree.Read("mods/d\xC3\xA9j\xC3\xA0/b/caf\xC3\xA9 #1%;.cs"), std::string("new"));
    }

    // Each of the three names from the network is checked before anything is asked for or made:
    // none may lead out of the Korvane folder, or be one by which Windows reaches a device or
    // another entry ("storage." is storage there, though the checks of storage's copies in use
    // would not see it), or reach the program's own files in any letter case or separator. The
    // rest of the folder is allowed: its file is asked for (and missing). Which names lead out or
    // change is tried on its own in tst_Path.
    void namesFromTheNetworkStayInTheirPlace_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("subDir");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("refused"); // the name the reason gives; empty: allowed
        // clang-format off
        QTest::newRow("target climbs out") << "storage/../../" << "" << "x.cs" << "storage/../../";
        QTest::newRow("subfolder climbs out") << "" << "a\\..\\..\\" << "x.cs" << "a\\..\\..\\x.cs";
        QTest::newRow("file name climbs out") << "" << "" << "..\\x.cs" << "..\\x.cs";
        QTest::newRow("target Windows reads as another") << "storage.\\" << "" << "x.cs" << "storage.\\x.cs";
        QTest::newRow("backups in capitals, deeper") << "BACKUPS/a/" << "b\\" << "x.cs" << "BACKUPS/a/b\\x.cs";
        QTest::newRow("target without its separator") << "backups" << "" << "x.cs" << "backups\\x.cs";
        QTest::newRow("backups with a dot Windows drops") << "backups.\\" << "" << "x.cs" << "backups.\\x.cs";
        QTest::newRow("a folder that starts with a dot") << "storage\\" << ".git\\" << "config" << "storage\\.git\\config";
        QTest::newRow("a target without files") << ".hidden\\" << "" << "" << ".hidden\\";
        QTest::newRow("backups below storage") << "storage\\backups\\" << "" << "x.cs" << "";
        // clang-format on
    }

    void namesFromTheNetworkStayInTheirPlace()
    {
        QFETCH(QString, target);
        QFETCH(QString, subDir);
        QFETCH(QString, file);
        QFETCH(QString, refused);
        TestTree tree;
        tree.MakeFolder("k");
        LoopbackServer server;
        std::vector<CUpdateFileInfo> files;
        if (!file.isEmpty())
            files.push_back({file.toStdString(), subDir.toStdString(), 3});
        const auto list = ListOf(MakeUpdate("U", target.toStdString(), server.Url("/u/"), files));
        const Status status = list->InstallUpdate(0, tree.Folder("k/"), nullptr);
        const QString reason = QString::fromStdString(status.reason());
        QVERIFY2(refused.isEmpty() ? reason.endsWith(": HTTP 404")
                                   : reason.startsWith("U 1.0: " + refused),
                 qPrintable(reason));
        QCOMPARE(tree.Names("") + tree.Names("k"), QStringList({"k"}));
        QCOMPARE(server.Requests().size(), refused.isEmpty() ? 1 : 0);
    }

    // Before an update replaces a file, a whole copy of it goes into a new folder of backups at
    // its path below the Korvane folder, one folder for each installation.
    void replacedFilesAreBackedUp()
    {
        TestTree tree;
        const std::string stored = "storage/weapons/sniper.cs", inUse = "plugins/weapons/sniper.cs";
        tree.Write(stored, "mine");
        tree.Write(inUse, "mine");
        LoopbackServer server;
        const auto list = Offer(server, "storage\\", {{"sniper.cs", "weapons\\"}, {"new.cs", ""}});
        CPluginList plugins;
        plugins.Rescan(tree.Path("plugins/"));
        QVERIFY(list->InstallUpdate(0, tree.Folder(), &plugins));
        QCOMPARE(tree.Read(stored) + tree.Read(inUse), "newnew");
        const QStringList first = tree.Names("backups");
        QCOMPARE(first.size(), 1);
        const std::string folder = "backups/" + first.front().toStdString() + "/";
        QCOMPARE(tree.Read(folder + stored) + tree.Read(folder + inUse), "minemine");
        QVERIFY(!tree.Exists(folder + "storage/new.cs")); // it replaced nothing
        QVERIFY(list->InstallUpdate(0, tree.Folder(), &plugins));
        QCOMPARE(tree.Names("backups").size(), 2);
        QCOMPARE(tree.Read(folder + stored), "mine");
    }

    // Under a pinned key a file is put in place only when the key signed its bytes under its own
    // name; else nothing of the update is, and the message says why. How a signature is refused
    // (none, another key) is the list's concern: both go through the same check (tst_UpdateList).
    void onlyFilesThePinnedKeySignedArePutInPlace_data()
    {
        QTest::addColumn<QByteArray>("bytes");       // what the server sends for b.cs
        QTest::addColumn<QByteArray>("signedBytes"); // b.cs's signature: of which bytes,
        QTest::addColumn<QString>("signedAs");       // under which name
        QTest::addColumn<QString>("refusal");        // the message's end; empty: installed
        // clang-format off
        QTest::newRow("each signed as itself") << QByteArray("bbb") << QByteArray("bbb") << "b.cs" << QString();
        QTest::newRow("bytes altered, same size") << QByteArray("bbc") << QByteArray("bbb") << "b.cs" << QString::fromUtf8(strings::kReasonSignatureDiffers).arg("b.cs");
        QTest::newRow("another file's bytes and signature") << QByteArray("aaa") << QByteArray("aaa") << "a.cs" << QString::fromUtf8(strings::kReasonSignedAsAnother).arg("b.cs", "a.cs");
        // clang-format on
    }

    void onlyFilesThePinnedKeySignedArePutInPlace()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, signedBytes);
        QFETCH(QString, signedAs);
        QFETCH(QString, refusal);
        TestTree tree;
        LoopbackServer server;
        const QByteArray listBytes = QByteArray::fromStdString(
            testsupport::ListBytes(*Offer(server, "storage\\", {{"a.cs", ""}, {"b.cs", ""}})));
        server.Serve("/korvane.upd", listBytes);
        server.Serve("/korvane.upd.minisig", testsupport::Signed(listBytes, "korvane.upd"));
        server.Serve("/u/a.cs", "aaa");
        server.Serve("/u/a.cs.minisig", testsupport::Signed("aaa", "a.cs"));
        server.Serve("/u/b.cs", bytes);
        server.Serve("/u/b.cs.minisig", testsupport::Signed(signedBytes, signedAs));
        CUpdateList list;
        const auto keys = MinisignKey::ListFrom(testsupport::PublicKeyLine().toStdString());
        QVERIFY(list.DownloadList(server.Url("/korvane.upd"), UpdateTrust(*keys, std::nullopt)));
        const Status status = list.InstallUpdate(0, tree.Folder(), nullptr);
        const QString reason = QString::fromStdString(status.reason());
        QVERIFY2(refusal.isEmpty() ? status.ok() : reason.endsWith(refusal), qPrintable(reason));
        QCOMPARE(tree.Read("storage/a.cs") + tree.Read("storage/b.cs"),
                 refusal.isEmpty() ? std::string("aaabbb") : std::string());
        QCOMPARE(Temporaries(tree), QStringList());
    }

    // Every file arrives before any is put in place; a failure at any stage leaves each file old,
    // takes away the folders the update made and the temporary files, and names update and file.
    // The last file's body is checked against the size the list gives it, whatever its framing.
    // How a transfer stalls or breaks is the session's concern (tst_HttpClient).
    void anUpdateIsInstalledWholeOrNotAtAll_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<Route>("last");   // how the server sends newcat\b.cs
        QTest::addColumn<QString>("file"); // the end of the message; empty: no failure
        QTest::addColumn<int>("requests"); // a file refused is not asked for, nor any after it
        const Route whole{200, "new", 3};
        const auto unannounced = [](qint64 sent, bool http10) { // "new" repeated, no length
            Route route{200, "new", sent, false};
            (http10 ? route.http10 : route.chunked) = true;
            return route;
        };
        const QString fewer = "b.cs is 2 bytes on the server, 3 in the list";
        // clang-format off
        QTest::newRow("none") << "" << whole << "" << 3;
        QTest::newRow("second file missing on the server") << "404" << whole << "a.desc.txt: HTTP 404" << 2;
        QTest::newRow("last file cut short") << "" << Route{200, "new", 2} << "newcat\\b.cs: connection lost" << 3;
        QTest::newRow("fewer bytes than listed") << "" << Route{200, "ne", 2} << fewer << 3;
        QTest::newRow("fewer bytes than listed, in chunks") << "" << unannounced(2, false) << fewer << 3;
        QTest::newRow("endless file over HTTP/1.0") << "" << unannounced(1LL << 40, true) << "b.cs is larger on the server than the 3 bytes in the list" << 3;
        QTest::newRow("copy in use write-protected") << "plugins" << whole << "a.cs: the file is write-protected" << 0;
        QTest::newRow("stored file write-protected") << "storage" << whole << "a.cs: the file is write-protected" << 0;
        QTest::newRow("a file refused while the last arrives") << "late" << whole << "a.desc.txt: it is not a file; the files already replaced hold their old version again" << 3;
        // clang-format on
    }

    void anUpdateIsInstalledWholeOrNotAtAll()
    {
        QFETCH(QString, fault);
        QFETCH(Route, last);
        QFETCH(QString, file);
        QFETCH(int, requests);
        TestTree tree;
        tree.Write("storage/a.cs", "old");
        tree.Write("plugins/a.cs", "old");
        LoopbackServer server;
        const auto list =
            Offer(server, "storage\\", {{"a.cs", ""}, {"a.desc.txt", ""}, {"b.cs", "newcat\\"}});
        server.SetRoute("/u/newcat/b.cs", last);
        if (fault == "404")
            server.SetRoute("/u/a.desc.txt", {404});
        if (fault == "plugins" || fault == "storage") // write-protected
            std::filesystem::permissions(tree.Path(fault.toStdString() + "/a.cs"),
                                         std::filesystem::perms(0444));
        const auto sabotage = [&](const CUpdateFileInfo& arriving, std::uint64_t) {
            if (fault == "late" && arriving.m_strFile == "b.cs")
                tree.MakeFolder("storage/a.desc.txt");
        };
        CPluginList inUse;
        inUse.Rescan(tree.Path("plugins/"));
        const Status status = list->InstallUpdate(0, tree.Folder(), &inUse, sabotage);
        QCOMPARE(status.ok(), file.isEmpty());
        const QString reason = QString::fromStdString(status.reason());
        QVERIFY2(status.ok() || (reason.startsWith("Update 1.0") && reason.endsWith(file)),
                 qPrintable(reason));
        const std::string a = file.isEmpty() ? "new" : "old";
        QCOMPARE(tree.Read("storage/a.cs") + tree.Read("plugins/a.cs"), a + a);
        QCOMPARE(tree.Read("plugins/a.desc.txt") + tree.Read("storage/newcat/b.cs"),
                 file.isEmpty() ? std::string("newnew") : std::string());
        QCOMPARE(tree.Exists("storage/newcat"), file.isEmpty());
        QCOMPARE(Temporaries(tree), QStringList());
        QCOMPARE(server.Requests().size(), requests);
    }

    // An installation cut short after refreshing a copy in use and before replacing storage's
    // file leaves the copy new beside storage's old file. The next installation completes it, also
    // when the server's file has changed since; a copy the player changed is still kept.
    void anInstallationCutShortIsCompletedByTheNext_data()
    {
        QTest::addColumn<QString>("inUse");
        QTest::addColumn<QString>("journal"); // the bytes the cut-short installation put in use
        QTest::addColumn<QString>("inUseAfter");
        // clang-format off
        QTest::newRow("copy in use new, no journal") << "new" << "" << "new";
        QTest::newRow("server changed the file since") << "mid" << "mid" << "new";
        QTest::newRow("player changed the copy since") << "own" << "mid" << "own";
        // clang-format on
    }

    void anInstallationCutShortIsCompletedByTheNext()
    {
        QFETCH(QString, inUse);
        QFETCH(QString, journal);
        QFETCH(QString, inUseAfter);
        TestTree tree;
        tree.Write("storage/a.cs", "old");
        tree.Write("plugins/a.cs", journal.toStdString());
        if (!journal.isEmpty()) {
            InstallJournal cutShort(tree.Folder());
            cutShort.Note(tree.Path("plugins/a.cs"),
                          InstallJournal::Digest(tree.Path("plugins/a.cs")));
            QVERIFY(cutShort.Record());
        }
        tree.Write("plugins/a.cs", inUse.toStdString());
        LoopbackServer server;
        const auto list = Offer(server, "storage\\", {{"a.cs", ""}});
        CPluginList plugins;
        plugins.Rescan(tree.Path("plugins/"));
        const Status status = list->InstallUpdate(0, tree.Folder(), &plugins);
        QCOMPARE(status.ok(), inUseAfter == "new");
        QVERIFY(
            status.ok() ||
            QString::fromStdString(status.reason()).replace('\\', '/').contains("plugins/a.cs"));
        QCOMPARE(tree.Read("storage/a.cs") + tree.Read("plugins/a.cs"),
                 "new" + inUseAfter.toStdString());
        QCOMPARE(list->IsInstalled(tree.Folder(), 0, &plugins), status.ok());
        // The journal goes once the update is in place.
        QVERIFY(!tree.Exists("backups/updates-in-progress.txt"));
    }
};

QTEST_GUILESS_MAIN(tst_UpdateInstall)
#include "tst_UpdateInstall.moc"
