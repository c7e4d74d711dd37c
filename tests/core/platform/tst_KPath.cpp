#include "core/platform/KPath.h"
#include "support/TestTree.h"

#include <QtTest>

using namespace korvane;

class tst_KPath : public QObject
{
    Q_OBJECT

private slots:
    void untrustedRelativePathsStayBelowTheirBase_data()
    {
        QTest::addColumn<QString>("rel");
        QTest::addColumn<bool>("contained");
        QTest::newRow("empty") << "" << true;
        QTest::newRow("storage") << "storage\\" << true;
        QTest::newRow("nested") << "storage\\a\\b\\" << true;
        QTest::newRow("dots in names") << "a..b\\c.d\\" << true;
        QTest::newRow("parent") << "..\\" << false;
        QTest::newRow("parent inside") << "storage\\..\\..\\x\\" << false;
        QTest::newRow("parent with slash") << "a/../../x" << false;
        QTest::newRow("absolute backslash") << "\\windows\\" << false;
        QTest::newRow("absolute slash") << "/etc/" << false;
        QTest::newRow("drive") << "C:\\x\\" << false;
        QTest::newRow("drive relative") << "C:x" << false;
        QTest::newRow("stream") << "a.cs:evil" << false;
        QTest::newRow("control character") << QString("a\nb") << false;
    }
    void untrustedRelativePathsStayBelowTheirBase()
    {
        QFETCH(QString, rel);
        QFETCH(bool, contained);
        QCOMPARE(kpath::IsContainedRelative(rel.toStdString()), contained);
    }

    void plainNames()
    {
        QVERIFY(kpath::IsPlainName("sniper.cs"));
        for (const char* name : {"", "..", "a/b", "a\\b", "c:"})
            QVERIFY2(!kpath::IsPlainName(name), name);
    }

    void storedFormReachesTheFileSystemWhateverTheLetterCase()
    {
        TestTree tree;
        tree.Write("Storage/Weapons/Blaster.DESC.txt", "x");
        QVERIFY(kpath::Exists(tree.Root() + "storage\\weapons\\blaster.desc.txt"));
        const auto resolved = kpath::ResolveNoCase(tree.Root() + "storage\\weapons\\new.txt");
        QCOMPARE(QString::fromStdString(kpath::FromNative(resolved)),
                 QString::fromStdString(tree.Root() + "Storage/Weapons/new.txt"));
        QVERIFY(!kpath::Exists(tree.Root() + "storage\\missing\\blaster.desc.txt"));
    }

    void caseFoldingIsAsciiOnly()
    {
        QVERIFY(kpath::EqualsNoCase("Blaster", "bLASTER"));
        QVERIFY(!kpath::EqualsNoCase("\xc3\x89", "\xc3\xa9")); // É and é stay different bytes
        QVERIFY(kpath::CompareNoCase("a", "B") < 0);
        QVERIFY(!kpath::EndsWithNoCase("s", ".cs"));
    }
};

QTEST_GUILESS_MAIN(tst_KPath)
#include "tst_KPath.moc"
