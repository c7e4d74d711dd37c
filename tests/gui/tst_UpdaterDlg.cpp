#include "core/platform/FolderLock.h"
#include "core/platform/ProfileEntries.h"
#include "core/platform/SettingsProfile.h"
#include "gui/dialogs/CUpdaterDlg.h"
#include "gui/dialogs/UpdateInfoDialog.h"
#include "gui/dialogs/WarningBox.h"
#include "gui/mainwindow/CheckForUpdates.h"
#include "res/Strings.h"
#include "res/Text.h"
#include "support/LoopbackServer.h"
#include "support/ModalScript.h"
#include "support/Signing.h"
#include "support/TestTree.h"
#include "support/UpdaterTestSupport.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTextDocument>
#include <QTreeWidget>
#include <QtTest>

using namespace korvane;
using namespace korvane::dialogs;
using namespace korvane::mainwindow;

using testsupport::MakeUpdate;

namespace {

QTreeWidget* List(QWidget* dlg)
{
    return dlg->findChild<QTreeWidget*>("updates");
}

void Click(QWidget* dlg, const char* button)
{
    QTest::mouseClick(PushButton(dlg, button), Qt::LeftButton);
}

void ClickRow(QWidget* dlg, int row)
{
    QTreeWidget* list = List(dlg);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->topLevelItem(row)).center());
}

QStringList Row(QWidget* dlg, int row)
{
    const QTreeWidgetItem* item = List(dlg)->topLevelItem(row);
    return {item->text(0), item->text(1), item->text(2)};
}

// A Korvane folder and the server of its updates.
struct Updates
{
    TestTree tree;
    LoopbackServer server;

    // Sniper 1.10, installed; Radar 2.0, served in a second; Broken 0.3, missing on the server.
    std::unique_ptr<CUpdaterDlg> Show(HeldPlugins held = {})
    {
        tree.Write("korvane.cs", "");
        tree.Write("storage/sniper.cs", "abc");
        server.SetRoute("/u/radar.cs", {200, QByteArray(60, 'r'), 60, true, true, 6, 100});
        const std::string url = server.Url("/u/");
        auto dlg = std::make_unique<CUpdaterDlg>(
            testsupport::ListOf(
                MakeUpdate("Sniper", "storage\\", url, {{"sniper.cs", "", 3}}, 1, 10),
                MakeUpdate("Radar", "storage\\", url, {{"radar.cs", "", 60}}, 2, 0),
                MakeUpdate("Broken", "storage\\", url, {{"broken.cs", "", 1}}, 0, 3)),
            tree.Folder(), std::move(held));
        dlg->show();
        return dlg;
    }

    // Runs Check for updates against the list at that path of the server, with keys pinned.
    void CheckForUpdates(const char* path, const QByteArray& keys = {})
    {
        const SettingsProfile profile = SettingsProfile::AtFile(tree.QPath("profile.ini"));
        profile.WriteProfileString(profile::kDirectories, profile::kKorvane, tree.Root());
        profile.WriteProfileString(profile::kUpdater, profile::kUrl, server.Url(path));
        profile.WriteProfileString(profile::kUpdater, profile::kPublicKey, keys.toStdString());
        mainwindow::CheckForUpdates(profile, nullptr).run();
    }
};

} // namespace

class tst_UpdaterDlg : public QObject
{
    Q_OBJECT

private slots:
    // Install runs on a worker and marks the row installed. A second window's installation of the
    // same update waits for the first one's to write its files: the folder is free before the
    // report of the first reaches its window.
    void installRunsOnAWorkerAndMarksTheRowInstalled()
    {
        Updates updates;
        const auto dlg = updates.Show();
        const auto second = updates.Show();
        QCOMPARE(Row(dlg.get(), 0), QStringList({"Sniper", "1.10", "Yes"}));
        for (CUpdaterDlg* window : {dlg.get(), second.get()}) {
            ClickRow(window, 1);
            Click(window, "install");
        }
        QTRY_VERIFY(dlg->InstallingIndex() == -1 && second->InstallingIndex() == -1);
        QCOMPARE(Row(dlg.get(), 1).last() + Row(second.get(), 1).last(), "YesYes");
        QCOMPARE(updates.server.Requests().size(), 2);
    }

