#include "CliTestSupport.h"
#include "res/Strings.h"

// The tool's command line: help, wrong usage, and which settings and folders it works on.
class tst_CliUsage : public QObject
{
    Q_OBJECT

private:
    static QString UsageError(const QString& reason, const char* usage, const QString& command)
    {
        return QStringLiteral("korvane-cli: %1\n%2\nTry 'korvane-cli %3--help' for more.\n")
            .arg(reason, QString::fromUtf8(usage), command.isEmpty() ? QString() : command + u' ');
    }

    static QString CommandHelp(const char* usage, const char* help)
    {
        return QString::fromUtf8(usage) + QStringLiteral("\n\n") + QString::fromUtf8(help);
    }

private slots:
    void helpGoesToStandardOutput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("help");
        const QString tool = QString::fromUtf8(strings::kCliHelp);
        QTest::newRow("tool") << QStringList{"--help"} << tool;
        QTest::newRow("tool, before a command") << QStringList{"-h", "list"} << tool;
        QTest::newRow("command") << QStringList{"describe", "--help"}
                                 << CommandHelp(strings::kCliDescribeUsage,
                                                strings::kCliDescribeHelp);
        // Help is wanted even when the arguments the command needs are missing.
        QTest::newRow("command, without its arguments")
            << QStringList{"use", "-h"} << CommandHelp(strings::kCliUseUsage, strings::kCliUseHelp);
    }
    void helpGoesToStandardOutput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, help);
        const CliResult result = CliFixture().Run(arguments);
        QCOMPARE(result.out, help);
        QCOMPARE(result.err, QString());
        QCOMPARE(result.status, 0);
    }

    void wrongUsageExitsWith2AndAUsageLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");
        const auto tool = [](const QString& reason) {
            return UsageError(reason, strings::kCliUsage, {});
        };
        QTest::newRow("no command") << QStringList{} << tool("no command given.");
        QTest::newRow("unknown command")
            << QStringList{"frobnicate"} << tool("unknown command 'frobnicate'.");
        QTest::newRow("empty folder")
            << QStringList{"--tribes=", "launch"} << tool("--tribes needs a folder.");

        QTest::newRow("unknown option")
            << QStringList{"list", "--bogus"}
            << UsageError("Unknown option 'bogus'.", strings::kCliListUsage, "list");
        QTest::newRow("no key") << QStringList{"unuse"}
                                << UsageError("missing KEY.", strings::kCliUnuseUsage, "unuse");
        QTest::newRow("two keys to describe")
            << QStringList{"describe", "a", "b", "--name", "x"}
            << UsageError("unexpected argument 'b'.", strings::kCliDescribeUsage, "describe");
        QTest::newRow("modification name with a backslash")
            << QStringList{"quickexec", "--set", "--mod", "a\\b"}
            << UsageError("'a\\b' is not a modification folder's name: it is empty or holds a "
                          "backslash.",
                          strings::kCliQuickExecUsage, "quickexec");
        QTest::newRow("update index that is no number")
            << QStringList{"install", "0", "first"}
            << UsageError("'first' is not an update index.", strings::kCliInstallUsage, "install");
        QTest::newRow("launch choices without --set")
            << QStringList{"quickexec", "--dedicated"}
            << UsageError("--dedicated, --mod and --extra go with --set.",
                          strings::kCliQuickExecUsage, "quickexec");
    }
    void wrongUsageExitsWith2AndAUsageLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        CliFixture fixture;
        fixture.MakeKorvane();
        fixture.WindowProfile().WriteProfileString(profile::kDirectories, profile::kTribes,
                                                   fixture.tree.Path("tribes/"));
        const CliResult result = fixture.Run(arguments);
        QCOMPARE(result.err, error);
        QCOMPARE(result.out, QString());
        QCOMPARE(result.status, 2);
    }

    void toolWorksOnTheWindowsFoldersUnlessOthersAreGiven()
    {
        CliFixture fixture;
        fixture.MakeKorvane("window/");
        fixture.tree.Write("window/storage/fromwindow.cs", "");
        fixture.tree.Write("other/storage/fromother.cs", "");
        QCOMPARE(fixture.Run({"list"}).out, "fromwindow\tfromwindow\tUnknown\tUnknown\t\tno\n");
        // A relative folder, without its trailing separator, from where the tool was started.
        const CliResult other = fixture.Run({"--korvane", "other", "list"});
        QCOMPARE(other.out, "fromother\tfromother\tUnknown\tUnknown\t\tno\n");
        QCOMPARE(other.status, 0);
        QCOMPARE(fixture.WindowProfile().GetProfileString(profile::kDirectories, profile::kKorvane),
                 fixture.tree.Path("window/"));
    }

    void commandsOnTheKorvaneFolderFailWithoutOne_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::newRow("sync") << QStringList{"sync"};
        QTest::newRow("list") << QStringList{"list"};
        QTest::newRow("use") << QStringList{"use", "a"};
        QTest::newRow("unuse") << QStringList{"unuse", "a"};
        QTest::newRow("describe") << QStringList{"describe", "a", "--name", "x"};
        QTest::newRow("save-config") << QStringList{"save-config", "a.pfg"};
        QTest::newRow("load-config") << QStringList{"load-config", "a.pfg"};
        QTest::newRow("updates") << QStringList{"updates", "--url", "http://127.0.0.1:9/"};
        QTest::newRow("install") << QStringList{"install", "0", "--url", "http://127.0.0.1:9/"};
    }
    void commandsOnTheKorvaneFolderFailWithoutOne()
    {
        QFETCH(QStringList, command);
        CliFixture fixture;
        fixture.tree.Write("a.pfg", "Name=\nUseDirectory=FALSE\n");
        QCOMPARE_FAILURE(fixture.Run(command), strings::kCliNoKorvaneFolder);
        const QString missing = Q(fixture.tree.Path("gone/"));
        QCOMPARE_FAILURE(fixture.Run(QStringList{"--korvane", missing} + command),
                         QString::fromUtf8(strings::kCliKorvaneFolderMissing).arg(missing));
        QVERIFY(!fixture.tree.Exists("gone"));
    }
};

QTEST_GUILESS_MAIN(tst_CliUsage)
#include "tst_CliUsage.moc"
