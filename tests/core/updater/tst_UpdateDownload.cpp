#include "support/LoopbackServer.h"
#include "core/updater/CUpdateList.h"
#include "support/UpdaterTestSupport.h"

#include <QtTest>

using Result = CUpdateList::DownloadResult;

Q_DECLARE_METATYPE(LoopbackServer::Route)

namespace {

QByteArray TwoUpdates()
{
    CUpdateList list;
    list.m_arrUpdates.push_back(
        testsupport::MakeUpdate("Sniper", "storage\\", "http://h/", {{"s.cs", "", 3}}));
    list.m_arrUpdates.push_back(testsupport::MakeUpdate("Radar", "storage\\", "http://h/"));
    return QByteArray::fromStdString(testsupport::ListBytes(list));
}

} // namespace

class tst_UpdateDownload : public QObject
{
    Q_OBJECT

private slots:
    void downloadEndsAsTheServerAnswers_data()
    {
        const QByteArray list = TwoUpdates();
        QTest::addColumn<LoopbackServer::Route>("route");
        QTest::addColumn<Result>("result");
        QTest::addColumn<int>("count");
        QTest::newRow("whole list")
            << LoopbackServer::Route{200, list, list.size()} << Result::Received << 2;
        QTest::newRow("list without a length")
            << LoopbackServer::Route{200, list, list.size(), false} << Result::Received << 2;
        QTest::newRow("no list on the server")
            << LoopbackServer::Route{404} << Result::Received << 0;
        QTest::newRow("server error") << LoopbackServer::Route{500} << Result::Received << 0;
        QTest::newRow("list that ends early")
            << LoopbackServer::Route{200, list.chopped(1), list.size() - 1} << Result::Unreadable
            << 0;
        QTest::newRow("connection lost")
            << LoopbackServer::Route{200, list, 20} << Result::InternetError << 0;
        QTest::newRow("server falls silent")
            << LoopbackServer::Route{200, list, 20, true, false} << Result::InternetError << 0;
        QTest::newRow("slow but steady server")
            << LoopbackServer::Route{200, list, list.size(), true, true, 4, 100} << Result::Received
            << 2;
    }

    void downloadEndsAsTheServerAnswers()
    {
        QFETCH(LoopbackServer::Route, route);
        QFETCH(Result, result);
        QFETCH(int, count);
        LoopbackServer server;
        server.SetRoute("/list", route);
        CUpdateList updates;
        updates.m_arrUpdates.push_back(testsupport::MakeUpdate("stale", "", ""));
        updates.m_inactivityTimeout = std::chrono::milliseconds(400); // under the trickle's length
        QCOMPARE(updates.DownloadList(server.Url("/list")), result);
        QCOMPARE(updates.GetSize(), count);
    }

    void unreachableServerIsAnInternetError()
    {
        CUpdateList updates;
        const auto url =
            "http://127.0.0.1:" + std::to_string(LoopbackServer::ClosedPort()) + "/list";
        QCOMPARE(updates.DownloadList(url), Result::InternetError);
    }

    void requestNamesTheUpdaterAndBypassesCaches()
    {
        LoopbackServer server;
        server.Serve("/korvane.upd", TwoUpdates());
        CUpdateList updates;
        updates.DownloadList(server.Url("/korvane.upd"));
        const auto headers = server.Requests().value(0).headers;
        QCOMPARE(headers.value("user-agent"), QByteArray("KorvaneMgrUpd"));
        QCOMPARE(headers.value("cache-control"), QByteArray("no-cache"));
        QCOMPARE(headers.value("pragma"), QByteArray("no-cache"));
    }

    void proxyFromTheEnvironmentNeverCarriesLoopbackRequests()
    {
        LoopbackServer proxy; // would answer 404 for anything it is asked to carry
        qputenv("http_proxy", QByteArray::fromStdString(proxy.Url("")));
        LoopbackServer server;
        server.Serve("/list", TwoUpdates());
        std::string url = server.Url("/list");
        for (const char* host : {"127.0.0.1", "localhost"}) {
            url.replace(7, url.find(':', 7) - 7, host);
            CUpdateList updates;
            updates.DownloadList(url);
            QCOMPARE(updates.GetSize(), 2);
        }
        qunsetenv("http_proxy");
        QVERIFY(proxy.Requests().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_UpdateDownload)
#include "tst_UpdateDownload.moc"
