#include "CliTestSupport.h"
#include "res/Strings.h"
#include "support/LoopbackServer.h"
#include "support/UpdaterTestSupport.h"

using namespace korvane;

// The updater commands against an update list and files served on the loopback address.
class tst_CliUpdates : public QObject
{
    Q_OBJECT

private:
    std::optional<CliFixture> m_fixture;
    std::optional<LoopbackServer> m_server;

    const TestTree& Tree() const { return m_fixture->tree; }
    QString Url(const char* path) const { return Q(m_server->Url(path)); }
    CliResult Run(QStringList arguments) const
    {
        arguments.replaceInStrings("LIST", Url("/korvane.upd"));
        arguments.replaceInStrings("MISSING", Url("/missing.upd"));
        arguments.replaceInStrings("SHORT", Url("/short.upd"));
        return m_fixture->Run(arguments);
    }

private slots:
    // Sniper installs into storage\; Broken names a file the server lacks; the single-byte
    // Windows name of the third update has no files, so it counts as installed.
    void init()
    {
        m_fixture.emplace();
        m_fixture->MakeKorvane("k/");
        Tree().Write("k/storage/sniper.cs", "old");
        m_server.emplace();
        const std::string files = m_server->Url("/files/");
        CUpdateList list;
        list.m_arrUpdates.push_back(
            testsupport::MakeUpdate("Sniper", "storage\\", files, {{"sniper.cs", "", 6}}, 1, 2));
        list.m_arrUpdates.push_back(
            testsupport::MakeUpdate("Broken", "storage\\", files, {{"gone.cs", "", 4}}, 2, 10));
        list.m_arrUpdates.push_back(
            testsupport::MakeUpdate("Caf\xe9 pack", "extras\\", files, {}, 0, 1));
        m_server->Serve("/korvane.upd", QByteArray::fromStdString(testsupport::ListBytes(list)));
        m_server->Serve("/short.upd", QByteArray("UPDATE\x01\x01\x00\x00\x00\x01", 12));
        m_server->Serve("/files/sniper.cs", "sniper");
    }
    void cleanup()
    {
        m_server.reset();
        m_fixture.reset();
    }

    void updatesListsEachUpdateWithItsInstalledState()
    {
        Tree().Write("k/storage/gone.cs", "gone");
        const CliResult updates = Run({"updates", "--url", "LIST"});
        QCOMPARE(updates.out, QStringLiteral("0\tSniper\t1.2\tNo\n"
                                             "1\tBroken\t2.10\tYes\n"
                                             "2\tCafé pack\t0.1\tYes\n"));
        QCOMPARE(updates.status, 0);
        // No progress either: standard error is no terminal here.
        QVERIFY_SUCCESS(Run({"install", "0", "--url", "LIST"}));
        // Without --url, the address the settings hold.
        m_fixture->WindowProfile().WriteProfileString(profile::kUpdater, profile::kUrl,
                                                      Url("/korvane.upd").toStdString());
        QCOMPARE(Run({"updates"}).out.section(u'\n', 0, 0), "0\tSniper\t1.2\tYes");
    }

    // Each failure's message ends with its reason.
    void failuresSayWhy_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("sniper");
        const auto because = [](const QString& message, const char* reason) {
            return QString::fromUtf8(strings::kCliFailedBecause)
                .arg(message, QString::fromUtf8(reason));
        };
        QTest::newRow("one of two incomplete")
            << QStringList{"install", "1", "0", "--url", "LIST"}
            << because(strings::kInstallFailed, "HTTP 404") << "sniper";
        QTest::newRow("index not listed: nothing installed")
            << QStringList{"install", "0", "3", "--url", "LIST"}
            << QString::fromUtf8(strings::kCliNoSuchUpdate).arg(3) << "old";
        QTest::newRow("no list on the server")
            << QStringList{"updates", "--url", "MISSING"}
            << because(strings::kCliListNotDownloaded, "HTTP 404") << "old";
        QTest::newRow("list ends early")
            << QStringList{"install", "0", "--url", "SHORT"}
            << because(strings::kUpdateListUnreadable, strings::kReasonEndsEarly) << "old";
    }
    void failuresSayWhy()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QFETCH(QString, sniper);
        QCOMPARE_FAILURE(Run(arguments), message.replace(QLatin1String("%1"), Url("/missing.upd")));
        QCOMPARE(Q(Tree().Read("k/storage/sniper.cs")), sniper);
    }
};

QTEST_GUILESS_MAIN(tst_CliUpdates)
#include "tst_CliUpdates.moc"