    void failedOrWaitingInstallIsReportedAndInstallsNothing()
    {
        Updates updates;
        const auto dlg = updates.Show();
        ModalScript script;
        script.AnswerMessage();
        ClickRow(dlg.get(), 2);
        Click(dlg.get(), "install");
        QTRY_COMPARE(dlg->InstallingIndex(), -1);
        QCOMPARE(script.Messages(), QStringList({"The update was NOT completed successfully.\n\n"
                                                 "Broken 0.3, file broken.cs: HTTP 404"}));
        QCOMPARE(Row(dlg.get(), 2).last(), QString("No"));

        // Another Korvane Manager changing the folder: the installation waits on its thread,
        // then changes nothing.
        const auto held = korvane::FolderLock::acquire(updates.tree.Folder());
        QVERIFY(held);
        script.AnswerMessage();
        ClickRow(dlg.get(), 1);
        Click(dlg.get(), "install");
        QCOMPARE(dlg->InstallingIndex(), 1);
        QTRY_COMPARE_WITH_TIMEOUT(dlg->InstallingIndex(), -1, 2 * FolderLock::kWait.count());
        QCOMPARE(
            script.Messages().last(),
            WarningBox::withReason(strings::Text(strings::kInstallFailed), strings::kFoldersBusy));

        // A folder that is not a Korvane folder is refused, as by every command.
        QVERIFY(QFile::remove(updates.tree.QPath("korvane.cs")));
        script.AnswerMessage();
        Click(dlg.get(), "install");
        QTRY_COMPARE(dlg->InstallingIndex(), -1);
        QCOMPARE(
            script.Messages().last(),
            WarningBox::withReason(strings::Text(strings::kNotKorvaneFolder), updates.tree.Root()));
        QCOMPARE(updates.server.Requests().size(), 1); // the broken update's file only
    }

    // A held plug-in's update reads Held; Install stays off while it is selected and says why.
    void aHeldPluginsUpdateReadsHeldAndIsNotInstalled()
    {
        Updates updates;
        HeldPlugins held;
        held.Hold("RADAR");
        const auto dlg = updates.Show(held);
        QCOMPARE(Row(dlg.get(), 1), QStringList({"Radar", "2.0", "Held"}));
        ClickRow(dlg.get(), 1);
        QPushButton* install = PushButton(dlg.get(), "install");
        QVERIFY(!install->isEnabled());
        QCOMPARE(install->toolTip(),
                 Qt::convertFromPlainText(S(strings::kUpdateHeldOne).arg("\"RADAR\""),
                                          Qt::WhiteSpaceNormal));
    }

    // A copy in use the player changed is kept by the installation; the player then chooses what
    // becomes of it, and the update is whole once it is settled.
    void aChangedCopyInUseIsSettledAfterTheInstallation()
    {
        Updates updates;
        updates.tree.Write("plugins/sniper.cs", "mine");
        updates.server.Serve("/u/sniper.cs", "new");
        const auto dlg = updates.Show();
        ModalScript script;
        QStringList listed;
        for (const char* answer : {"cancel", "useStorage"}) {
            script.Then("SettleCopiesDialog", [&listed, answer](QWidget* active) {
                listed << active->findChild<QListWidget*>("files")->item(0)->text();
                Click(active, answer);
            });
            ClickRow(dlg.get(), 0);
            Click(dlg.get(), "install");
            QTRY_VERIFY(script.Finished());
            QTRY_COMPARE(dlg->InstallingIndex(), -1);
            QCOMPARE(Row(dlg.get(), 0).last(), QString(answer == S("cancel") ? "No" : "Yes"));
        }
        QCOMPARE(listed, QStringList(2, "plugins\\sniper.cs"));
        QCOMPARE(updates.tree.Read("plugins/sniper.cs"), "new");
    }

    // The close box asks first. The installation goes on without the window, and its end reaches
    // the main window also when the updater window no longer exists.
    void closingDuringAnInstallLetsItEnd()
    {
        Updates updates;
        auto dlg = updates.Show();
        QObject mainWindow; // outlives the updater window, as the program's does
        int ended = 0;
        dlg->WhenInstallationEnds(&mainWindow, [&ended] { ++ended; });
        ClickRow(dlg.get(), 1);
        Click(dlg.get(), "install");
        ModalScript script;
        script.AnswerQuestion(QMessageBox::Yes);
        dlg->close();
        QVERIFY(script.Finished());
        dlg.reset(); // the worker's report now has nowhere to go
        QTRY_VERIFY(updates.tree.Exists("storage/radar.cs"));
        QTRY_COMPARE(ended, 1); // the main window rescans what the installation changed
    }

