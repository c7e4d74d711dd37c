#include "core/launch/GameCommandLine.h"
#include "core/launch/GameLauncher.h"
#include "core/launch/QuickExec.h"
#include "core/platform/GameProcess.h"
#include "core/platform/KPath.h"
#include "core/platform/ProfileEntries.h"
#include "core/platform/SettingsProfile.h"
#include "res/Strings.h"
#include "support/TestTree.h"
#include "support/TribesStandIn.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace korvane;

using Names = std::vector<std::string>;

class tst_GameCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void gameGetsDedicatedThenModsThenExtraText_data()
    {
        QTest::addColumn<bool>("dedicated");
        QTest::addColumn<Names>("mods");
        QTest::addColumn<QString>("extra");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, bool dedicated, Names mods, const char* extra,
                            const char* expected) {
            QTest::newRow(name) << dedicated << mods << QString(extra) << QString(expected);
        };
        row("everything", true, {"korvane", "alpha"}, "X", "-dedicated -mod korvane -mod alpha X");
        row("nothing", false, {}, "", "");
        row("extra text alone keeps its blank", false, {}, "X", " X");
        row("nothing quoted or trimmed", false, {"my mod"}, " +exec \"a b\" ",
            "-mod my mod  +exec \"a b\" ");
    }
    void gameGetsDedicatedThenModsThenExtraText()
    {
        QFETCH(bool, dedicated);
        QFETCH(Names, mods);
        QFETCH(QString, extra);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromStdString(
                     launch::BuildGameCommandLine(dedicated, mods, extra.toStdString())),
                 expected);
    }

    // Stored mod names split at backslashes, the Korvane folder's name as the default mod, and
    // the game's arguments as a Windows program splits them; each appends to what it is given.
    void textBecomesNamesAndArguments_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("text");
        QTest::addColumn<Names>("expected");
        const auto row = [](const char* rule, const char* name, const char* text, Names expected) {
            QTest::addRow("%s: %s", rule, name) << QString(rule) << QString(text) << expected;
        };
        row("split", "empty", "", {});
        row("split", "three", "korvane\\alpha\\b", {"korvane", "alpha", "b"});
        row("split", "leading separator stays", "\\a\\b", {"\\a", "b"});
        row("split", "doubled", "a\\\\b", {"a", "", "b"});
        row("mod", "Windows folder", "C:\\Games\\Tribes\\korvane\\", {"korvane"});
        row("mod", "no trailing separator", "C:\\Games\\Tribes\\korvane", {"korvane"});
        row("mod", "letter case kept", "/home/p/Tribes/Korvane/", {"Korvane"});
        row("mod", "unset", "", {""});
        row("mod", "drive", "C:\\", {""});
        row("args", "blanks only", " \t ", {});
        row("args", "blanks and tabs separate", "  -mod\tkorvane \t -x  ",
            {"-mod", "korvane", "-x"});
        row("args", "quotes inside an argument", "ab\"c d\"ef", {"abc def"});
        row("args", "empty quoted arguments", "a \"\" b \"\"", {"a", "", "b", ""});
        row("args", "unterminated quote", "\"open text\tand tab", {"open text\tand tab"});
        row("args", "doubled quote inside quotes", "\"a\"\"b\" c", {"a\"b", "c"});
        row("args", "shell text is plain", "; $(touch x) `id` * | & > y",
            {";", "$(touch", "x)", "`id`", "*", "|", "&", ">", "y"});
    }
    void textBecomesNamesAndArguments()
    {
        QFETCH(QString, rule);
        QFETCH(QString, text);
        QFETCH(Names, expected);
        const std::string input = text.toStdString();
        Names names{"kept"};
        if (rule == "split")
            QCOMPARE(launch::SplitString(input, '\\', names), expected.size());
        else if (rule == "mod")
            names.push_back(launch::GetKorvaneFolderName(input));
        else
            std::ranges::copy(kprocess::SplitWindowsArguments(input), std::back_inserter(names));
        expected.insert(expected.begin(), "kept");
        QCOMPARE(names, expected);
    }

    // tribes.exe of this system starts in the Tribes folder, found in any letter case, and gets
    // the parameter string as the arguments a Windows program splits from it: quotes group, a
    // backslash is literal unless quotes follow it, text beyond ASCII arrives whole.
    void gameStartsInItsFolderWithTheArgumentsWindowsGives()
    {
        const TestTree tree;
        QVERIFY(testsupport::PutTribesStandIn(tree, "Tribes/tribes.exe"));
        const std::string parameters =
            "-mod korvane \"my mod\" \"say \\\"hi\\\"\" C:\\games\\ \"end\\\\\" caf\xc3\xa9";
        QVERIFY(launch::LaunchTribes(tree.Path("tribes/"), parameters, {}).ok());
        const QStringList arguments{"-mod",
                                    "korvane",
                                    "my mod",
                                    "say \"hi\"",
                                    "C:\\games\\",
                                    "end\\",
                                    QString::fromUtf8("caf\xc3\xa9")};
        QTRY_COMPARE_WITH_TIMEOUT(testsupport::TribesRun(tree, "Tribes/"),
                                  testsupport::ExpectedRun(tree, "Tribes/", arguments), 10000);
    }

    // A tribes.exe that is no program is there all the same: Windows, which would start it,
    // gives its own reason, with the file named; elsewhere it is no game to start.
    void aTribesExeThatIsNoProgramIsNotTakenForAMissingOne()
    {
        const TestTree tree;
        tree.Write("tribes/tribes.exe", "not a program\r\n");
        const korvane::Status launched = launch::LaunchTribes(tree.Path("tribes/"), "", {});
#ifdef Q_OS_WIN
        QCOMPARE(launched.kind<launch::LaunchFailure>(), launch::LaunchFailure::StartFailed);
        const QString reason = QString::fromStdString(launched.reason());
        const QString because = QString::fromUtf8(strings::kGameNotStartedBecause).arg("");
        QVERIFY2(reason.startsWith(because) && reason.size() > because.size() &&
                     !reason.contains("%1"),
                 qPrintable(reason));
#else
        QCOMPARE(launched.kind<launch::LaunchFailure>(), launch::LaunchFailure::GameNotFound);
#endif
    }

    // A Windows tribes.exe runs from its folder through the Wine command, in the prefix that
    // holds it; a start that fails is known at once.
    void gameStartsThroughTheWineCommandInItsPrefix_data()
    {
        QTest::addColumn<QString>("tribes"); // the Tribes folder below the tree; empty: not set
        QTest::addColumn<QByteArray>("tribesExe");
        QTest::addColumn<QString>("wine");
        QTest::addColumn<std::optional<launch::LaunchFailure>>("failure"); // none: started
        QTest::addColumn<QStringList>("wineArguments");
        const QByteArray windows("MZ\x90\0", 4), none;
        const char* inPrefix = "pfx/drive_c/Tribes/";
        const std::optional<launch::LaunchFailure> Ok,
            GameNotFound = launch::LaunchFailure::GameNotFound,
            StartFailed = launch::LaunchFailure::StartFailed;
        // clang-format off
        QTest::newRow("wine on the PATH") << inPrefix << windows << "" << Ok << QStringList();
        QTest::newRow("another Wine build, with arguments") << inPrefix << windows
            << "\"%1/my wine\" --debug \"a b\"" << Ok << QStringList{"--debug", "a b"};
        QTest::newRow("Tribes folder not set") << "" << none << "" << GameNotFound << QStringList();
        QTest::newRow("cannot run") << "tribes/" << QByteArray("#!/no/such/shell\n") << ""
                                    << StartFailed << QStringList();
        // clang-format on
    }
    void gameStartsThroughTheWineCommandInItsPrefix()
    {
        QFETCH(QString, tribes);
        QFETCH(QByteArray, tribesExe);
        QFETCH(QString, wine);
        QFETCH(std::optional<launch::LaunchFailure>, failure);
        QFETCH(QStringList, wineArguments);
        const TestTree tree;
        tree.Write("pfx/system.reg", "WINE REGISTRY Version 2\n");
        if (!tribesExe.isEmpty()) {
            tree.Write(tribes.toStdString() + "tribes.exe", tribesExe.toStdString());
            QFile::setPermissions(tree.QPath(tribes.toStdString() + "tribes.exe"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        // The stand-in Wine records its prefix, working folder and arguments.
        for (const char* program : {"bin/wine", "bin/my wine"}) {
            tree.Write(program,
                       "#!/bin/sh\n{ echo \"$WINEPREFIX\"; pwd -P; printf '%s\\n' \"$@\"; } > '" +
                           tree.Path("launched.txt") + "'\n");
            QFile::setPermissions(tree.QPath(program), QFile::ReadOwner | QFile::ExeOwner);
        }
        // Nothing but the stand-ins on the PATH.
        const QByteArray path = qgetenv("PATH");
        const auto restore = qScopeGuard([&] { qputenv("PATH", path); });
        qputenv("PATH", QFile::encodeName(tree.QPath("bin")));
        qunsetenv("WINEPREFIX");
        QElapsedTimer elapsed;
        elapsed.start();
        const korvane::Status launched = launch::LaunchTribes(
            tribes.isEmpty() ? "" : tree.Path(tribes.toStdString()), "-mod korvane \"a b\"",
            {wine.replace("%1", tree.QPath("bin")).toStdString(), ""});
        QCOMPARE(launched.kind<launch::LaunchFailure>(), failure);
        QCOMPARE_LT(elapsed.elapsed(), 5000);
        if (failure)
            return;
        const QString folder = QDir(tree.QPath("pfx/drive_c/Tribes")).canonicalPath();
        const QStringList expected = QStringList{QDir(tree.QPath("pfx")).canonicalPath(), folder} +
                                     wineArguments +
                                     QStringList{folder + "/tribes.exe", "-mod", "korvane", "a b"};
        QTRY_COMPARE_WITH_TIMEOUT(QString::fromStdString(tree.Read("launched.txt")),
                                  expected.join('\n') + '\n', 10000);
    }

    // Which Wine prefix a Windows tribes.exe runs in.
    void gameRunsInThePrefixThatHoldsIt_data()
    {
        QTest::addColumn<QString>("tribes");
        QTest::addColumn<QString>("userPrefix");
        QTest::addColumn<QString>("environmentPrefix");
        QTest::addColumn<QString>("expected"); // below the tree, or a full path as given
        // clang-format off
        QTest::newRow("inside a prefix") << "pfx/drive_c/Games/Tribes" << "" << "" << "pfx";
        QTest::newRow("through the prefix's C: link") << "pfx/dosdevices/c:/Games/Tribes" << "" << "" << "pfx";
        QTest::newRow("drive_c without system.reg") << "bare/drive_c/Tribes" << "" << "" << "";
        QTest::newRow("beside drive_c, not in it") << "pfx/Tribes" << "" << "" << "";
        QTest::newRow("a prefix the user set") << "pfx/drive_c/Games/Tribes" << "/home/u/my prefix" << "" << "/home/u/my prefix";
        QTest::newRow("a prefix of the environment") << "games/Tribes" << "/home/u/my prefix" << "/srv/wine" << "/srv/wine";
        // clang-format on
    }
    void gameRunsInThePrefixThatHoldsIt()
    {
        QFETCH(QString, tribes);
        QFETCH(QString, userPrefix);
        QFETCH(QString, environmentPrefix);
        QFETCH(QString, expected);
        const TestTree tree;
        tree.Write("pfx/system.reg", "WINE REGISTRY Version 2\n");
        tree.Write("bare/user.reg", "WINE REGISTRY Version 2\n");
        for (const char* folder : {"pfx/drive_c/Games/Tribes", "pfx/dosdevices", "pfx/Tribes",
                                   "bare/drive_c/Tribes", "games/Tribes"})
            tree.MakeFolder(folder);
        QVERIFY(QFile::link(QStringLiteral("../drive_c"), tree.QPath("pfx/dosdevices/c:")));

        if (!expected.isEmpty() && !expected.startsWith(u'/'))
            expected = QDir(tree.QPath(expected.toStdString())).canonicalPath();
        const std::string prefix =
            kprocess::ChooseWinePrefix(kpath::ToNative(tree.Path(tribes.toStdString())),
                                       userPrefix.toStdString(), environmentPrefix.toStdString());
        QCOMPARE(QString::fromStdString(prefix), expected);
    }
};

QTEST_GUILESS_MAIN(tst_GameCommandLine)
#include "tst_GameCommandLine.moc"
