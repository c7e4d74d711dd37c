#include "core/platform/KPath.h"
#include "core/updater/CUpdateList.h"
#include "res/Strings.h"
#include "support/LoopbackServer.h"
#include "support/TestAuthority.h"
#include "support/UpdaterTestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace korvane;

using DownloadResult = CUpdateList::DownloadResult;
using testsupport::ListHeader, testsupport::NameClaim;

namespace {

// One answer of a test server: on the plain or the TLS server, at a path.
struct Hop
{
    bool https = false;
    QByteArray path;
    LoopbackServer::Route route;
};

} // namespace

Q_DECLARE_METATYPE(QList<Hop>)

namespace {

QByteArray TwoUpdates(std::string name = "Sniper")
{
    CUpdateList list;
    list.m_arrUpdates.push_back(
        testsupport::MakeUpdate(std::move(name), "storage\\", "http://h/", {{"s.cs", "", 3}}));
    list.m_arrUpdates.push_back(testsupport::MakeUpdate("Radar", "storage\\", "http://h/"));
    return QByteArray::fromStdString(testsupport::ListBytes(list));
}

Hop Serve(QByteArray path, QByteArray body, bool https = false)
{
    return {https, std::move(path), {200, body, body.size()}};
}

// Answers with status and, unless it is empty, a Location header.
Hop Move(QByteArray path, QByteArray location, int status = 301, bool https = false)
{
    LoopbackServer::Route route{status};
    if (!location.isEmpty())
        route.headers = "Location: " + location + "\r\n";
    return {https, std::move(path), route};
}

} // namespace

class tst_UpdateDownload : public QObject
{
    Q_OBJECT

private:
    testsupport::TestAuthority m_authority;

private slots:
    void initTestCase()
    {
        m_authority = testsupport::MakeTestAuthority();
        QVERIFY2(!m_authority.authorityPem.isEmpty(), "openssl could not make a test authority");
    }

    // What the program does with servers that misbehave, for the list and for an update file
    // (f.cs, 3 bytes, "new"). The transfer counts as stalled below 1 KiB/s over half a second.
    void misbehavingServers_data()
    {
        const QByteArray list = TwoUpdates();
        QTest::addColumn<QByteArray>("start"); // the list, or the update's file /u/f.cs
        QTest::addColumn<QList<Hop>>("hops");
        QTest::addColumn<bool>("trusted"); // the client knows the test authority
        QTest::addColumn<DownloadResult>("result");
        QTest::addColumn<QByteArray>("reason");
        const auto row = [](const char* name, QByteArray start, QList<Hop> hops,
                            DownloadResult result, QByteArray reason = {}, bool trusted = true) {
            QTest::newRow(name) << start << hops << trusted << result << reason;
        };
        const DownloadResult received = DownloadResult::Received,
                             error = DownloadResult::InternetError;
        QList<Hop> tenHops, elevenHops;
        for (int i = 0; i < 11; ++i) {
            const QByteArray from = "/h" + QByteArray::number(i);
            const QByteArray to = "/h" + QByteArray::number(i + 1);
            elevenHops << Move(from, to);
            if (i < 10)
                tenHops << Move(from, i == 9 ? "/list" : to);
        }
        tenHops << Serve("/list", list);
        const QByteArray many = QByteArray(1 << 20, '\x02');
        const QByteArray slowList = TwoUpdates(std::string(6000, 's'));
        const QByteArray claim = ListHeader(1) + NameClaim(0xFFFFFFFE) + many;
        const QByteArray big = ListHeader(2) + NameClaim(40 << 20) + QByteArray(40 << 20, 'a') +
                               QByteArray(6, '\0') + NameClaim(40 << 20) +
                               QByteArray(40 << 20, 'b');
        // clang-format off
        row("http to http, relative location", "{http}/start", {Move("/start", "/moved/list"), Serve("/moved/list", list)}, received);
        row("http to https", "{http}/start", {Move("/start", "{https}/list", 302), Serve("/list", list, true)}, received);
        row("https to https", "{https}/start", {Move("/start", "/list", 307, true), Serve("/list", list, true)}, received);
        row("ten redirects", "{http}/h0", tenHops, received);
        row("eleven redirects", "{http}/h0", elevenHops, error, "more than 10 redirects");
        row("https to http", "{https}/start", {Move("/start", "{http}/list", 301, true), Serve("/list", list)}, error, strings::kReasonRedirectToHttp);
        row("redirect loop", "{http}/a", {Move("/a", "/b"), Move("/b", "/a")}, error, strings::kReasonRedirectLoop);
        row("3xx without location", "{http}/start", {Move("/start", {}, 302)}, error, strings::kReasonRedirectWithoutLocation);
        row("redirect to ftp", "{http}/start", {Move("/start", "ftp://127.0.0.1/list")}, error, "redirect to a non-http address (ftp:)");
        row("https with a trusted certificate", "{https}/list", {Serve("/list", list, true)}, received);
        row("https with an untrusted certificate", "{https}/list", {Serve("/list", list, true)}, error, strings::kReasonCertificateNotTrusted, false);
        row("no server", "{closed}/list", {}, error, strings::kReasonConnectionRefused);
        row("no list on the server", "{http}/list", {}, DownloadResult::NoList, "HTTP 404");
        row("connection dropped", "{http}/list", {{false, "/list", {200, list, 20}}}, error, strings::kReasonConnectionLost);
        row("drip", "{http}/list", {{false, "/list", {200, list, list.size(), true, true, 1, 100}}}, error, "stalled below 1 KiB/s");
        row("slow but steady", "{http}/list", {{false, "/list", {200, slowList, slowList.size(), true, true, 300, 100}}}, received);
        row("huge record count", "{http}/list", {Serve("/list", ListHeader(0x7FFFFFFF) + many)}, DownloadResult::Unreadable, strings::kReasonTooManyUpdates);
        row("4 GB string claim", "{http}/list", {Serve("/list", claim)}, DownloadResult::Unreadable, strings::kReasonStringTooLong);
        row("4 GB string claim without a length", "{http}/list", {{false, "/list", {200, claim, claim.size(), false}}}, DownloadResult::Unreadable, strings::kReasonListTooLarge);
        row("list beyond 64 MiB", "{http}/list", {{false, "/list", {200, big, big.size(), false}}}, DownloadResult::Unreadable, strings::kReasonListTooLarge);

        row("file moved to https", "{http}/u/f.cs", {Move("/u/f.cs", "{https}/files/f.cs", 308), Serve("/files/f.cs", "new", true)}, received);
        row("file redirect loop", "{http}/u/f.cs", {Move("/u/f.cs", "/u/f.cs")}, error, strings::kReasonRedirectLoop);
        row("file over https, untrusted", "{https}/u/f.cs", {Serve("/u/f.cs", "new", true)}, error, strings::kReasonCertificateNotTrusted, false);
        row("file of another size", "{http}/u/f.cs", {Serve("/u/f.cs", "newer")}, error, "f.cs is 5 bytes on the server, 3 in the list");
        // clang-format on
    }

