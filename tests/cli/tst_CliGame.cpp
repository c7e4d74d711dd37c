#include "CliTestSupport.h"
#include "res/Strings.h"
#include "support/TribesStandIn.h"

using namespace korvane;

// The game commands: the parameter string, starting the game, and QuickExec.
class tst_CliGame : public QObject
{
    Q_OBJECT

private:
    std::optional<CliFixture> m_fixture;

    const TestTree& Tree() const { return m_fixture->tree; }
    CliResult Run(const QStringList& arguments) const { return m_fixture->Run(arguments); }
    // The folder and the arguments of the game's last start, one a line.
    QString Launched() const { return testsupport::TribesRun(Tree(), "tribes/"); }
    QString Started(const QStringList& arguments) const
    {
        return testsupport::ExpectedRun(Tree(), "tribes/", arguments);
    }

private slots:
    // The Korvane folder tribes\korvane\ and the Tribes folder tribes\ are set; the game is a
    // stand-in that records its arguments.
    void init()
    {
        m_fixture.emplace();
        m_fixture->MakeKorvane("tribes/korvane/");
        m_fixture->WindowProfile().WriteProfileString(profile::kDirectories, profile::kTribes,
                                                      Tree().Path("tribes/"));
        QVERIFY(testsupport::PutTribesStandIn(Tree(), "tribes/tribes.exe"));
    }
    void cleanup() { m_fixture.reset(); }

    void commandLineIsTheGamesParameterString()
    {
        const CliResult result = Run({"command-line", "--dedicated", "--mod", "base",
                                      "--mod=my mod", "--extra", "-port 28001"});
        QCOMPARE(result.out, "-dedicated -mod base -mod my mod -port 28001\n");
        QCOMPARE(result.status, 0);
    }

    void launchAndStoredQuickExecStartTheGame()
    {
        QVERIFY_SUCCESS(Run({"launch"}));
        QTRY_COMPARE_WITH_TIMEOUT(Launched(), Started({"-mod", "korvane"}), 10000);

        QVERIFY_SUCCESS(Run({"quickexec", "--set", "--dedicated", "--mod", "korvane", "--mod",
                             "alpha", "--extra", "+exec a.cs"}));
        QVERIFY_SUCCESS(Run({"quickexec"}));
        QTRY_COMPARE_WITH_TIMEOUT(
            Launched(),
            Started({"-dedicated", "-mod", "korvane", "-mod", "alpha", "+exec", "a.cs"}), 10000);
    }

    void failuresSayWhyAndStartNothing()
    {
        QCOMPARE_FAILURE(Run({"quickexec"}), strings::kQuickExecNotConfigured);
#ifndef Q_OS_WIN
        // A Windows program, and the command that runs Windows programs is missing. (Windows'
        // own refusal of a program is tst_GameCommandLine's.)
        Tree().Write("tribes/tribes.exe", std::string("MZ\x90\0", 4));
        m_fixture->WindowProfile().WriteProfileString(profile::kWindowsPrograms,
                                                      profile::kWineCommand, "my-wine --debug");
        QCOMPARE_FAILURE(Run({"launch"}), QString::fromUtf8(strings::kWineNotFound).arg("my-wine"));
#endif
        const QString empty = Tree().QPath("empty/");
        Tree().MakeFolder("empty");
        QCOMPARE_FAILURE(Run({"--tribes", empty, "launch"}),
                         QString::fromUtf8(strings::kGameNotFound).arg(empty));
        m_fixture->WindowProfile().WriteProfileString(profile::kDirectories, profile::kTribes, "");
        QCOMPARE_FAILURE(Run({"quickexec", "--set"}), strings::kQuickExecNeedsTribes);
        QCOMPARE(m_fixture->WindowProfile().GetProfileString(profile::kQuickExec, profile::kMods),
                 "");
        QVERIFY(!Tree().Exists("tribes/tribes-run.txt"));
    }
};

QTEST_GUILESS_MAIN(tst_CliGame)
#include "tst_CliGame.moc"
