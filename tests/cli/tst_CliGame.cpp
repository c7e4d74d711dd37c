#include "CliTestSupport.h"
#include "res/Strings.h"

using namespace korvane;

// The game commands: the parameter string, starting the game, and QuickExec.
class tst_CliGame : public QObject
{
    Q_OBJECT

private:
    std::optional<CliFixture> m_fixture;

    const TestTree& Tree() const { return m_fixture->tree; }
    CliResult Run(const QStringList& arguments) const { return m_fixture->Run(arguments); }
    QString Record() const { return Tree().QPath("launched.txt"); }

    void SetTribesFolder(const std::string& folder) const
    {
        m_fixture->WindowProfile().WriteProfileString(profile::kDirectories, profile::kTribes,
                                                      folder);
    }

    // The arguments of the game's last start, which the stand-in game records one a line.
    // The record appears whole, by a rename, so the test never reads half of it.
    QStringList WaitForLaunch() const
    {
        [&] { QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(Record()), 10000); }();
        QFile file(Record());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QString lines = QString::fromUtf8(file.readAll());
        file.remove();
        return lines.split(u'\n', Qt::SkipEmptyParts);
    }

private slots:
    // The Korvane folder tribes\korvane\ and the Tribes folder tribes\ are set; the game is a
    // stand-in that records its arguments.
    void init()
    {
        m_fixture.emplace();
        m_fixture->MakeKorvane("tribes/korvane/");
        SetTribesFolder(Tree().Path("tribes/"));
        const std::string record = Record().toStdString();
        Tree().Write("tribes/tribes.exe", "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + record +
                                              ".part' && mv '" + record + ".part' '" + record +
                                              "'\n");
        QFile::setPermissions(Tree().QPath("tribes/tribes.exe"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    void cleanup() { m_fixture.reset(); }

    void commandLineIsTheGamesParameterString_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("parameters");
        QTest::newRow("nothing: the Korvane folder's modification")
            << QStringList{"command-line"} << "-mod korvane";
        QTest::newRow("everything")
            << QStringList{"command-line", "--dedicated", "--mod",      "base",
                           "--mod=my mod", "--extra",     "-port 28001"}
            << "-dedicated -mod base -mod my mod -port 28001";
        QTest::newRow("another Korvane folder")
            << QStringList{"--korvane", "elsewhere/Kv2", "command-line"} << "-mod Kv2";
    }
    void commandLineIsTheGamesParameterString()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, parameters);
        const CliResult result = Run(arguments);
        QCOMPARE(result.out, parameters + u'\n');
        QCOMPARE(result.status, 0);
    }

    void launchAndStoredQuickExecStartTheGame()
    {
        QVERIFY_SUCCESS(Run({"launch", "--mod", "alpha", "--extra", "+connect x; rm -rf"}));
        QCOMPARE(WaitForLaunch(), QStringList({"-mod", "alpha", "+connect", "x;", "rm", "-rf"}));

        QVERIFY_SUCCESS(Run({"quickexec", "--set", "--dedicated", "--mod", "korvane", "--mod",
                             "alpha", "--extra", "+exec a.cs"}));
        QVERIFY_SUCCESS(Run({"quickexec"}));
        QCOMPARE(WaitForLaunch(),
                 QStringList({"-dedicated", "-mod", "korvane", "-mod", "alpha", "+exec", "a.cs"}));
    }

    void failuresSayWhyAndStartNothing()
    {
        QCOMPARE_FAILURE(Run({"quickexec"}), strings::kQuickExecNotConfigured);
        Tree().Write("tribes/tribes.exe", std::string("MZ\x90\0", 4));
        m_fixture->WindowProfile().WriteProfileString(profile::kWindowsPrograms,
                                                      profile::kWineCommand, "my-wine --debug");
        QCOMPARE_FAILURE(Run({"launch"}), QString::fromUtf8(strings::kWineNotFound).arg("my-wine"));
        const QString empty = Tree().QPath("empty/");
        Tree().MakeFolder("empty");
        QCOMPARE_FAILURE(Run({"--tribes", empty, "launch"}),
                         QString::fromUtf8(strings::kCliGameNotFound).arg(empty));
        SetTribesFolder("");
        QCOMPARE_FAILURE(Run({"launch"}), strings::kCliNoTribesFolder);
        QCOMPARE_FAILURE(Run({"quickexec", "--set"}), strings::kQuickExecNeedsTribes);
        QCOMPARE(m_fixture->WindowProfile().GetProfileString(profile::kQuickExec, profile::kMods),
                 "");
        QVERIFY(!QFile::exists(Record()));
    }
};

QTEST_GUILESS_MAIN(tst_CliGame)
#include "tst_CliGame.moc"
