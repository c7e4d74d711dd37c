#include "support/LoopbackServer.h"
#include "core/platform/KPath.h"
#include "res/Strings.h"
#include "support/TestAuthority.h"
#include "core/updater/CUpdateList.h"
#include "support/UpdaterTestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

using Result = CUpdateList::DownloadResult;

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

QByteArray Header(quint32 count)
{
    QByteArray header("UPDATE\x01", 7);
    for (int i = 0; i < 4; ++i)
        header += char(count >> (8 * i));
    return header;
}

// A record whose name claims length bytes, with only what follows it sent.
QByteArray LongNameClaim(quint32 length)
{
    QByteArray claim("\x01\xFF\xFF\xFF", 4);
    for (int i = 0; i < 4; ++i)
        claim += char(length >> (8 * i));
    return claim;
}

Hop Serve(QByteArray path, QByteArray body, bool https = false)
{
    return {https, std::move(path), {200, body, body.size()}};
}

Hop Move(QByteArray path, QByteArray location, int status = 301, bool https = false)
{
    return {https,
            std::move(path),
            {status,
             {},
             0,
             true,
             true,
             0,
             0,
             location.isEmpty() ? QByteArray() : "Location: " + location + "\r\n"}};
}

QByteArray Reason(const char* text)
{
    return QByteArray(text);
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
        QTest::addColumn<QString>("fetch"); // list or file
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QList<Hop>>("hops");
        QTest::addColumn<bool>("trusted"); // the client knows the test authority
        QTest::addColumn<Result>("result");
        QTest::addColumn<QByteArray>("reason");
        QTest::addColumn<int>("count");

        const auto row = [](const char* name, const char* fetch, QByteArray start, QList<Hop> hops,
                            Result result, QByteArray reason, int count = 0, bool trusted = true) {
            QTest::newRow(name) << QString(fetch) << start << hops << trusted << result << reason
                                << count;
        };
        const QByteArray many = QByteArray(1 << 20, '\x02');
        QByteArray chain;
        QList<Hop> tenHops, elevenHops;
        for (int i = 0; i < 11; ++i) {
            const QByteArray from = "/h" + QByteArray::number(i);
            const QByteArray to = "/h" + QByteArray::number(i + 1);
            elevenHops << Move(from, to);
            if (i < 10)
                tenHops << Move(from, i == 9 ? "/list" : to);
        }
        tenHops << Serve("/list", list);

        row("http to http, relative location", "list", "{http}/start",
            {Move("/start", "/moved/list"), Serve("/moved/list", list)}, Result::Received, {}, 2);
        row("http to https", "list", "{http}/start",
            {Move("/start", "{https}/list", 302), Serve("/list", list, true)}, Result::Received, {},
            2);
        row("https to https", "list", "{https}/start",
            {Move("/start", "/list", 307, true), Serve("/list", list, true)}, Result::Received, {},
            2);
        row("ten redirects", "list", "{http}/h0", tenHops, Result::Received, {}, 2);
        row("eleven redirects", "list", "{http}/h0", elevenHops, Result::InternetError,
            "more than 10 redirects");
        row("https to http", "list", "{https}/start",
            {Move("/start", "{http}/list", 301, true), Serve("/list", list)}, Result::InternetError,
            Reason(strings::kReasonRedirectToHttp));
        row("redirect loop", "list", "{http}/a", {Move("/a", "/b"), Move("/b", "/a")},
            Result::InternetError, Reason(strings::kReasonRedirectLoop));
        row("3xx without location", "list", "{http}/start", {Move("/start", {}, 302)},
            Result::InternetError, Reason(strings::kReasonRedirectWithoutLocation));
        row("redirect to ftp", "list", "{http}/start", {Move("/start", "ftp://127.0.0.1/list")},
            Result::InternetError, "redirect to a non-http address (ftp:)");
        row("https with a trusted certificate", "list", "{https}/list",
            {Serve("/list", list, true)}, Result::Received, {}, 2);
        row("https with an untrusted certificate", "list", "{https}/list",
            {Serve("/list", list, true)}, Result::InternetError,
            Reason(strings::kReasonCertificateNotTrusted), 0, false);
        row("no server", "list", "{closed}/list", {}, Result::InternetError,
            Reason(strings::kReasonConnectionRefused));
        row("no list on the server", "list", "{http}/list", {}, Result::NoList, "HTTP 404");
        row("connection dropped", "list", "{http}/list", {{false, "/list", {200, list, 20}}},
            Result::InternetError, Reason(strings::kReasonConnectionLost));
        row("drip", "list", "{http}/list",
            {{false, "/list", {200, list, list.size(), true, true, 1, 100}}}, Result::InternetError,
            "stalled below 1 KiB/s");
        const QByteArray slowList = TwoUpdates(std::string(6000, 's'));
        row("slow but steady", "list", "{http}/list",
            {{false, "/list", {200, slowList, slowList.size(), true, true, 300, 100}}},
            Result::Received, {}, 2);
        row("huge record count", "list", "{http}/list", {Serve("/list", Header(0x7FFFFFFF) + many)},
            Result::Unreadable, Reason(strings::kReasonTooManyUpdates));
        const QByteArray claim = Header(1) + LongNameClaim(0xFFFFFFFE) + many;
        row("4 GB string claim", "list", "{http}/list", {Serve("/list", claim)}, Result::Unreadable,
            Reason(strings::kReasonStringTooLong));
        row("4 GB string claim without a length", "list", "{http}/list",
            {{false, "/list", {200, claim, claim.size(), false}}}, Result::Unreadable,
            Reason(strings::kReasonListTooLarge));
        const QByteArray big = Header(2) + LongNameClaim(40 << 20) + QByteArray(40 << 20, 'a') +
                               QByteArray(6, '\0') + LongNameClaim(40 << 20) +
                               QByteArray(40 << 20, 'b');
        row("list beyond 64 MiB", "list", "{http}/list",
            {{false, "/list", {200, big, big.size(), false}}}, Result::Unreadable,
            Reason(strings::kReasonListTooLarge));

        row("file moved to https", "file", "{http}/u/f.cs",
            {Move("/u/f.cs", "{https}/files/f.cs", 308), Serve("/files/f.cs", "new", true)},
            Result::Received, {});
        row("file redirect loop", "file", "{http}/u/f.cs", {Move("/u/f.cs", "/u/f.cs")},
            Result::InternetError, Reason(strings::kReasonRedirectLoop));
        row("file over https, untrusted", "file", "{https}/u/f.cs", {Serve("/u/f.cs", "new", true)},
            Result::InternetError, Reason(strings::kReasonCertificateNotTrusted), 0, false);
        row("file drips", "file", "{http}/u/f.cs",
            {{false, "/u/f.cs", {200, "new", 3, true, true, 1, 400}}}, Result::InternetError,
            "stalled below 1 KiB/s");
        row("file of another size", "file", "{http}/u/f.cs", {Serve("/u/f.cs", "newer")},
            Result::InternetError, "f.cs is 5 bytes on the server, 3 in the list");
    }

    void misbehavingServers()
    {
        QFETCH(QString, fetch);
        QFETCH(QByteArray, start);
        QFETCH(QList<Hop>, hops);
        QFETCH(bool, trusted);
        QFETCH(Result, result);
        QFETCH(QByteArray, reason);
        QFETCH(int, count);
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
        if (fetch == "list") {
            updates->m_arrUpdates.push_back(testsupport::MakeUpdate("stale", "", ""));
            const auto download = updates->DownloadList(url);
            QCOMPARE(QByteArray::fromStdString(download.status.reason()), reason);
            QCOMPARE(download.result, result);
            QCOMPARE(updates->GetSize(), count);
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

    void requestNamesTheUpdaterAndBypassesCaches()
    {
        LoopbackServer server;
        server.Serve("/korvane.upd", TwoUpdates());
        CUpdateList updates;
        (void)updates.DownloadList(server.Url("/korvane.upd"));
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
            (void)updates.DownloadList(url);
            QCOMPARE(updates.GetSize(), 2);
        }
        qunsetenv("http_proxy");
        QVERIFY(proxy.Requests().isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_UpdateDownload)
#include "tst_UpdateDownload.moc"
