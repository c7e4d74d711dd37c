#include "core/catalogue/CPluginList.h"
#include "core/platform/FileSystem.h"
#include "core/platform/ProfileEntries.h"
#include "core/platform/SettingsProfile.h"
#include "core/updater/CUpdateList.h"
#include "core/updater/UpdateSource.h"
#include "res/Strings.h"
#include "support/LoopbackServer.h"
#include "support/Signing.h"
#include "support/TestTree.h"
#include "support/UpdaterTestSupport.h"
#include "support/Wine.h"

#include <QtTest>

using namespace korvane;

// How a list or a download ended: nothing when it was read whole, else its kind of failure.
using DownloadResult = std::optional<CUpdateList::DownloadFailure>;
using ListStatus = std::optional<UpdateListReader::Failure>;
using testsupport::ListBytes, testsupport::ListOf, testsupport::MakeUpdate;
using testsupport::ListHeader, testsupport::NameClaim;

Q_DECLARE_METATYPE(std::string)

namespace {

std::string Hex(const char* hex)
{
    return QByteArray::fromHex(hex).toStdString();
}

// Plug-in Sniper 1.2 in storage\, base URL of 14 characters, sniper.cs of 300 bytes.
std::string SniperRecord()
{
    return Hex("01") + "\x06Sniper\x08storage\\\x0Ehttp://k.nt/u/" + Hex("0100") + "\x09sniper.cs" +
           Hex("00 2C010000 01 02");
}

std::string Header(const char* countHex)
{
    return Hex("555044415445 01") + Hex(countHex);
}

QByteArray TwoUpdates()
{
    return QByteArray::fromStdString(
        ListBytes(*ListOf(MakeUpdate("Sniper", "storage\\", "http://h/", {{"s.cs", "", 3}}),
                          MakeUpdate("Radar", "storage\\", "http://h/"))));
}

// The server's answers for the list.
using Route = LoopbackServer::Route;

Route Serve(const QByteArray& body, bool announceLength = true)
{
    return {200, body, body.size(), announceLength};
}

Route Gzipped(const QByteArray& body)
{
    const QByteArray gzip = LoopbackServer::Gzip(body);
    return {200, gzip, gzip.size(), true, true, 0, 0, "Content-Encoding: gzip\r\n"};
}

// The time the tests' lists are signed at, and how a refusal names it.
constexpr qint64 kSignedAt = 2000000000;
constexpr char kSignedAtText[] = "2033-05-18 03:33:20 UTC";

QByteArray SignedList(const QByteArray& list, qint64 at = kSignedAt, const char* key = "key")
{
    return testsupport::Signed(list, "korvane.upd", key, testsupport::CommentAt(at, "korvane.upd"));
}

std::vector<MinisignKey> Pinned(const char* key = "key")
{
    return MinisignKey::ListFrom(testsupport::PublicKeyLine(key).toStdString()).value();
}

QString Refusal(const char* text,
                const QString& argument = QString::fromUtf8(strings::kTheUpdateList))
{
    return QString::fromUtf8(text).arg(argument);
}

} // namespace

Q_DECLARE_METATYPE(Route)
Q_DECLARE_METATYPE(ListSignature::State)

class tst_UpdateList : public QObject
{
    Q_OBJECT

private:
    QByteArray m_authorityPem;

    // The address of a file (and, when given, its signature) that the https server of another
    // make serves; empty when none runs.
    static std::string ServedOverHttps(const QString& name, const QByteArray& bytes,
                                       const QByteArray& signature = {})
    {
        const QString served = QStringLiteral(KORVANE_HTTPS_SERVER);
        QFile port(served + "port");
        if (!port.open(QIODevice::ReadOnly))
            return {};
        const auto write = [&served](const QString& file, const QByteArray& content) {
            QFile out(served + file);
            if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size())
                qFatal("%s: %s", qPrintable(file), qPrintable(out.errorString()));
        };
        write(name, bytes);
        if (!signature.isEmpty())
            write(name + ".minisig", signature);
        return "https://127.0.0.1:" + port.readAll().trimmed().toStdString() + "/" +
               name.toStdString();
    }

