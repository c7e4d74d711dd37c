// The commands on one Korvane folder: what they refuse before the lock, what a lock that cannot
// be had leaves undone, and the copies a refusal for differing copies hands to its caller, for a
// command of the catalogue and for an installation.
#include "core/catalogue/KorvaneWorkflow.h"
#include "support/CatalogueTestSupport.h"
#include "support/TestTree.h"

#include <QtTest>

using namespace korvane;

using testsupport::Files;
using testsupport::Plugin;

namespace {

// A lock that is always had, counting how often it was taken.
struct CountingLock
{
    int taken = 0;
    KorvaneWorkflow::Locking locking()
    {
        return [this](FolderLock::Use, const Path&, const std::function<void()>& step) {
            ++taken;
            step();
            return korvane::Status::Success();
        };
    }
};

// blaster is in use, the player's copy edited.
void WriteEditedBlaster(const TestTree& tree)
{
    tree.Write("korvane.cs", "");
    tree.Write("storage/blaster.cs", "stored blaster");
    tree.Write("plugins/blaster.cs", "my blaster");
    tree.Write("blaster.pfg", "UseDirectory=TRUE\r\nPlugin=,blaster\r\n");
}

} // namespace

class tst_KorvaneWorkflow : public QObject
{
    Q_OBJECT

private slots:
    // Any folder can be named as the Korvane folder; one that exists without the modification's
    // script is refused, naming it, before the lock is taken or a file is touched. One not set or
    // not there is left to the command, which says so itself.
    void onlyAFolderWithTheModificationsScriptIsChanged_data()
    {
        QTest::addColumn<QString>("script"); // written in the folder; none when empty
        QTest::addColumn<bool>("folderThere");
        QTest::addColumn<bool>("refused");
        QTest::newRow("no script") << "" << true << true;
        QTest::newRow("a script of another name") << "tribes.cs" << true << true;
        QTest::newRow("korvane*.cs in any case") << "Korvane_Extra.CS" << true << false;
        QTest::newRow("folder not there") << "" << false << false;
    }
    void onlyAFolderWithTheModificationsScriptIsChanged()
    {
        QFETCH(QString, script);
        QFETCH(bool, folderThere);
        QFETCH(bool, refused);
        TestTree tree;
        tree.Write("k/plugins/important.dll", "x");
        if (!script.isEmpty())
            tree.Write("k/" + script.toStdString(), "");
        const std::string folder = tree.Path(folderThere ? "k/" : "gone/");
        CountingLock lock;
        KorvaneWorkflow workflow(Path(folder), lock.locking(), false);
        const korvane::Status used = workflow.use(Plugin("blaster"));
        QCOMPARE(used.is(KorvaneWorkflow::Refusal::NotKorvaneFolder), refused);
        QCOMPARE(lock.taken, refused ? 0 : 1);
        if (refused)
            QVERIFY(used.reason() == folder);
        QCOMPARE(Files(tree, "k/plugins"), QStringList{"important.dll=x"});
    }

    // A lock that cannot be had fails the command with its reason, and nothing changes. Commands
    // run inside a step take no lock of their own: the step holds it.
    void theLockIsTakenOncePerStep()
    {
        TestTree tree;
        WriteEditedBlaster(tree);
        const auto busy = [](FolderLock::Use, const Path&, const std::function<void()>&) {
            return korvane::Status::Failure("busy");
        };
        KorvaneWorkflow refused(Path(tree.Root()), busy, false);
        const auto unused = refused.unuse(Plugin("blaster"), settle::Choice::UseStorage);
        QVERIFY(unused.result.reason() == "busy");
        QCOMPARE(tree.Read("plugins/blaster.cs"), "my blaster");

        CountingLock lock;
        KorvaneWorkflow workflow(Path(tree.Root()), lock.locking(), false);
        const korvane::Status step = workflow.whileLocked(FolderLock::Use::Changes, [&] {
            QVERIFY(workflow.use(Plugin("blaster")));
            QVERIFY(workflow.saveConfiguration("b", tree.Path("saved.pfg"), false));
        });
        QVERIFY(step);
        QCOMPARE(lock.taken, 1);
        QVERIFY(workflow.use(Plugin("blaster")));
        QCOMPARE(lock.taken, 2);
    }