    void misbehavingServers()
    {
        QFETCH(QByteArray, start);
        QFETCH(QList<Hop>, hops);
        QFETCH(bool, trusted);
        QFETCH(DownloadResult, result);
        QFETCH(QByteArray, reason);
        LoopbackServer plain;
        LoopbackServer tls(m_authority.server);
        const auto expand = [&](QByteArray text) {
            return text.replace("{http}", QByteArray::fromStdString(plain.Url("")))
                .replace("{https}", QByteArray::fromStdString(tls.Url("")))
                .replace("{closed}",
                         "http://127.0.0.1:" + QByteArray::number(LoopbackServer::ClosedPort()));
        };
        for (Hop hop : hops) {
            hop.route.headers = expand(hop.route.headers);
            (hop.https ? tls : plain).SetRoute(hop.path, hop.route);
        }
        const std::string url = expand(start).toStdString();

        auto updates = std::make_unique<CUpdateList>();
        updates->m_transferOptions.stall = {1024, std::chrono::milliseconds(500)};
        if (trusted)
            updates->m_transferOptions.extraAuthoritiesPem = {
                m_authority.authorityPem.toStdString()};
        if (!start.endsWith("/u/f.cs")) {
            updates->m_arrUpdates.push_back(testsupport::MakeUpdate("stale", "", ""));
            const auto download = updates->DownloadList(url);
            QCOMPARE(QByteArray::fromStdString(download.status.reason()), reason);
            QCOMPARE(download.result, result);
            QCOMPARE(updates->GetSize(), result == DownloadResult::Received ? 2 : 0);
            return;
        }
        QTemporaryDir korvane;
        const std::string folder = kpath::WithTrailingSeparator(korvane.path().toStdString());
        updates->m_arrUpdates.push_back(
            testsupport::MakeUpdate("File", "", url.substr(0, url.size() - 4), {{"f.cs", "", 3}}));
        const korvane::Status status = updates->InstallUpdate(0, folder, nullptr);
        QCOMPARE(QByteArray::fromStdString(status.reason()), reason);
        QFile installed(korvane.filePath("f.cs"));
        QCOMPARE(installed.open(QIODevice::ReadOnly) ? installed.readAll() : QByteArray(),
                 status.ok() ? QByteArray("new") : QByteArray());
    }

    // Each request names the updater and bypasses caches; a proxy from the environment never
    // carries requests to the loopback address.
    void requestsNameTheUpdaterAndGoStraightToLoopback()
    {
        LoopbackServer proxy; // would answer 404 for anything it is asked to carry
        qputenv("http_proxy", QByteArray::fromStdString(proxy.Url("")));
        LoopbackServer server;
        server.Serve("/list", TwoUpdates());
        std::string url = server.Url("/list");
        for (const char* host : {"127.0.0.1", "localhost"}) {
            url.replace(7, url.find(':', 7) - 7, host);
            CUpdateList updates;
            (void)updates.DownloadList(url);
            QCOMPARE(updates.GetSize(), 2);
        }
        qunsetenv("http_proxy");
        QVERIFY(proxy.Requests().isEmpty());
        const auto headers = server.Requests().value(0).headers;
        QCOMPARE(headers.value("user-agent"), QByteArray("KorvaneMgrUpd"));
        QCOMPARE(headers.value("cache-control"), QByteArray("no-cache"));
        QCOMPARE(headers.value("pragma"), QByteArray("no-cache"));
    }
};

QTEST_GUILESS_MAIN(tst_UpdateDownload)
#include "tst_UpdateDownload.moc"
