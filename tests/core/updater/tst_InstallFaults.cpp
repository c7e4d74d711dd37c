// An installation that a misbehaving server breaks off part-way loses nothing: every file that
// was in the Korvane folder before is either as it was or replaced whole by its new version, and
// no half file or temporary file is left behind.
#include "core/catalogue/CPluginList.h"
#include "support/InstallFixture.h"

#include <QtTest>

using namespace korvane;

using testsupport::Contents;
using testsupport::Offer;

Q_DECLARE_METATYPE(LoopbackServer::Route)

class tst_InstallFaults : public QObject
{
    Q_OBJECT

private slots:
    // After an Internet error the later files are not tried; after a refused file they are.
    void failedInstallLosesNoFile_data()
    {
        const QByteArray body(200000, 'b');
        const qint64 half = body.size() / 2;
        const auto sizes = [](const char* server) {
            return QString("second.cs is %1 bytes on the server, 200000 in the list").arg(server);
        };
        QTest::addColumn<LoopbackServer::Route>("route"); // for the update's second file
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("laterFileTried");
        using Route = LoopbackServer::Route;
        // clang-format off
        QTest::newRow("connection dropped mid-body") << Route{200, body, half} << "connection lost" << false;
        QTest::newRow("fewer bytes than listed") << Route{200, body.left(half), half} << sizes("100000") << true;
        QTest::newRow("fewer bytes than listed, without a length") << Route{200, body, half, false} << sizes("100000") << true;
        QTest::newRow("more bytes than listed") << Route{200, body + body, 2 * body.size()} << sizes("400000") << true;
        QTest::newRow("more bytes than listed, without a length") << Route{200, body + "x", body.size() + 1, false} << "second.cs is larger on the server than the 200000 bytes in the list" << true;
        QTest::newRow("no such file") << Route{404} << "HTTP 404" << true;
        QTest::newRow("server falls silent") << Route{200, body, half, true, false} << "stalled below 1 bytes/s" << false;
        QTest::newRow("slow, then dropped") << Route{200, body, half, true, true, 20000, 30} << "connection lost" << false;
        // clang-format on
    }

    void failedInstallLosesNoFile()
    {
        QFETCH(LoopbackServer::Route, route);
        QFETCH(QString, reason);
        QFETCH(bool, laterFileTried);
        TestTree tree;
        for (const char* folder : {"storage/", "plugins/"}) {
            for (const char* name : {"first.cs", "second.cs", "second.desc.txt", "other.cs"})
                tree.Write(std::string(folder) + name, std::string("old ") + name);
        }
        tree.Write("storage/sub/third.cs", "old third");
        tree.Write("storage/readme.txt", "notes");
        LoopbackServer server;
        const std::map<std::string, QByteArray> fresh = {{"first.cs", QByteArray(70000, 'f')},
                                                         {"second.cs", QByteArray(200000, 's')},
                                                         {"third.cs", "new third"}};
        const auto list = Offer(server, "storage\\",
                                {{"", "first.cs", fresh.at("first.cs")},
                                 {"", "second.cs", fresh.at("second.cs")},
                                 {"sub\\", "third.cs", fresh.at("third.cs")}});
        server.SetRoute("/u/second.cs", route);
        const auto before = Contents(tree);
        CPluginList inUse;
        inUse.Rescan(tree.Path("plugins/"));

        QCOMPARE(QString::fromStdString(list->InstallUpdate(0, tree.Root(), &inUse).reason()),
                 reason);

        const auto after = Contents(tree);
        QCOMPARE(after.size(), before.size()); // no temporary file, no file of a failed transfer
        for (const auto& [path, bytes] : before) {
            QVERIFY2(after.count(path), qPrintable(path + " was lost"));
            const auto name = path.section('/', -1).toStdString();
            const bool bReplacedWhole = fresh.count(name) && after.at(path) == fresh.at(name);
            QVERIFY2(after.at(path) == bytes || bReplacedWhole, qPrintable(path + " was damaged"));
        }
        QCOMPARE(after.at("storage/second.cs"), before.at("storage/second.cs"));
        QCOMPARE(after.at("plugins/second.cs"), before.at("plugins/second.cs"));
        QCOMPARE(after.at("storage/sub/third.cs"),
                 laterFileTried ? fresh.at("third.cs") : before.at("storage/sub/third.cs"));
    }
};

QTEST_GUILESS_MAIN(tst_InstallFaults)
#include "tst_InstallFaults.moc"