    // A command refused for copies in use that differ from storage's names them, found under its
    // own lock, so that the player is asked once and the command runs again with the choice; a
    // choice given beforehand settles every copy the command finds.
    void aRefusalForDifferingCopiesCarriesThem_data()
    {
        QTest::addColumn<bool>("load"); // else unuse
        QTest::addColumn<bool>("choiceFirst");
        QTest::newRow("unuse, asked") << false << false;
        QTest::newRow("unuse, chosen beforehand") << false << true;
        QTest::newRow("load, asked") << true << false;
        QTest::newRow("load, chosen beforehand") << true << true;
    }
    void aRefusalForDifferingCopiesCarriesThem()
    {
        QFETCH(bool, load);
        QFETCH(bool, choiceFirst);
        TestTree tree;
        WriteEditedBlaster(tree);
        CountingLock lock;
        KorvaneWorkflow workflow(Path(tree.Root()), lock.locking(), false);
        const CPluginInfo blaster = Plugin("blaster");
        const auto run = [&](const SettleWith& how) {
            return load ? workflow.loadConfiguration(tree.Path("blaster.pfg"), how).result.status()
                        : workflow.unuse(blaster, how).result;
        };
        const auto differing = [&](const SettleWith& how) {
            return load ? workflow.loadConfiguration(tree.Path("blaster.pfg"), how).differing
                        : workflow.unuse(blaster, how).differing;
        };
        if (choiceFirst) {
            QVERIFY(run(settle::Choice::UseStorage));
        } else {
            QCOMPARE(differing(settle::Settlement()), settle::Copies{"blaster.cs"});
            QCOMPARE(differing(settle::Choice::Refuse), settle::Copies{"blaster.cs"});
            QVERIFY(run(settle::Settlement{settle::Choice::UseStorage, {"blaster.cs"}}));
        }
        QCOMPARE(tree.Read("storage/blaster.cs"), "stored blaster");
        QCOMPARE(Files(tree, "plugins"),
                 load ? QStringList{"blaster.cs=stored blaster"} : QStringList());
    }

    // An installation that kept the player's copy in use: the choice given settles it, and the
    // update is whole; without one the copy goes back with the failure, and settling it then
    // finishes the update.
    void anInstallationsKeptCopiesAreSettledByTheChoice_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("inUse"); // the copy in use afterwards
        QTest::newRow("refused, then settled") << int(settle::Choice::Refuse) << "new blaster";
        QTest::newRow("use storage's") << int(settle::Choice::UseStorage) << "new blaster";
        QTest::newRow("keep mine") << int(settle::Choice::KeepMine) << "my blaster";
    }
    void anInstallationsKeptCopiesAreSettledByTheChoice()
    {
        QFETCH(int, choice);
        QFETCH(QString, inUse);
        TestTree tree;
        WriteEditedBlaster(tree);
        CountingLock lock;
        KorvaneWorkflow workflow(Path(tree.Root()), lock.locking(), false);
        const auto installed = workflow.install(
            [&](settle::Copies& kept) {
                tree.Write("storage/blaster.cs", "new blaster");
                kept = {"blaster.cs"};
                return korvane::Status::Failure("kept blaster.cs");
            },
            settle::Choice(choice));
        QCOMPARE(lock.taken, 1);
        if (settle::Choice(choice) == settle::Choice::Refuse) {
            QVERIFY(installed.result.reason() == "kept blaster.cs");
            QCOMPARE(installed.differing, settle::Copies{"blaster.cs"});
            QCOMPARE(tree.Read("plugins/blaster.cs"), "my blaster");
            QVERIFY(workflow.settleCopies({settle::Choice::UseStorage, installed.differing}));
        } else {
            QVERIFY(installed.result);
            QVERIFY(installed.differing.empty());
        }
        QCOMPARE(QString::fromStdString(tree.Read("plugins/blaster.cs")), inUse);
        QCOMPARE(QString::fromStdString(tree.Read("storage/blaster.cs")), inUse);
        QCOMPARE(tree.Names("backups").size(), 1); // the copy that gave way, set aside
    }
};

QTEST_GUILESS_MAIN(tst_KorvaneWorkflow)
#include "tst_KorvaneWorkflow.moc"
