#include "CliTestSupport.h"
#include "res/Strings.h"
#include "res/Version.h"

using namespace korvane;

// The tool's command line: help, version, wrong usage, and which settings and folders it uses.
class tst_CliUsage : public QObject
{
    Q_OBJECT

private slots:
    // Help and version go to standard output. Wrong usage exits with 2 and a usage line on standard
    // error, the command's when the command is known.
    void theCommandLineIsAnsweredOnItsStream_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const auto help = [](const char* name, const QStringList& arguments, const QString& text) {
            QTest::newRow(name) << arguments << 0 << text << QString();
        };
        const auto wrong =
            [](const char* name, const QStringList& arguments, const QString& reason,
               const char* usage = strings::kCliUsage, const QString& command = {}) {
                QTest::newRow(name)
                    << arguments << 2 << QString()
                    << QStringLiteral("korvane-cli: %1\n%2\nTry 'korvane-cli %3--help' for more.\n")
                           .arg(reason, QString::fromUtf8(usage),
                                command.isEmpty() ? QString() : command + u' ');
            };
        const QString tool = QString::fromUtf8(strings::kCliHelp);
        // clang-format off
        help("help", {"--help"}, tool);
        // Help is wanted even when the arguments the command needs are missing.
        help("command's help, without its arguments", {"use", "-h"}, QString::fromUtf8(strings::kCliUseUsage) + "\n\n" + strings::kCliUseHelp);
        help("version", {"--version"}, QStringLiteral("korvane-cli %1\n").arg(version::kVersion));
        wrong("no command", {}, "no command given.");
        wrong("unknown command", {"frobnicate"}, "unknown command 'frobnicate'.");
        wrong("empty folder", {"--tribes=", "launch"}, "--tribes needs a folder.");
        wrong("unknown option", {"list", "--bogus"}, "Unknown option 'bogus'.", strings::kCliListUsage, "list");
        wrong("no key", {"unuse"}, "missing KEY.", strings::kCliUnuseUsage, "unuse");
        wrong("two keys to describe", {"describe", "a", "b", "--name", "x"}, "unexpected argument 'b'.", strings::kCliDescribeUsage, "describe");
        // Names by which Windows would reach a device or another entry; which they are, tst_Path tries.
        wrong("modification name of a device", {"quickexec", "--set", "--mod", "Con"}, "'Con' is not a modification folder's name: it is empty, holds a backslash, or is not a name Windows keeps as written.", strings::kCliQuickExecUsage, "quickexec");
        wrong("configuration file of a device", {"save-config", "nul.pfg"}, QStringLiteral("'nul.pfg' is no configuration file's name: %1.").arg(strings::kReasonNotWindowsName), strings::kCliSaveConfigUsage, "save-config");
        wrong("update index that is no number", {"install", "0", "first"}, "'first' is not an update index.", strings::kCliInstallUsage, "install");
        wrong("launch choices without --set", {"quickexec", "--dedicated"}, "--dedicated, --mod and --extra go with --set.", strings::kCliQuickExecUsage, "quickexec");
        wrong("both ways to settle a changed copy", {"load-config", "a.pfg", "--keep-mine", "--use-storage"}, strings::kCliSettleBoth, strings::kCliLoadConfigUsage, "load-config");
        // clang-format on
    }
    void theCommandLineIsAnsweredOnItsStream()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const CliResult result = CliFixture().Run(arguments);
        QCOMPARE(result.out, out);
        QCOMPARE(result.err, err);
        QCOMPARE(result.status, status);
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
                             QString(strings::kNotKorvaneFolder) + u'\n' + plain);
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
