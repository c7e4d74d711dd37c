// An atomic write keeps what the file it replaces has: its mode, the link it was written through,
// on Windows its attributes and the letter case of its name. A read-only file is not replaced.
#include "core/platform/AtomicFile.h"
#include "core/platform/KPath.h"
#include "res/Strings.h"
#include "support/TestTree.h"
#include "support/WindowsFiles.h"

#include <filesystem>
#include <QtTest>

using namespace korvane;

class tst_AtomicWrite : public QObject
{
    Q_OBJECT

private slots:
    void anAtomicWriteRespectsTheFileItReplaces_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("read-only") << 0444 << false;
        QTest::newRow("executable") << 0750 << true;
    }
    void anAtomicWriteRespectsTheFileItReplaces()
    {
        QFETCH(int, mode);
        QFETCH(bool, replaced);
        TestTree tree;
        tree.Write("real/setup.pfg", "old");
        const auto file = kpath::ToNative(tree.Path("real/setup.pfg"));
        std::filesystem::permissions(file, std::filesystem::perms(mode));
        QVERIFY(QFile::link(tree.QPath("real/setup.pfg"), tree.QPath("link.pfg")));

        for (const char* written : {"real/setup.pfg", "link.pfg"}) {
            QCOMPARE(kfs::WriteFileAtomically(kpath::ToNative(tree.Path(written)), "new").ok(),
                     replaced);
            QCOMPARE(tree.Read("real/setup.pfg"), std::string(replaced ? "new" : "old"));
            QCOMPARE(int(std::filesystem::status(file).permissions()), mode);
        }
        QVERIFY(std::filesystem::is_symlink(kpath::ToNative(tree.Path("link.pfg"))));
        QCOMPARE(tree.Names("real"), QStringList{"setup.pfg"});
    }

#ifdef Q_OS_WIN
    // A replaced file keeps its attributes and the letter case of its name, whatever case it is
    // named in; a read-only one is not replaced, as on POSIX systems, and nothing is left behind.
    void anAtomicReplaceKeepsTheAttributes()
    {
        TestTree tree;
        tree.Write("Setup.PFG", "old");
        const QString file = tree.QPath("Setup.PFG");
        QVERIFY(testsupport::SetAttributes(file, {.readOnly = false, .hidden = true}));
        const auto named = kpath::ToNative(tree.Path("setup.pfg"));
        QVERIFY(kfs::WriteFileAtomically(named, "new"));
        QCOMPARE(tree.Read("Setup.PFG"), std::string("new"));
        QVERIFY(testsupport::AttributesOf(file).hidden);
        QCOMPARE(testsupport::NameOnDisk(file), QString("Setup.PFG"));

        QVERIFY(testsupport::SetAttributes(file, {.readOnly = true, .hidden = true}));
        const Status refused = kfs::WriteFileAtomically(named, "newer");
        QVERIFY2(QString::fromStdString(refused.reason()).endsWith(strings::kReasonWriteProtected),
                 refused.reason().c_str());
        QCOMPARE(tree.Read("Setup.PFG"), std::string("new"));
        QCOMPARE(tree.Names(""), QStringList{"Setup.PFG"});
    }
#endif
};

QTEST_GUILESS_MAIN(tst_AtomicWrite)
#include "tst_AtomicWrite.moc"
