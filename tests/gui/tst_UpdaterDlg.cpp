#include "core/platform/CProfile.h"
#include "core/platform/FolderLock.h"
#include "core/platform/ProfileEntries.h"
#include "gui/CheckForUpdates.h"
#include "gui/CUpdateAnimation.h"
#include "gui/CUpdaterDlg.h"
#include "gui/WarningBox.h"
#include "res/Strings.h"
#include "res/Text.h"
#include "support/LoopbackServer.h"
#include "support/ModalScript.h"
#include "support/TestTree.h"
#include "support/UpdaterTestSupport.h"

#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

using namespace korvane;

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

} // namespace

class tst_UpdaterDlg : public QObject
{
    Q_OBJECT

private:
    std::optional<TestTree> m_tree;
    std::optional<LoopbackServer> m_server;

    // Sniper 1.10, installed; Radar 2.0, served slowly; Broken 0.3, missing on the server.
    std::unique_ptr<CUpdaterDlg> ShowUpdates()
    {
        m_tree->Write("storage/sniper.cs", "abc");
        m_server->Trickle("/u/radar.cs", QByteArray(60, 'r'), 6, 100);
        auto list = std::make_shared<CUpdateList>();
        const std::string url = m_server->Url("/u/");
        list->m_arrUpdates.push_back(
            MakeUpdate("Sniper", "storage\\", url, {{"sniper.cs", "", 3}}, 1, 10));
        list->m_arrUpdates.push_back(
            MakeUpdate("Radar", "storage\\", url, {{"radar.cs", "", 60}}, 2, 0));
        list->m_arrUpdates.push_back(
            MakeUpdate("Broken", "storage\\", url, {{"broken.cs", "", 1}}, 0, 3));
        auto dlg = std::make_unique<CUpdaterDlg>(std::move(list), m_tree->Root());
        dlg->show();
        return dlg;
    }

    // Runs Check for updates against the list at that path of the server.
    void CheckForUpdates(const char* path)
    {
        const CProfile profile = CProfile::AtFile(m_tree->QPath("profile.ini"));
        profile.WriteProfileString(profile::kDirectories, profile::kKorvane, m_tree->Root());
        profile.WriteProfileString(profile::kUpdater, profile::kUrl, m_server->Url(path));
        OnCheckForUpdates(profile, nullptr);
    }

    static QByteArray ListOf(const std::vector<std::string>& names)
    {
        CUpdateList offered;
        for (const std::string& name : names)
            offered.m_arrUpdates.push_back(MakeUpdate(name, "", ""));
        return QByteArray::fromStdString(testsupport::ListBytes(offered));
    }

private slots:
    void init()
    {
        m_tree.emplace();
        m_server.emplace();
    }
    void cleanup()
    {
        m_server.reset();
        m_tree.reset();
    }

    // The close box asks first (see tst_ConcurrentInstall); Close and Escape do not.
    void closeAndEscapeDoNotAsk()
    {
        ModalScript script;
        auto dlg = ShowUpdates();
        Click(dlg.get(), "close");
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        dlg = ShowUpdates();
        QTest::keyClick(dlg.get(), Qt::Key_Escape);
        QVERIFY(!dlg->isVisible());
        QVERIFY(script.Finished());
    }

