#include "core/launch/GameCommandLine.h"
#include "core/launch/GameLauncher.h"
#include "core/launch/QuickExec.h"
#include "core/platform/CProfile.h"
#include "core/platform/GameProcess.h"
#include "core/platform/ProfileEntries.h"
#include "support/TestTree.h"

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
        row("one mod", false, {"korvane"}, "", "-mod korvane");
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

    void storedNamesSplitAtEverySeparatorButALeadingOne_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Names>("expected");
        QTest::newRow("empty") << QString() << Names{};
        QTest::newRow("three") << QString("korvane\\alpha\\b") << Names{"korvane", "alpha", "b"};
        QTest::newRow("leading separator stays") << QString("\\a\\b") << Names{"\\a", "b"};
        QTest::newRow("doubled") << QString("a\\\\b") << Names{"a", "", "b"};
        QTest::newRow("trailing") << QString("a\\") << Names{"a", ""};
    }
    void storedNamesSplitAtEverySeparatorButALeadingOne()
    {
        QFETCH(QString, text);
        QFETCH(Names, expected);
        Names names{"kept"};
        QCOMPARE(launch::SplitString(text.toStdString(), '\\', names), expected.size());
        expected.insert(expected.begin(), "kept"); // appends, never replaces
        QCOMPARE(names, expected);
    }

    void defaultModIsTheKorvaneFolderName_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("name");
        const auto row = [](const char* setting, const char* name) {
            QTest::newRow(setting) << QString(setting) << QString(name);
        };
        row("C:\\Games\\Tribes\\korvane\\", "korvane");
        row("C:\\Games\\Tribes\\korvane", "korvane");
        row("/home/p/Tribes/Korvane/", "Korvane");
        row("", "");
        row("C:\\", "");
        row("/", "");
    }
    void defaultModIsTheKorvaneFolderName()
    {
        QFETCH(QString, setting);
        QFETCH(QString, name);
        QCOMPARE(QString::fromStdString(launch::GetKorvaneFolderName(setting.toStdString())), name);
    }

    void gameReceivesArgumentsAsAWindowsProgramWould_data()
    {
        QTest::addColumn<QString>("parameters");
        QTest::addColumn<QStringList>("arguments");
        const auto row = [](const char* name, const char* parameters, QStringList arguments) {
            QTest::newRow(name) << QString(parameters) << arguments;
        };
        row("blanks only", " \t ", {});
        row("blanks and tabs separate", "  -mod\tkorvane \t -x  ", {"-mod", "korvane", "-x"});
        row("quoted blanks", "+exec \"my server.cs\" x", {"+exec", "my server.cs", "x"});
        row("quotes inside an argument", "ab\"c d\"ef", {"abc def"});
        row("empty quoted arguments", "a \"\" b \"\"", {"a", "", "b", ""});
        row("unterminated quote", "\"open text\tand tab", {"open text\tand tab"});
        row("backslashes alone are literal", "C:\\a\\\\b \\\\srv\\", {"C:\\a\\\\b", "\\\\srv\\"});
        row("escaped quote", "a\\\"b", {"a\"b"});
        row("two backslashes then quote", "a\\\\\"b c\"", {"a\\b c"});
        row("three backslashes then quote", "a\\\\\\\"b", {"a\\\"b"});
        row("quoted folder ending in backslash", "\"C:\\d\\\\\" next", {"C:\\d\\", "next"});
        row("doubled quote inside quotes", "\"a\"\"b\" c", {"a\"b", "c"});
        row("shell text is plain", "; $(touch x) `id` * | & > y",
            {";", "$(touch", "x)", "`id`", "*", "|", "&", ">", "y"});
    }
    void gameReceivesArgumentsAsAWindowsProgramWould()
    {
        QFETCH(QString, parameters);
        QFETCH(QStringList, arguments);
        QStringList actual;
        for (const std::string& argument :
             kprocess::SplitWindowsArguments(parameters.toStdString()))
            actual.append(QString::fromStdString(argument));
        QCOMPARE(actual, arguments);
    }

    void failedStartIsReportedAtOnceAndSilently_data()
    {
        QTest::addColumn<QByteArray>("tribesExe");
        QTest::addColumn<bool>("folderSet");
        QTest::addColumn<launch::LaunchStatus>("status");
        using enum launch::LaunchStatus;
        QTest::newRow("Tribes folder not set") << QByteArray() << false << GameNotFound;
        QTest::newRow("no tribes.exe") << QByteArray() << true << GameNotFound;
        QTest::newRow("cannot run") << QByteArray("#!/no/such/shell\n") << true << StartFailed;
    }
    void failedStartIsReportedAtOnceAndSilently()
    {
        QFETCH(QByteArray, tribesExe);
        QFETCH(bool, folderSet);
        QFETCH(launch::LaunchStatus, status);
        TestTree tree;
        tree.MakeFolder("tribes");
        tree.MakeFolder("empty");
        if (!tribesExe.isEmpty()) {
            tree.Write("tribes/tribes.exe", tribesExe.toStdString());
            QFile::setPermissions(tree.QPath("tribes/tribes.exe"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(tree.QPath("empty")));
        QElapsedTimer elapsed;
        elapsed.start();
        const auto started =
            launch::LaunchTribes(folderSet ? tree.Path("tribes/") : "", "-mod korvane", {});
        qputenv("PATH", path);
        QCOMPARE(started, status);
        QCOMPARE_LT(elapsed.elapsed(), 5000);
        QCOMPARE(launch::MessageFor(status), std::string_view());
    }

    void onlyAStoredOneMeansDedicated()
    {
        const TestTree tree;
        const CProfile settings = CProfile::AtFile(tree.QPath("profile.ini"));
        for (const int dedicated : {1, 2, 0}) {
            settings.WriteProfileInt(profile::kQuickExec, profile::kDedicated, dedicated);
            QCOMPARE(launch::LoadQuickExec(settings).bDedicated, dedicated == 1);
        }
    }

    // A Windows tribes.exe runs from its folder through the Wine command, in the prefix that
    // holds it.
    void windowsGameRunsThroughTheWineCommandInItsPrefix_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("commandArguments");
        QTest::newRow("wine on the PATH") << QString() << QStringList();
        QTest::newRow("another Wine build, with arguments")
            << QStringLiteral("\"%1/my wine\" --debug \"a b\"") << QStringList{"--debug", "a b"};
    }
    void windowsGameRunsThroughTheWineCommandInItsPrefix()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, commandArguments);
        const TestTree tree;
        tree.Write("pfx/system.reg", "WINE REGISTRY Version 2\n");
        tree.Write("pfx/drive_c/Tribes/tribes.exe", std::string("MZ\x90\0", 4));
        // The stand-in Wine records its prefix, working folder and arguments, whole by a rename.
        const std::string record = tree.Path("launched.txt");
        for (const char* wine : {"bin/wine", "bin/my wine"}) {
            tree.Write(wine,
                       "#!/bin/sh\n{ echo \"$WINEPREFIX\"; pwd -P; printf '%s\\n' \"$@\"; } > '" +
                           record + ".part' && mv '" + record + ".part' '" + record + "'\n");
            QFile::setPermissions(tree.QPath(wine), QFile::ReadOwner | QFile::ExeOwner);
        }
        const QByteArray path = qgetenv("PATH"), prefix = qgetenv("WINEPREFIX");
        const auto restore = qScopeGuard([&] {
            qputenv("PATH", path);
            if (!prefix.isNull())
                qputenv("WINEPREFIX", prefix);
        });
        qputenv("PATH", QFile::encodeName(tree.QPath("bin")) + ":" + path);
        qunsetenv("WINEPREFIX");
        const kprocess::WineSettings wine{command.replace("%1", tree.QPath("bin")).toStdString(),
                                          ""};
        QCOMPARE(
            launch::LaunchTribes(tree.Path("pfx/drive_c/Tribes/"), "-mod korvane \"a b\"", wine),
            launch::LaunchStatus::Ok);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QString::fromStdString(record)), 10000);
        QFile file(QString::fromStdString(record));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString folder = QDir(tree.QPath("pfx/drive_c/Tribes")).canonicalPath();
        const QStringList expected = QStringList{QDir(tree.QPath("pfx")).canonicalPath(), folder} +
                                     commandArguments +
                                     QStringList{folder + "/tribes.exe", "-mod", "korvane", "a b"};
        QCOMPARE(QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts), expected);
    }
};

QTEST_GUILESS_MAIN(tst_GameCommandLine)
#include "tst_GameCommandLine.moc"
