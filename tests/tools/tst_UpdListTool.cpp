#include "support/TestTree.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

using namespace korvane;

namespace {

// The tool's exit code, with what it printed on standard output and standard error.
std::tuple<int, QString, QString> RunTool(const TestTree& tree, const QStringList& args)
{
    QProcess tool;
    tool.setWorkingDirectory(QString::fromStdString(tree.Root()));
    tool.start(QStringLiteral(UPDLIST_PATH), args);
    tool.waitForFinished(30000);
    // A Windows console program ends its lines in CR LF.
    return {tool.exitCode(), QString(tool.readAllStandardOutput()).replace("\r\n", "\n"),
            tool.readAllStandardError()};
}

} // namespace

class tst_UpdListTool : public QObject
{
    Q_OBJECT

private slots:
    // The list names every file of the folder, a subfolder's after its parent's, and holds its
    // texts as Windows-1252, as the program's clients read them (dump shows each byte as its
    // Latin-1 character).
    void writtenListNamesEveryFileOfTheFolder()
    {
        TestTree tree;
        for (const char* file : {"sniper.cs", "sub/b.txt", "sub/deep/a.txt"})
            tree.Write(std::string("site/sniper/") + file, file);
        tree.Write("site/sniper/caf\xC3\xA9.cs", "caf");
        tree.Write("site/updates.txt",
                   "# served updates\nupdate = Sniper Caf\xC3\xA9\nversion = "
                   "1.10\ntarget = storage\\\nurl = http://h/s/\nfolder = sniper\n");
        QCOMPARE(std::get<0>(RunTool(tree, {"write", "site/updates.txt", "korvane.upd"})), 0);
        QCOMPARE(std::get<1>(RunTool(tree, {"dump", "korvane.upd"})),
                 QStringLiteral(
                     "list: complete, 1 updates, 112 bytes read, 0 bytes after the last record\n"
                     "update 0: name \"Sniper Café\", version 1.10, target \"storage\\\", base "
                     "URL \"http://h/s/\", 4 files\n"
                     "  file \"café.cs\", subfolder \"\", 3 bytes\n"
                     "  file \"sniper.cs\", subfolder \"\", 9 bytes\n"
                     "  file \"b.txt\", subfolder \"sub\\\", 9 bytes\n"
                     "  file \"a.txt\", subfolder \"sub\\deep\\\", 14 bytes\n"));
    }

    void descriptionsThatCannotMakeAListAreRefused_data()
    {
        const QString good =
            "update = U\nversion = 1.0\ntarget = storage\\\nurl = http://h/u/\nfolder = f\n";
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("complaint");
        // clang-format off
        const auto bad = [&](const char* a, const char* b) { return QString(good).replace(a, b); };
        QTest::newRow("target outside the folder") << bad("storage\\", "..\\") << "target";
        QTest::newRow("version beyond a byte") << bad("1.0", "1.256") << "version";
        QTest::newRow("base URL without its slash") << bad("u/\n", "u\n") << "base URL";
        QTest::newRow("no folder") << bad("folder = f\n", "") << "'folder'";
        QTest::newRow("name beyond Windows-1252") << bad("= U\n", "= \xCE\xA9\n")
                                                  << "updates.txt:1: holds a character";
        QTest::newRow("file name beyond Windows-1252") << good
            << QDir::toNativeSeparators(QString::fromUtf8("f/\xCE\xA9.cs")) +
                   " cannot be part of an update (holds a character";
        // clang-format on
    }

    void descriptionsThatCannotMakeAListAreRefused()
    {
        QFETCH(QString, description);
        QFETCH(QString, complaint);
        TestTree tree;
        tree.Write("f/a.cs", "a");
        if (QTest::currentDataTag() == QLatin1String("file name beyond Windows-1252"))
            tree.Write("f/\xCE\xA9.cs", "omega");
        tree.Write("updates.txt", description.toStdString());
        const auto [code, out, err] = RunTool(tree, {"write", "updates.txt", "out.upd"});
        QCOMPARE(code, 1);
        QVERIFY2(err.contains(complaint), qPrintable(err));
        QVERIFY(!tree.Exists("out.upd"));
    }
};

QTEST_GUILESS_MAIN(tst_UpdListTool)
#include "tst_UpdListTool.moc"
