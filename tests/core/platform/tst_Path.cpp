#include "core/platform/KPath.h"
#include "core/platform/Path.h"
#include "support/TestTree.h"

#include <QtTest>

using namespace korvane;

class tst_Path : public QObject
{
    Q_OBJECT

private slots:
    // Relative paths and names from files and the network: a path must stay below its base, a
    // name must name one entry of its folder.
    void untrustedPathsStayBelowTheirBase_data()
    {
        QTest::addColumn<QString>("rel");
        QTest::addColumn<bool>("contained");
        QTest::addColumn<bool>("plainName");
        // clang-format off
        QTest::newRow("empty") << "" << true << false;
        QTest::newRow("name") << "sniper.cs" << true << true;
        QTest::newRow("storage") << "storage\\" << true << false;
        QTest::newRow("slash") << "a/b" << true << false;
        QTest::newRow("dots in names") << "a..b\\c.d\\" << true << false;
        QTest::newRow("parent name") << ".." << false << false;
        QTest::newRow("parent inside") << "storage\\..\\..\\x\\" << false << false;
        QTest::newRow("parent with slash") << "a/../../x" << false << false;
        QTest::newRow("absolute backslash") << "\\windows\\" << false << false;
        QTest::newRow("absolute slash") << "/etc/" << false << false;
        QTest::newRow("drive") << "C:\\x\\" << false << false;
        QTest::newRow("drive relative") << "C:x" << false << false;
        QTest::newRow("stream") << "a.cs:evil" << false << false;
        QTest::newRow("control character") << QString("a\nb") << false << false;
        // clang-format on
    }
    void untrustedPathsStayBelowTheirBase()
    {
        QFETCH(QString, rel);
        QFETCH(bool, contained);
        QFETCH(bool, plainName);
        QCOMPARE(kpath::IsContainedRelative(rel.toStdString()), contained);
        QCOMPARE(kpath::IsPlainName(rel.toStdString()), plainName);
    }

    // Letters A to Z and the kind of separator do not tell two paths apart; other bytes do.
    void comparisonIgnoresCaseAndSeparators()
    {
        QVERIFY(!kpath::EndsWithNoCase("s", ".cs"));
        QVERIFY(Path("Storage\\Weapons\\").SameAs(Path("storage/weapons/")));
        QVERIFY(!Path("storage\\a.cs").SameAs(Path("storage\\a.cs\\b")));
        QVERIFY(!Path("\xc3\x89.cs").SameAs(Path("\xc3\xa9.cs")));
        QVERIFY(!(Path("a\\") == Path("A\\")));
    }

    // Each name is found in the letter case the disk has it; a name that is not there, and all
    // below it, stay as given.
    void theDiskDecidesTheLetterCase()
    {
        TestTree tree;
        tree.Write("Storage/Weapons/Blaster.DESC.txt", "x");
        const Path root(tree.Root());
        QVERIFY((root / "storage\\weapons\\blaster.desc.txt").Exists());
        QCOMPARE(QString::fromStdString(
                     kpath::FromNative((root / "storage\\weapons\\new.txt").OnDisk())),
                 tree.QPath("Storage/Weapons/new.txt"));
        QCOMPARE(QString::fromStdString(kpath::FromNative((root / "STORAGE/missing/X/").OnDisk())),
                 tree.QPath("Storage/missing/X/"));
        QVERIFY(!(root / "storage\\missing\\blaster.desc.txt").Exists());
    }
};

QTEST_GUILESS_MAIN(tst_Path)
#include "tst_Path.moc"
