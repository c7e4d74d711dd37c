#include "core/platform/FileSystem.h"
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

    // Names from update lists, configuration files and the command line go to the Windows
    // game's folders: Windows must reach the entry of exactly that name, never a device or
    // another entry. A path passes when every name of it does.
    void windowsKeepsTheNamesAsWritten_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("kept");
        // clang-format off
        QTest::newRow("script") << "sniper.cs" << true;
        QTest::newRow("beyond ASCII") << "caf\u00e9.desc.txt" << true;
        QTest::newRow("folders") << "storage\\weapons\\" << true;
        QTest::newRow("two separators") << "storage\\\\weapons\\" << true;
        QTest::newRow("parent") << "storage\\..\\x.cs" << false;
        for (const char* device :
             {"CON.cs", "aux", "prn.a.b", "conin$", "CONOUT$.cs", "com0", "Lpt9", "con .cs"})
            QTest::newRow(device) << device << false;
        QTest::newRow("superscript one") << "com\u00b9.cs" << false;
        QTest::newRow("device in a path") << "storage\\aux\\a.cs" << false;
        for (const char* near : {"console.cs", "com10", "com.cs", "nul-pack.cs", "lpt\u00b4"})
            QTest::newRow(near) << near << true;
        for (const char* shortForm : {"SNIPER~1.CS", "snipe~12", "~1", "AB~1.C"})
            QTest::newRow(shortForm) << shortForm << false;
        for (const char* longForm : {"sniper~1x.cs", "longername~1.cs", "a~1.long", "a~.cs"})
            QTest::newRow(longForm) << longForm << true;
        QTest::newRow("ends in a dot") << "sniper.cs." << false;
        QTest::newRow("ends in a blank") << "sniper.cs " << false;
        QTest::newRow("folder ends in a dot") << "storage.\\sniper.cs" << false;
        QTest::newRow("dot folder") << ".\\sniper.cs" << false;
        for (const char* wildcard : {"a<b", "a>b", "a\"b", "a|b", "a?b", "a*b"})
            QTest::newRow(wildcard) << wildcard << false;
        // clang-format on
    }
    void windowsKeepsTheNamesAsWritten()
    {
        QFETCH(QString, path);
        QFETCH(bool, kept);
        const std::string text = path.toStdString();
        QCOMPARE(kpath::IsWindowsRelative(text), kept);
        const bool oneName = text.find_first_of("\\/") == std::string::npos;
        if (oneName)
            QCOMPARE(kpath::IsWindowsName(text), kept);
#ifdef Q_OS_WIN
        if (oneName)
            QCOMPARE(kpath::IsStorableName(text), kept);
#else
        QCOMPARE(kpath::IsStorableName(text), !path.contains(u'\\'));
#endif
    }

    // Letters A to Z and the kind of separator do not tell two paths apart; other bytes do.
    void comparisonIgnoresCaseAndSeparators()
    {
        QVERIFY(!kpath::EndsWithNoCase("s", ".cs"));
        QVERIFY(Path("Storage\\Weapons\\").SameAs(Path("storage/weapons/")));
        QVERIFY(!Path("storage\\a.cs").SameAs(Path("storage\\a.cs\\b")));
        QVERIFY(!Path("\xc3\x89.cs").SameAs(Path("\xc3\xa9.cs")));
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

    // Subfolders are made in the letter case the disk has, below their root only, and a level
    // that cannot be made (a file of its name) fails naming it; what was made is told, outermost
    // first, for a caller that takes it away again.
    void subfoldersAreMadeBelowTheirRootOnly()
    {
        TestTree tree;
        tree.Write("Storage/Weapons/x.cs", "x");
        tree.Write("Storage/file", "x");
        const Path root(tree.Root());
        std::vector<Path> made;
        QVERIFY(kfs::MakeSubfolders(root, "storage\\weapons/new\\deep\\", &made));
        QVERIFY(tree.Exists("Storage/Weapons/new/deep"));
        QCOMPARE(made.size(), size_t{2});
        QVERIFY(made[0].SameAs(root / "storage\\weapons\\new\\"));
        made.clear();
        QVERIFY(!kfs::MakeSubfolders(root, "..\\outside\\", &made));
        QVERIFY(!kfs::MakeSubfolders(root / "gone\\", "a\\", &made));
        QVERIFY(!kfs::MakeSubfolders(Path(), "a\\", &made));
        const Status blocked = kfs::MakeSubfolders(root, "storage\\file\\below\\", &made);
        QVERIFY(!blocked && blocked.reason().find("file") != std::string::npos);
        QVERIFY(made.empty());
        QCOMPARE(tree.Names(""), QStringList{"Storage"});
    }
};

QTEST_GUILESS_MAIN(tst_Path)
#include "tst_Path.moc"