    void installFollowsTheSelectionRunsOnAWorkerOnceAndMarksTheRowInstalled()
    {
        const auto dlg = ShowUpdates();
        QCOMPARE(Row(dlg.get(), 0), QStringList({"Sniper", "1.10", "Yes"}));
        QCOMPARE(Row(dlg.get(), 2), QStringList({"Broken", "0.3", "No"}));
        QVERIFY(!PushButton(dlg.get(), "install")->isEnabled());
        auto* animation = dlg->findChild<CUpdateAnimation*>("animation");
        ClickRow(dlg.get(), 1);
        QVERIFY(PushButton(dlg.get(), "install")->isEnabled());
        Click(dlg.get(), "install");
        QVERIFY(animation->IsPlaying());
        QTRY_VERIFY(animation->CurrentFrame() > 0);
        Click(dlg.get(), "install"); // ignored while one runs
        ClickRow(dlg.get(), 2);
        QVERIFY(!PushButton(dlg.get(), "install")->isEnabled());
        QTRY_COMPARE(dlg->InstallingIndex(), -1);
        QCOMPARE(Row(dlg.get(), 1).last(), QString("Yes"));
        QVERIFY(!animation->IsPlaying());
        QCOMPARE(m_server->Requests().size(), 1);
        List(dlg.get())->clearSelection();
        QVERIFY(!PushButton(dlg.get(), "install")->isEnabled());
        QVERIFY(!PushButton(dlg.get(), "viewInfo")->isEnabled());
    }

    void failedOrWaitingInstallIsReportedAndInstallsNothing()
    {
        const auto dlg = ShowUpdates();
        List(dlg.get())->topLevelItem(2)->setText(2, "?");
        ModalScript script;
        script.AnswerMessage();
        ClickRow(dlg.get(), 2);
        Click(dlg.get(), "install");
        QTRY_COMPARE(dlg->InstallingIndex(), -1);
        QCOMPARE(script.Messages(),
                 QStringList({"The update was NOT completed successfully.\n\nHTTP 404"}));
        QCOMPARE(Row(dlg.get(), 2).last(), QString("No"));

        // Another Korvane Manager changing the folder: the installation waits, then changes
        // nothing.
        const auto held = korvane::FolderLock::acquire(m_tree->Root());
        QVERIFY(held);
        script.AnswerMessage();
        ClickRow(dlg.get(), 1);
        Click(dlg.get(), "install");
        QCOMPARE(script.Messages().last(),
                 WithReason(strings::Text(strings::kInstallFailed), strings::kFoldersBusy));
        QCOMPARE(dlg->InstallingIndex(), -1);
        QCOMPARE(m_server->Requests().size(), 1); // the broken update's file only
        QVERIFY(!m_tree->Exists("storage/radar.cs"));
    }

    void checkForUpdatesShowsTheListAtTheProfilesUrlReportsItBrokenOrIsCancelled()
    {
        const QByteArray bytes = ListOf({"One", "Two"});
        m_server->Serve("/mine.upd", bytes);
        m_server->Serve("/cut.upd", bytes.chopped(1));
        int rows = -1;
        ModalScript script;
        script.Then("CUpdaterDlg", [&rows](QWidget* dlg) {
            rows = List(dlg)->topLevelItemCount();
            Click(dlg, "close");
        });
        CheckForUpdates("/mine.upd");
        QCOMPARE(rows, 2);
        script.AnswerMessage();
        CheckForUpdates("/cut.upd");
        QVERIFY(script.Finished());
        QCOMPARE(script.Messages(), QStringList({S(strings::kUpdateListUnreadable)}));

        // The download shows its progress; Cancel ends it at once, without the updater window.
        m_server->Trickle("/slow.upd", ListOf({std::string(400, 'n')}), 10, 50); // 2 s in all
        QString label;
        script.Then("QProgressDialog", [&label](QWidget* active) {
            auto* progress = static_cast<QProgressDialog*>(active);
            QVERIFY(QTest::qWaitFor([&] { return !progress->labelText().contains(": 0 bytes"); }));
            label = progress->labelText();
            QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        });
        QElapsedTimer clock;
        clock.start();
        CheckForUpdates("/slow.upd");
        QVERIFY2(clock.elapsed() < 1500, "the download went on after Cancel");
        QVERIFY2(label.endsWith(QLatin1String(" bytes received")), qPrintable(label));
        QVERIFY(script.Finished());
    }
};

QTEST_MAIN(tst_UpdaterDlg)
#include "tst_UpdaterDlg.moc"
