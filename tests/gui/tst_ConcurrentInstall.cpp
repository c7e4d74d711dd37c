// Installations side by side: two updater windows installing at the same time, folders that two
// installations create at the same moment, and a window closed while its worker still runs.
#include "core/updater/CreatePath.h"
#include "gui/CUpdaterDlg.h"
#include "res/Strings.h"
#include "support/InstallFixture.h"
#include "support/ModalScript.h"

#include <future>
#include <latch>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

using namespace korvane;

using testsupport::Entries;
using testsupport::File;
using testsupport::Offer;

namespace {

void Install(CUpdaterDlg& dlg, int row)
{
    auto* list = dlg.findChild<QTreeWidget*>("updates");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->topLevelItem(row)).center());
    QTest::mouseClick(dlg.findChild<QPushButton*>("install"), Qt::LeftButton);
}

QString Installed(CUpdaterDlg& dlg, int row)
{
    return dlg.findChild<QTreeWidget*>("updates")->topLevelItem(row)->text(2);
}

} // namespace

class tst_ConcurrentInstall : public QObject
{
    Q_OBJECT

private slots:
    void foldersThatTwoInstallationsCreateAtOnceAreNoFailure()
    {
        constexpr int kInstallations = 4;
        for (int round = 0; round < 200; ++round) {
            TestTree tree;
            std::latch start(kInstallations);
            std::vector<std::future<bool>> results;
            for (int i = 0; i < kInstallations; ++i) {
                results.push_back(std::async(std::launch::async, [&tree, &start] {
                    start.arrive_and_wait();
                    return CreatePath(tree.Root(), "storage\\new\\deep\\");
                }));
            }
            for (auto& result : results)
                QVERIFY(result.get());
            QVERIFY(tree.Exists("storage/new/deep"));
        }
    }

    void twoUpdaterWindowsInstallTheSameUpdateAtOnce()
    {
        TestTree tree;
        tree.Write("storage/pack.cs", "old pack");
        tree.Write("plugins/pack.cs", "old pack"); // in use: both installations refresh it
        LoopbackServer server;
        const QByteArray pack(120, 'p');
        const std::vector<File> files = {{"", "pack.cs", pack}, {"new\\", "extra.cs", "extra"}};
        // Each Check for updates command reads a list of its own.
        std::shared_ptr<CUpdateList> lists[] = {Offer(server, "storage\\", files),
                                                Offer(server, "storage\\", files)};
        server.Trickle("/u/pack.cs", pack, 12, 30); // long enough for the two to overlap
        CUpdaterDlg first(lists[0], tree.Root());
        CUpdaterDlg second(lists[1], tree.Root());
        first.show();
        second.show();
        ModalScript script;
        Install(first, 0);
        Install(second, 0);
        QVERIFY(first.InstallingIndex() == 0 && second.InstallingIndex() == 0);
        QTRY_VERIFY_WITH_TIMEOUT(first.InstallingIndex() == -1 && second.InstallingIndex() == -1,
                                 10000);

        QVERIFY(script.Finished());
        QCOMPARE(Installed(first, 0), QString("Yes"));
        QCOMPARE(Installed(second, 0), QString("Yes"));
        QCOMPARE(tree.Read("storage/pack.cs"), pack.toStdString());
        QCOMPARE(tree.Read("plugins/pack.cs"), pack.toStdString());
        QCOMPARE(tree.Read("storage/new/extra.cs"), std::string("extra"));
        QCOMPARE(Entries(tree),
                 QStringList({"plugins/pack.cs", "storage/new/extra.cs", "storage/pack.cs"}));
        QCOMPARE(server.Requests().size(), 4);
    }

    // The close box asks first, No by default. The installation goes on without the window; its
    // end, good or bad, is not reported to a window that was closed, nor to one that no longer
    // exists.
    void closingDuringAnInstallLetsItEndQuietly_data()
    {
        QTest::addColumn<bool>("serverDrops");
        QTest::addColumn<bool>("windowDeleted");
        QTest::newRow("install completes after the window is gone") << false << true;
        QTest::newRow("install fails after the window closed") << true << false;
    }

    void closingDuringAnInstallLetsItEndQuietly()
    {
        QFETCH(bool, serverDrops);
        QFETCH(bool, windowDeleted);
        TestTree tree;
        tree.Write("storage/radar.cs", "old radar");
        LoopbackServer server;
        const QByteArray radar(60, 'r');
        auto list =
            std::shared_ptr<CUpdateList>(Offer(server, "storage\\", {{"", "radar.cs", radar}}));
        server.SetRoute("/u/radar.cs", {200, radar, serverDrops ? 30 : 60, true, true, 6, 50});
        auto dlg = std::make_unique<CUpdaterDlg>(std::move(list), tree.Root());
        QObject mainWindow; // outlives the updater window, as the program's does
        int ended = 0;
        dlg->WhenInstallationEnds(&mainWindow, [&ended] { ++ended; });
        dlg->show();
        Install(*dlg, 0);
        ModalScript script;
        script.AnswerQuestion(QMessageBox::No);
        dlg->close();
        QVERIFY(dlg->isVisible());
        script.AnswerQuestion(QMessageBox::Yes);
        dlg->close();
        QVERIFY(!dlg->isVisible());
        if (windowDeleted)
            dlg.reset(); // the worker's report now has nowhere to go
        const std::string expected = serverDrops ? "old radar" : radar.toStdString();
        QTRY_COMPARE(tree.Read("storage/radar.cs"), expected);
        if (dlg) {
            QTRY_COMPARE(dlg->InstallingIndex(), -1);
            QCOMPARE(Installed(*dlg, 0), QString("No"));
        }
        QTRY_COMPARE(ended, 1); // the main window rescans what the installation changed
        QVERIFY(script.Finished());
        QCOMPARE(script.Messages(), QStringList(2, S(strings::kCloseWhileInstalling)));
        QCOMPARE(Entries(tree), QStringList({"storage/radar.cs"}));
    }
};

QTEST_MAIN(tst_ConcurrentInstall)
#include "tst_ConcurrentInstall.moc"
