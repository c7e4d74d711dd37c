#include "core/platform/GameProcess.h"
#include "core/platform/KPath.h"
#include "support/TestTree.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace korvane;

// Which Wine prefix a Windows tribes.exe runs in.
class tst_WinePrefix : public QObject
{
    Q_OBJECT

private slots:
    void gameRunsInThePrefixThatHoldsIt_data()
    {
        QTest::addColumn<QString>("tribes");
        QTest::addColumn<QString>("userPrefix");
        QTest::addColumn<QString>("environmentPrefix");
        QTest::addColumn<QString>("expected"); // below the tree, or a full path as given
        // clang-format off
        QTest::newRow("inside a prefix") << "pfx/drive_c/Games/Tribes" << "" << "" << "pfx";
        QTest::newRow("through the prefix's C: link") << "pfx/dosdevices/c:/Games/Tribes" << "" << "" << "pfx";
        QTest::newRow("a link in drive_c to a folder outside") << "pfx/drive_c/Linked" << "" << "" << "pfx";
        QTest::newRow("outside any prefix") << "games/Tribes" << "" << "" << "";
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

QTEST_GUILESS_MAIN(tst_WinePrefix)
#include "tst_WinePrefix.moc"