private slots:
    // The build's test authority (tests/CMakeLists.txt), which no system trusts.
    void initTestCase()
    {
        QFile file(QStringLiteral(KORVANE_TEST_CERTIFICATES) + "ca.pem");
        QVERIFY(file.open(QIODevice::ReadOnly));
        m_authorityPem = file.readAll();
    }

    // The list is written and read byte for byte as the program's clients know it, in whatever
    // pieces it arrives; a text of 255 bytes or more (a long base URL, say) takes a longer length
    // prefix.
    void listsAreWrittenAndReadByteForByte()
    {
        const std::string sniper = Header("01000000") + SniperRecord();
        QCOMPARE(ListBytes(*ListOf(MakeUpdate("Sniper", "storage\\", "http://k.nt/u/",
                                              {{"sniper.cs", "", 300}}, 1, 2))),
                 sniper);
        const auto named = [](size_t length) {
            return ListBytes(*ListOf(
                MakeUpdate(std::string(length, 'n'), "", ""),
                MakeUpdate("S", "storage\\", "http://h/", {{"f", "s\\", 9}, {"g", "", 7}}, 3, 4)));
        };
        QCOMPARE(named(254).substr(12, 1), Hex("FE"));
        QCOMPARE(named(255).substr(12, 3), Hex("FFFF00"));
        for (const std::string& bytes : {sniper, named(254), named(255)}) {
            for (const size_t piece : {size_t(1), bytes.size()}) {
                UpdateListReader reader;
                for (size_t at = 0; at < bytes.size(); at += piece)
                    QCOMPARE(reader.Feed(std::string_view(bytes).substr(at, piece)),
                             at + piece < bytes.size());
                CUpdateList read;
                read.m_arrUpdates = reader.TakeUpdates();
                QCOMPARE(ListBytes(read), bytes);
            }
        }
    }

    void readingEndsAsTheBytesAllow_data()
    {
        QTest::addColumn<std::string>("bytes");
        QTest::addColumn<ListStatus>("status");
        QTest::addColumn<int>("records");
        const auto row = [](const char* name, const std::string& bytes, ListStatus status,
                            int records = 0) { QTest::newRow(name) << bytes << status << records; };
        const std::string sniper = SniperRecord();
        using enum UpdateListReader::Failure;
        // clang-format off
        row("list version 2", Hex("555044415445 02 01000000") + sniper, ListStatus(NotAList));
        row("last byte missing", Header("01000000") + sniper.substr(0, sniper.size() - 1), ListStatus(EndsEarly));
        row("four billion files claimed", Header("01000000") + Hex("01 000000 FFFF FEFFFFFF 0178"), ListStatus(TooLarge));
        row("100,000 records, each of an unknown version", Header("A0860100") + std::string(100000, '\x02'), ListStatus(), 100000);
        row("record of version 2, then a record", Header("02000000") + Hex("02") + sniper, ListStatus(), 2);
        // clang-format on
    }

    void readingEndsAsTheBytesAllow()
    {
        QFETCH(std::string, bytes);
        QFETCH(ListStatus, status);
        QFETCH(int, records);
        const auto list = ListOf(MakeUpdate("stale", "", ""));
        QCOMPARE(list->Load(bytes).kind<UpdateListReader::Failure>(), status);
        QCOMPARE(list->GetSize(), records);
        if (records == 2) { // the unknown record stays empty, the next one is read whole
            QCOMPARE(list->GetAt(0).m_strUpdateName + list->GetAt(0).VersionText(),
                     std::string("0.0"));
            QCOMPARE(list->GetAt(1).m_strUpdateName + list->GetAt(1).VersionText(),
                     std::string("Sniper1.2"));
        }
    }

    // What the list makes of servers that misbehave; an update's file, of the same servers, is
    // tried in tst_UpdateInstall.
    void misbehavingServers_data()
    {
        QTest::addColumn<Route>("answer"); // status 0: no server
        QTest::addColumn<DownloadResult>("result");
        QTest::addColumn<QByteArray>("reason");
        const auto row = [](const char* name, Route answer, DownloadResult result,
                            QByteArray reason = {}) {
            QTest::newRow(name) << answer << result << reason;
        };
        const DownloadResult error = CUpdateList::DownloadFailure::InternetError,
                             unreadable = CUpdateList::DownloadFailure::Unreadable,
                             noList = CUpdateList::DownloadFailure::NoList;
        const QByteArray many = QByteArray(1 << 20, '\x02');
        const QByteArray claim = ListHeader(1) + NameClaim(0xFFFFFFFE) + many;
        const QByteArray big = ListHeader(2) + NameClaim(40 << 20) + QByteArray(40 << 20, 'a') +
                               QByteArray(6, '\0') + NameClaim(40 << 20) +
                               QByteArray(40 << 20, 'b');
        const QByteArray refused = QString::fromUtf8(strings::kReasonCompressedRefused)
                                       .arg(strings::kReasonExpandsTooFar)
                                       .toUtf8();
        // clang-format off
        row("no server", Route{0}, error, strings::kReasonConnectionRefused);
        row("no list on the server", Route{404}, noList, "HTTP 404");
        row("huge record count", Serve(ListHeader(0x7FFFFFFF) + many), unreadable, strings::kReasonTooManyUpdates);
        row("4 GB string claim", Serve(claim), unreadable, strings::kReasonStringTooLong);
        row("4 GB string claim without a length", Serve(claim, false), unreadable, strings::kReasonListTooLarge);
        row("list beyond 64 MiB", Serve(big, false), unreadable, strings::kReasonListTooLarge);
        row("gzip-compressed 12 MiB list", Gzipped(ListHeader(1) + NameClaim(12 << 20) + QByteArray(12 << 20, 'a')), unreadable, refused);
        row("web page", Serve("<!DOCTYPE html>\n<html><body>Welcome</body></html>\n"), unreadable, strings::kReasonNotAList);
        // clang-format on
    }

    void misbehavingServers()
    {
        QFETCH(Route, answer);
        QFETCH(DownloadResult, result);
        QFETCH(QByteArray, reason);
        LoopbackServer server;
        server.SetRoute("/list", answer);
        const std::string url =
            answer.status ? server.Url("/list")
                          : "http://127.0.0.1:" + std::to_string(LoopbackServer::ClosedPort());
        CUpdateList updates;
        updates.m_arrUpdates.push_back(MakeUpdate("stale", "", ""));
        const korvane::Status download = updates.DownloadList(url);
        QCOMPARE(QByteArray::fromStdString(download.reason()), reason);
        QCOMPARE(download.kind<CUpdateList::DownloadFailure>(), result);
        QCOMPARE(updates.GetSize(), result ? 0 : 2);
    }

    // With a key pinned, the list is taken only as its holder signed it, and no older than the
    // newest taken before; without one, the player learns what the server offers. A trusted
    // comment is covered by the global signature, so that the time cannot be moved either.
    void onlyTheListThePinnedKeySignedIsTaken_data()
    {
        // How the list is signed, made in the test (a data function only names its rows): empty,
        // not at all (the server answers 404); "altered", by the key, then one of its bytes
        // changed; "time moved", the trusted comment's time changed after signing.
        QTest::addColumn<QString>("signature");
        QTest::addColumn<bool>("pinned");
        QTest::addColumn<qint64>("accepted"); // the newest accepted before; 0: none
        QTest::addColumn<QString>("refusal"); // empty: taken
        QTest::addColumn<ListSignature::State>("state");
        const QString other = QString::fromStdString(Pinned("other").front().IdText());
        using State = ListSignature::State;
        const QString none, good = "key";
        // clang-format off
        QTest::newRow("unsigned, no key") << none << false << qint64(0) << QString() << State::Unsigned;
        QTest::newRow("signed, no key") << good << false << qint64(0) << QString() << State::Unchecked;
        QTest::newRow("signed by the key") << good << true << qint64(0) << QString() << State::Verified;
        QTest::newRow("the same list again") << good << true << kSignedAt << QString() << State::Verified;
        QTest::newRow("not signed") << none << true << qint64(0) << Refusal(strings::kReasonNotSigned) << State::Unsigned;
        QTest::newRow("another key") << QString("other") << true << qint64(0) << QString::fromUtf8(strings::kReasonSignedByAnother).arg(strings::kTheUpdateList, other) << State::Unsigned;
        QTest::newRow("bytes altered, same size") << QString("altered") << true << qint64(0) << Refusal(strings::kReasonSignatureDiffers) << State::Unsigned;
        QTest::newRow("trusted time altered") << QString("time moved") << true << qint64(0) << Refusal(strings::kReasonSignatureDiffers) << State::Unsigned;
        QTest::newRow("an older list replayed") << good << true << kSignedAt + 60 << Refusal(strings::kReasonListOlder, "2033-05-18 03:34:20 UTC") << State::Unsigned;
        QTest::newRow("a signature without a time") << QString("made by hand") << true << qint64(0) << Refusal(strings::kReasonSignatureNoTime) << State::Unsigned;
        // clang-format on
    }

    void onlyTheListThePinnedKeySignedIsTaken()
    {
        QFETCH(QString, signature);
        QFETCH(bool, pinned);
        QFETCH(qint64, accepted);
        QFETCH(QString, refusal);
        QFETCH(ListSignature::State, state);
        QByteArray served = TwoUpdates(), signed_;
        if (signature == "key" || signature == "other" || signature == "altered")
            signed_ = SignedList(served, kSignedAt, signature == "other" ? "other" : "key");
        else if (signature == "time moved")
            signed_ = SignedList(served).replace(QByteArray::number(kSignedAt),
                                                 QByteArray::number(kSignedAt + 86400));
        else if (signature == "made by hand")
            signed_ = testsupport::Signed(served, "korvane.upd", "key", signature);
        if (signature == "altered")
            served[served.indexOf("Radar")] = 'B';
        LoopbackServer server;
        server.Serve("/korvane.upd", served);
        if (!signed_.isEmpty())
            server.Serve("/korvane.upd.minisig", signed_);
        const UpdateTrust trust(pinned ? Pinned() : std::vector<MinisignKey>(),
                                accepted ? std::optional<std::int64_t>(accepted) : std::nullopt);
        CUpdateList updates;
        const korvane::Status download = updates.DownloadList(server.Url("/korvane.upd"), trust);
        QCOMPARE(QString::fromStdString(download.reason()), refusal);
        QCOMPARE(updates.GetSize(), refusal.isEmpty() ? 2 : 0);
        QCOMPARE(updates.Signature().state, state);
        if (state != ListSignature::State::Unsigned) {
            QCOMPARE(updates.Signature().keyId, Pinned().front().IdText());
            QCOMPARE(updates.Signature().timestamp, std::optional<std::int64_t>(kSignedAt));
        }
    }

    // The source keeps the time of each list it took, so that a later run refuses an older one
    // from that address; keys that cannot be read refuse every list rather than none.
    void theSourceRemembersTheNewestListItTook()
    {
        TestTree tree;
        const SettingsProfile profile =
            SettingsProfile::AtFile(QString::fromStdString(tree.Path("settings.ini")));
        profile.WriteProfileString(profile::kUpdater, profile::kPublicKey,
                                   " " + testsupport::PublicKeyLine().toStdString() + " ");
        LoopbackServer server;
        const QByteArray list = TwoUpdates();
        server.Serve("/korvane.upd", list);
        server.Serve("/korvane.upd.minisig", SignedList(list));
        // user information is no part of the address as it is remembered
        std::string url = server.Url("/korvane.upd");
        const UpdateSource source(profile, url);
        CUpdateList updates;
        QVERIFY(source.Download(updates));
        server.Serve("/korvane.upd.minisig", SignedList(list, kSignedAt - 60));
        const korvane::Status older =
            UpdateSource(profile, url.insert(7, "user:pw@")).Download(updates);
        QCOMPARE(QString::fromStdString(older.reason()),
                 Refusal(strings::kReasonListOlder, kSignedAtText));
        QCOMPARE(updates.GetSize(), 0);
        const korvane::Status unusable = UpdateSource(profile, url, "RWnokey").Download(updates);
        QVERIFY(unusable.is(CUpdateList::DownloadFailure::Refused));
        QVERIFY(QString::fromStdString(unusable.reason()).contains("RWnokey"));
    }

    // The system's TLS (Schannel on Windows) fetches a list from a server of another make, the
    // build machine's Python (tests/support/https_server.py), through the authority it is given;
    // tst_HttpClient shows a server that no one trusts refused.
    void aListComesOverHttpsFromAnotherServer()
    {
        const std::string url = ServedOverHttps("list.upd", TwoUpdates());
        if (url.empty())
            QSKIP("no https server runs beside the tests (ctest starts one)");

        // Wine's Schannel cannot take an authority from the program (Qt hands it over as a
        // PKCS #12 store, which Wine does not import), so there the user trusts it, in the
        // prefix's root store, as a player trusts the authorities Windows comes with. Wine reads
        // that store once a process: it is trusted before the first connection.
        const testsupport::TrustedInWinePrefix trust(m_authorityPem);
        CUpdateList updates;
        if (!trust.Ok())
            updates.m_transferOptions.extraAuthoritiesPem = {m_authorityPem.toStdString()};
        const auto trusted = updates.DownloadList(url);
        QCOMPARE(QString::fromStdString(trusted.reason()), QString());
        QVERIFY(trusted.ok());
        QCOMPARE(updates.GetSize(), 2);
    }

    // The files of a list that came over https come over https too, unless the key pinned for
    // the list signed them: then the transport is beside the point.
    void anHttpsListsFilesComeOverPlainHttpOnlyWhenSigned()
    {
        LoopbackServer plain;
        plain.Serve("/u/s.cs", "new");
        plain.Serve("/u/s.cs.minisig", testsupport::Signed("new", "s.cs"));
        const QByteArray list = QByteArray::fromStdString(ListBytes(
            *ListOf(MakeUpdate("Sniper", "storage\\", plain.Url("/u/"), {{"s.cs", "", 3}}))));
        const std::string url = ServedOverHttps("plain.upd", list, SignedList(list));
        if (url.empty())
            QSKIP("no https server runs beside the tests (ctest starts one)");
        const testsupport::TrustedInWinePrefix trust(m_authorityPem);
        TestTree tree;
        for (const bool pinned : {false, true}) {
            CUpdateList updates;
            if (!trust.Ok())
                updates.m_transferOptions.extraAuthoritiesPem = {m_authorityPem.toStdString()};
            const UpdateTrust keys(pinned ? Pinned() : std::vector<MinisignKey>(), std::nullopt);
            const korvane::Status downloaded = updates.DownloadList(url, keys);
            QVERIFY2(downloaded.ok(), downloaded.reason().c_str());
            const korvane::Status installed = updates.InstallUpdate(0, tree.Folder(), nullptr);
            QCOMPARE(installed.ok(), pinned);
            if (!pinned)
                QVERIFY(QString::fromStdString(installed.reason())
                            .endsWith(Refusal(strings::kReasonHttpUnderHttps, "s.cs")));
            QCOMPARE(kfs::Exists(tree.Path("storage/s.cs")), pinned);
        }
    }
};

QTEST_GUILESS_MAIN(tst_UpdateList)
#include "tst_UpdateList.moc"
