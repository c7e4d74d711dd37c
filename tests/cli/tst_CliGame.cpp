#include "CliTestSupport.h"
#include "res/Strings.h"

// The game commands: the parameter string, starting the game, and QuickExec.
class tst_CliGame : public QObject
{
    Q_OBJECT

private:
    std::optional<CliFixture> m_fixture;

    const TestTree& Tree() const { return m_fixture->tree; }
    CliResult Run(const QStringList& arguments) const { return m_fixture->Run(arguments); }
    QString Record() const { return Q(Tree().Path("launched.txt")); }

    void SetTribesFolder(const std::string& folder) const
    {
        m_fixture->WindowProfile().WriteProfileString(profile::kDirectories, profile::kTribes,
                                                      folder);
    }

    // A stand-in tribes.exe that records its working folder, then one argument a line. The
    // record appears whole, by a rename, so the test never reads half of it.
    void WriteRecorder() const
    {
        const std::string record = Record().toStdString();
        Tree().Write("tribes/tribes.exe",
                     "#!/bin/sh\n{ pwd -P; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '" +
                         record + ".part' && mv '" + record + ".part' '" + record + "'\n");
        QFile::setPermissions(Q(Tree().Path("tribes/tribes.exe")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // The arguments the game was started with, after its working folder.
    QStringList WaitForLaunch() const
    {
        [&] { QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(Record()), 10000); }();
        QFile file(Record());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
        const QString workingFolder = lines.takeFirst();
        if (workingFolder != QDir(Q(Tree().Path("tribes"))).canonicalPath())
            return {QStringLiteral("started in ") + workingFolder};
        return lines;
    }

private slots:
    // The Korvane folder tribes\korvane\ and the Tribes folder tribes\ are set; the game is a
    // stand-in that records how it was started.
    void init()
    {
        m_fixture.emplace();
        m_fixture->MakeKorvane("tribes/korvane/");
        SetTribesFolder(Tree().Path("tribes/"));
        WriteRecorder();
    }
    void cleanup() { m_fixture.reset(); }

    void commandLineIsTheGamesParameterString_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("parameters");
        QTest::newRow("nothing: the Korvane folder's modification")
            << QStringList{} << "-mod korvane";
        QTest::newRow("everything") << QStringList{"--dedicated",  "--mod",   "base",
                                                   "--mod=my mod", "--extra", "+exec \"server.cs\""}
                                    << "-dedicated -mod base -mod my mod +exec \"server.cs\"";
        QTest::newRow("extra text that looks like an option")
            << QStringList{"--extra", "-port 28001"} << "-mod korvane -port 28001";
        QTest::newRow("another Korvane folder")
            << QStringList{"--korvane", "elsewhere/Kv2", "--dedicated"} << "-dedicated -mod Kv2";
    }
    void commandLineIsTheGamesParameterString()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, parameters);
        if (arguments.startsWith("--korvane"))
            arguments.insert(2, "command-line");
        else
            arguments.prepend("command-line");
        const CliResult result = Run(arguments);
        QCOMPARE(result.out, parameters + u'\n');
        QCOMPARE(result.status, 0);
    }

    void launchStartsTheGameWithTheParameterString()
    {
        const CliResult result =
            Run({"launch", "--mod", "korvane", "--mod", "alpha", "--extra", "+connect x; rm -rf"});
        QCOMPARE(result.err, QString());
        QCOMPARE(result.status, 0);
        QCOMPARE(WaitForLaunch(),
                 QStringList({"-mod", "korvane", "-mod", "alpha", "+connect", "x;", "rm", "-rf"}));
    }

    void launchFailsWhenTheGameCannotBeFound()
    {
        SetTribesFolder("");
        QCOMPARE_FAILURE(Run({"launch"}), strings::kCliNoTribesFolder);
        const QString empty = Q(Tree().Path("empty/"));
        Tree().MakeFolder("empty");
        QCOMPARE_FAILURE(Run({"--tribes", empty, "launch"}),
                         QString::fromUtf8(strings::kCliGameNotFound).arg(empty));
    }

    void launchNamesTheMissingWineCommand()
    {
        Tree().Write("tribes/tribes.exe", std::string("MZ\x90\0", 4));
        m_fixture->WindowProfile().WriteProfileString(profile::kWindowsPrograms,
                                                      profile::kWineCommand, "my-wine --debug");
        QCOMPARE_FAILURE(Run({"launch"}), QString::fromUtf8(strings::kWineNotFound).arg("my-wine"));
    }

    void storedQuickExecStartsTheGame()
    {
        const CliResult set = Run({"quickexec", "--set", "--dedicated", "--mod", "korvane", "--mod",
                                   "alpha", "--extra", "+exec a.cs"});
        QCOMPARE(set.err, QString());
        QCOMPARE(set.status, 0);
        const CProfile profile = m_fixture->WindowProfile();
        QCOMPARE(profile.GetProfileString(profile::kQuickExec, profile::kMods), "korvane\\alpha");
        QCOMPARE(profile.GetProfileInt(profile::kQuickExec, profile::kDedicated, -1), 1);
        QCOMPARE(profile.GetProfileString(profile::kQuickExec, profile::kExtraCmdLine),
                 "+exec a.cs");

        const CliResult launch = Run({"quickexec"});
        QCOMPARE(launch.err, QString());
        QCOMPARE(launch.status, 0);
        QCOMPARE(WaitForLaunch(),
                 QStringList({"-dedicated", "-mod", "korvane", "-mod", "alpha", "+exec", "a.cs"}));
    }

    void quickExecShowsTheWindowsMessages()
    {
        const CProfile profile = m_fixture->WindowProfile();
        profile.WriteProfileString(profile::kDirectories, profile::kKorvane, "");
        QCOMPARE_FAILURE(Run({"quickexec"}), strings::kQuickExecNotConfigured);
        QCOMPARE_FAILURE(Run({"quickexec", "--set", "--mod", "alpha"}),
                         strings::kQuickExecNeedsKorvane);
        SetTribesFolder("");
        QCOMPARE_FAILURE(Run({"quickexec", "--set"}), strings::kQuickExecNeedsTribes);
        QCOMPARE(profile.GetProfileString(profile::kQuickExec, profile::kMods), "");
        QVERIFY(!QFile::exists(Record()));
    }
};

QTEST_GUILESS_MAIN(tst_CliGame)
#include "tst_CliGame.moc"
