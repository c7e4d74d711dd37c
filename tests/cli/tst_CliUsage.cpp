#include "CliTestSupport.h"
#include "res/Strings.h"
#include "res/Version.h"

using namespace korvane;

// The tool's command line: help, version, wrong usage, and which settings and folders it uses.
class tst_CliUsage : public QObject
{
    Q_OBJECT

private:
    static QString UsageError(const QString& reason, const char* usage, const QString& command)
    {
        return QStringLiteral("korvane-cli: %1\n%2\nTry 'korvane-cli %3--help' for more.\n")
            .arg(reason, QString::fromUtf8(usage), command.isEmpty() ? QString() : command + u' ');
    }

private slots:
    void helpAndVersionGoToStandardOutput_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("text");
        const QString tool = QString::fromUtf8(strings::kCliHelp);
        // clang-format off
        QTest::newRow("tool") << QStringList{"--help"} << tool;
        QTest::newRow("tool, before a command") << QStringList{"-h", "list"} << tool;
        // Help is wanted even when the arguments the command needs are missing.
        QTest::newRow("command, without its arguments") << QStringList{"use", "-h"} << QString::fromUtf8(strings::kCliUseUsage) + "\n\n" + strings::kCliUseHelp;
        QTest::newRow("version") << QStringList{"--version"} << QStringLiteral("korvane-cli %1\n").arg(version::kVersion);
        // clang-format on
    }
    void helpAndVersionGoToStandardOutput()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, text);
        const CliResult result = CliFixture().Run(arguments);
        QCOMPARE(result.out, text);
        QVERIFY_SUCCESS(result);
    }

    void wrongUsageExitsWith2AndAUsageLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("error");
        // The usage line and help are the command's when the command is known.
        const auto row = [](const char* name, const QStringList& arguments, const QString& reason,
                            const char* usage = strings::kCliUsage, const QString& command = {}) {
            QTest::newRow(name) << arguments << UsageError(reason, usage, command);
        };
        // clang-format off
        row("no command", {}, "no command given.");
        row("unknown command", {"frobnicate"}, "unknown command 'frobnicate'.");
        row("empty folder", {"--tribes=", "launch"}, "--tribes needs a folder.");
        row("unknown option", {"list", "--bogus"}, "Unknown option 'bogus'.", strings::kCliListUsage, "list");
        row("no key", {"unuse"}, "missing KEY.", strings::kCliUnuseUsage, "unuse");
        row("two keys to describe", {"describe", "a", "b", "--name", "x"}, "unexpected argument 'b'.", strings::kCliDescribeUsage, "describe");
        row("modification name with a backslash", {"quickexec", "--set", "--mod", "a\\b"}, "'a\\b' is not a modification folder's name: it is empty or holds a backslash.", strings::kCliQuickExecUsage, "quickexec");
        row("update index that is no number", {"install", "0", "first"}, "'first' is not an update index.", strings::kCliInstallUsage, "install");
        row("launch choices without --set", {"quickexec", "--dedicated"}, "--dedicated, --mod and --extra go with --set.", strings::kCliQuickExecUsage, "quickexec");
        row("both ways to settle a changed copy", {"load-config", "a.pfg", "--keep-mine", "--use-storage"}, strings::kCliSettleBoth, strings::kCliLoadConfigUsage, "load-config");
        // clang-format on
    }
    void wrongUsageExitsWith2AndAUsageLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, error);
        const CliResult result = CliFixture().Run(arguments);
        QCOMPARE(result.err, error);
        QCOMPARE(result.out, QString());
        QCOMPARE(result.status, 2);
    }

    // A folder given, relative to where the tool was started, does not replace the window's.
    void aGivenKorvaneFolderLeavesTheWindowsOne()
    {
        CliFixture fixture;
        fixture.MakeKorvane("window/");
        fixture.tree.Write("other/storage/fromother.cs", "");
        const CliResult other = fixture.Run({"--korvane", "other", "list"});
        QCOMPARE(other.out, "fromother\tfromother\tUnknown\tUnknown\t\tno\n");
        QCOMPARE(other.status, 0);
        QCOMPARE(fixture.WindowProfile().GetProfileString(profile::kDirectories, profile::kKorvane),
                 fixture.tree.Path("window/"));
    }

    void commandsOnTheKorvaneFolderFailWithoutOne_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<bool>("changes"); // the Korvane folder's files
        for (const char* command :
             {"sync", "list", "use a", "unuse a", "describe a --name x", "save-config a.pfg",
              "load-config a.pfg", "undo-load", "updates --url http://127.0.0.1:9/",
              "install 0 --url http://127.0.0.1:9/"})
            QTest::newRow(command)
                << QString(command).split(u' ')
                << !QRegularExpression("^(list|updates)").match(command).hasMatch();
    }
    void commandsOnTheKorvaneFolderFailWithoutOne()
    {
        QFETCH(QStringList, command);
        QFETCH(bool, changes);
        CliFixture fixture;
        if (changes) {
            fixture.tree.Write("plain/plugins/important.dll", "x");
            const QString plain = fixture.tree.QPath("plain/");
            QCOMPARE_FAILURE(fixture.Run(QStringList{"--korvane", plain} + command),
                             QString(strings::kCliNotKorvaneFolder) + u'\n' + plain);
            QCOMPARE(fixture.tree.Names("plain"), QStringList{"plugins"});
        }
        QCOMPARE_FAILURE(fixture.Run(command), strings::kCliNoKorvaneFolder);
        const QString missing = fixture.tree.QPath("gone/");
        QCOMPARE_FAILURE(fixture.Run(QStringList{"--korvane", missing} + command),
                         QString::fromUtf8(strings::kCliKorvaneFolderMissing).arg(missing));
        QVERIFY(!fixture.tree.Exists("gone"));
    }
};

QTEST_GUILESS_MAIN(tst_CliUsage)
#include "tst_CliUsage.moc"
