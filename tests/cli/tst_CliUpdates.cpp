#include "CliTestSupport.h"
#include "support/LoopbackServer.h"
#include "res/Strings.h"
#include "support/UpdaterTestSupport.h"

// The updater commands against an update list and files served on the loopback address.
class tst_CliUpdates : public QObject
{
    Q_OBJECT

private:
    std::optional<CliFixture> m_fixture;
    std::optional<LoopbackServer> m_server;

    const TestTree& Tree() const { return m_fixture->tree; }
    QString ListUrl() const { return Q(m_server->Url("/korvane.upd")); }
    CliResult Run(QStringList arguments) const
    {
        arguments.replaceInStrings("LIST", ListUrl());
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
        Tree().Write("k/plugins/sniper.cs", "old");
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
        const QString expected = QStringLiteral("0\tSniper\t1.2\tNo\n"
                                                "1\tBroken\t2.10\tYes\n"
                                                "2\tCafé pack\t0.1\tYes\n");
        const CliResult result = Run({"updates", "--url", "LIST"});
        QCOMPARE(result.out, expected);
        QCOMPARE(result.status, 0);
        // Without --url, the address the settings hold.
        m_fixture->WindowProfile().WriteProfileString(profile::kUpdater, profile::kUrl,
                                                      ListUrl().toStdString());
        QCOMPARE(Run({"updates"}).out, expected);
    }

    void installPutsFilesInPlaceAndRefreshesPluginsInUse()
    {
        const CliResult result = Run({"install", "0", "--url", "LIST"});
        QCOMPARE(result.err, QString()); // no progress: standard error is no terminal here
        QCOMPARE(result.status, 0);
        QCOMPARE(Tree().Read("k/storage/sniper.cs"), "sniper");
        QCOMPARE(Tree().Read("k/plugins/sniper.cs"), "sniper");
        QCOMPARE(Run({"updates", "--url", "LIST"}).out.section(u'\n', 0, 0), "0\tSniper\t1.2\tYes");
    }

    // Each failure's message ends with its reason.
    void installFailures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("sniper");
        const auto because = [](const char* message, const char* reason) {
            return QString::fromUtf8(strings::kCliFailedBecause)
                .arg(QString::fromUtf8(message), QString::fromUtf8(reason));
        };
        QTest::newRow("one of two incomplete")
            << QStringList{"install", "1", "0", "--url", "LIST"}
            << because(strings::kInstallFailed, "HTTP 404") << "sniper";
        QTest::newRow("file of another size than listed")
            << QStringList{"install", "0", "--url", "LONGER"}
            << because(strings::kInstallFailed, "sniper.cs is 7 bytes on the server, 6 in the list")
            << "old";
        QTest::newRow("index not listed: nothing installed")
            << QStringList{"install", "0", "3", "--url", "LIST"}
            << QString::fromUtf8(strings::kCliNoSuchUpdate).arg(3) << "old";
        const QString closed =
            QStringLiteral("http://127.0.0.1:%1/korvane.upd").arg(LoopbackServer::ClosedPort());
        QTest::newRow("no server")
            << QStringList{"install", "0", "--url", closed}
            << because(qPrintable(QString::fromUtf8(strings::kCliListNotDownloaded).arg(closed)),
                       "connection refused")
            << "old";
        QTest::newRow("no list on the server")
            << QStringList{"updates", "--url", "MISSING"}
            << because(strings::kCliListNotDownloaded, "HTTP 404") << "old";
        QTest::newRow("list ends early")
            << QStringList{"install", "0", "--url", "SHORT"}
            << because(strings::kUpdateListUnreadable, strings::kReasonEndsEarly) << "old";
    }
    void installFailures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QFETCH(QString, sniper);
        m_server->Serve("/short.upd", QByteArray("UPDATE\x01\x01\x00\x00\x00\x01", 12));
        m_server->Serve("/longer/sniper.cs", "sniper!");
        CUpdateList longer;
        longer.m_arrUpdates.push_back(testsupport::MakeUpdate(
            "Sniper", "storage\\", m_server->Url("/longer/"), {{"sniper.cs", "", 6}}));
        m_server->Serve("/longer.upd", QByteArray::fromStdString(testsupport::ListBytes(longer)));
        const QString missing = Q(m_server->Url("/missing.upd"));
        message.replace(QLatin1String("%1"), missing);
        arguments.replaceInStrings("SHORT", Q(m_server->Url("/short.upd")));
        arguments.replaceInStrings("LONGER", Q(m_server->Url("/longer.upd")));
        arguments.replaceInStrings("MISSING", missing);
        QCOMPARE_FAILURE(Run(arguments), message);
        QCOMPARE(Q(Tree().Read("k/storage/sniper.cs")), sniper);
    }
};

QTEST_GUILESS_MAIN(tst_CliUpdates)
#include "tst_CliUpdates.moc"
