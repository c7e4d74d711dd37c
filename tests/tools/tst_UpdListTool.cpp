#include "core/updater/CUpdateList.h"
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
    return {tool.exitCode(), tool.readAllStandardOutput(), tool.readAllStandardError()};
}

} // namespace

class tst_UpdListTool : public QObject
{
    Q_OBJECT

private slots:
    void writtenListNamesEveryFileOfTheFolder()
    {
        TestTree tree;
        for (const char* file : {"sniper.cs", "sub/b.txt", "sub/deep/a.txt"})
            tree.Write(std::string("site/sniper/") + file, file);
        // Names go into the list as Windows-1252, as the program's clients read them.
        tree.Write("site/sniper/caf\xC3\xA9.cs", "caf");
        tree.Write("site/updates.txt",
                   "# served updates\nupdate = Sniper Caf\xC3\xA9\nversion = "
                   "1.10\ntarget = storage\\\nurl = http://h/s/\nfolder = sniper\n");
        QCOMPARE(std::get<0>(RunTool(tree, {"write", "site/updates.txt", "korvane.upd"})), 0);

        CUpdateList list;
        QVERIFY(list.Load(tree.Read("korvane.upd")).ok());
        const CUpdateInfo& update = list.GetAt(0);
        QCOMPARE(update.m_strUpdateName + " " + update.VersionText() + " " + update.m_strTargetDir +
                     " " + update.m_strBaseURL,
                 std::string("Sniper Caf\xE9 1.10 storage\\ http://h/s/"));
        QStringList files;
        for (const CUpdateFileInfo& file : update.m_arrFiles)
            files << QString::fromLatin1(file.m_strSubDir + file.m_strFile) + " " +
                         QString::number(file.m_dwSize);
        QCOMPARE(files, (QStringList{QString::fromLatin1("caf\xE9.cs 3"), "sniper.cs 9",
                                     "sub\\b.txt 9", "sub\\deep\\a.txt 14"}));

        const QString dump = std::get<1>(RunTool(tree, {"dump", "korvane.upd"}));
        QVERIFY(dump.startsWith("list: complete, 1 updates"));
        QVERIFY(dump.contains("file \"a.txt\", subfolder \"sub\\deep\\\", 14 bytes"));
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