    // View Info follows the selection and shows, for the update selected, the place of each of
    // its files below the Korvane folder as the folder holds them now. What each row says is the
    // preview's concern (tst_UpdatePreview).
    void viewInfoShowsWhatTheSelectedUpdateWouldWrite()
    {
        TestTree tree;
        tree.Write("storage/sniper.cs", "abc");
        CUpdaterDlg dlg(
            testsupport::ListOf(MakeUpdate("Empty", "storage\\", ""),
                                MakeUpdate("Sniper", "", "",
                                           {{"sniper.cs", "storage\\", 1234}, {"x.cs", "..\\", 1}},
                                           1, 10)),
            tree.Folder());
        dlg.show();
        QCOMPARE(dlg.findChild<QLabel*>("signature")->text(), S(strings::kListUnsigned));
        // The info window's heading, its rows (the note's beginning) and its signature line.
        const auto viewInfo = [&dlg](int row) {
            ClickRow(&dlg, row);
            QStringList shown;
            ModalScript script;
            script.Then("UpdateInfoDialog", [&shown](QWidget* info) {
                shown << info->findChild<QLabel*>("heading")->text();
                const auto* files = info->findChild<QTreeWidget*>("files");
                for (int i = 0; i < files->topLevelItemCount(); ++i) {
                    const QTreeWidgetItem* file = files->topLevelItem(i);
                    shown << QStringList{file->text(0), file->text(1), file->text(2),
                                         file->text(3).section(':', 0, 0)}
                                 .join('|');
                }
                shown << info->findChild<QLabel*>("signature")->text();
                Click(info, "close");
            });
            Click(&dlg, "viewInfo");
            return script.Finished() ? shown : QStringList("no info window");
        };
        QCOMPARE(viewInfo(1),
                 QStringList({S(strings::kUpdateInfoFiles).arg("Sniper", "1.10"),
                              "storage\\sniper.cs|" + QLocale().toString(1234) + "|Yes|",
                              "..\\x.cs|1|Refused|Refused", S(strings::kListUnsigned)}));
    }

    void checkForUpdatesShowsTheListAtTheProfilesUrlReportsItBrokenOrIsCancelled()
    {
        Updates updates;
        const QByteArray bytes = QByteArray::fromStdString(testsupport::ListBytes(
            *testsupport::ListOf(MakeUpdate("One", "", ""), MakeUpdate("Two", "", ""))));
        updates.server.Serve("/mine.upd", bytes);
        updates.server.Serve("/page.upd", "<html><body>Moved</body></html>");
        int rows = -1;
        ModalScript script;
        script.Then("CUpdaterDlg", [&rows](QWidget* dlg) {
            rows = List(dlg)->topLevelItemCount();
            Click(dlg, "close");
        });
        updates.CheckForUpdates("/mine.upd");
        QCOMPARE(rows, 2);
        // A list that cannot be read is one message with its reason, and no updater window;
        // which reason each list gets is the update list's concern (tst_UpdateList).
        script.AnswerMessage();
        updates.CheckForUpdates("/page.upd");
        QVERIFY(script.Finished());
        QCOMPARE(script.Messages(),
                 QStringList{WarningBox::withReason(S(strings::kUpdateListUnreadable),
                                                    strings::kReasonNotAList)});
        // So is a list that the pinned key did not sign.
        script.AnswerMessage();
        updates.CheckForUpdates("/mine.upd", testsupport::PublicKeyLine());
        QVERIFY(script.Finished());
        QCOMPARE(script.Messages().last(),
                 WarningBox::withReason(
                     S(strings::kUpdateListRefused),
                     S(strings::kReasonNotSigned).arg(strings::kTheUpdateList).toStdString()));

        // The download shows its progress; Cancel ends it at once, without the updater window.
        const QByteArray slow = QByteArray::fromStdString(testsupport::ListBytes(
            *testsupport::ListOf(MakeUpdate(std::string(400, 'n'), "", ""))));
        // 10 s: Cancel, slow as a window system may be, comes long before the end.
        updates.server.SetRoute("/slow.upd", {200, slow, slow.size(), true, true, 10, 250});
        script.Then("QProgressDialog", [](QWidget* active) {
            auto* progress = static_cast<QProgressDialog*>(active);
            QVERIFY(QTest::qWaitFor([&] { return !progress->labelText().contains(": 0 bytes"); }));
            QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        });
        QElapsedTimer clock;
        clock.start();
        updates.CheckForUpdates("/slow.upd");
        QVERIFY2(clock.elapsed() < 5000, "the download went on after Cancel");
        QVERIFY(script.Finished());
    }
};

QTEST_MAIN(tst_UpdaterDlg)
#include "tst_UpdaterDlg.moc"
