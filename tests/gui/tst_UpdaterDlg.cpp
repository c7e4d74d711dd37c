#include "support/LoopbackServer.h"
#include "support/ModalAnswers.h"
#include "core/platform/CProfile.h"
#include "core/platform/ProfileEntries.h"
#include "res/Strings.h"
#include "support/TestTree.h"
#include "gui/CheckForUpdates.h"
#include "gui/CUpdateAnimation.h"
#include "gui/CUpdaterDlg.h"
#include "support/UpdaterTestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

using testsupport::MakeUpdate;

namespace {

QTreeWidget* List(QWidget& dlg)
{
    return dlg.findChild<QTreeWidget*>("updates");
}

QPushButton* Button(QWidget& dlg, const char* name)
{
    return dlg.findChild<QPushButton*>(name);
}

void ClickRow(QWidget& dlg, int row)
{
    QTreeWidget* list = List(dlg);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->topLevelItem(row)).center());
}

QStringList Row(QWidget& dlg, int row)
{
    const QTreeWidgetItem* item = List(dlg)->topLevelItem(row);
    return {item->text(0), item->text(1), item->text(2)};
}

} // namespace

class tst_UpdaterDlg : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestTree> m_pTree;
    std::unique_ptr<LoopbackServer> m_pServer;

    // Sniper 1.10, installed; Radar 2.0, served slowly; Broken 0.3, missing on the server.
    std::unique_ptr<CUpdaterDlg> ShowUpdates()
    {
        m_pTree->Write("storage/sniper.cs", "abc");
        m_pServer->Trickle("/u/radar.cs", QByteArray(60, 'r'), 6, 100);
        auto list = std::make_shared<CUpdateList>();
        const std::string url = m_pServer->Url("/u/");
        list->m_arrUpdates.push_back(
            MakeUpdate("Sniper", "storage\\", url, {{"sniper.cs", "", 3}}, 1, 10));
        list->m_arrUpdates.push_back(
            MakeUpdate("Radar", "storage\\", url, {{"radar.cs", "", 60}}, 2, 0));
        list->m_arrUpdates.push_back(
            MakeUpdate("Broken", "storage\\", url, {{"broken.cs", "", 1}}, 0, 3));
        auto dlg = std::make_unique<CUpdaterDlg>(std::move(list), m_pTree->Root());
        dlg->show();
        return dlg;
    }

    CProfile Profile(const std::string& url)
    {
        const CProfile profile =
            CProfile::AtFile(QString::fromStdString(m_pTree->Path("profile.ini")));
        profile.WriteProfileString(profile::kDirectories, profile::kKorvane, m_pTree->Root());
        profile.WriteProfileString(profile::kUpdater, profile::kUrl, url);
        return profile;
    }

private slots:
    void init()
    {
        m_pTree = std::make_unique<TestTree>();
        m_pServer = std::make_unique<LoopbackServer>();
    }

    void cleanup()
    {
        m_pServer.reset();
        m_pTree.reset();
    }

    void windowListsEveryUpdateAndInstallFollowsTheSelection()
    {
        const auto dlg = ShowUpdates();
        QCOMPARE(dlg->windowTitle(), QString("Korvane Updater"));
        QTreeWidgetItem* header = List(*dlg)->headerItem();
        QCOMPARE(QStringList({header->text(0), header->text(1), header->text(2)}),
                 QStringList({"Update Name", "Version", "Installed?"}));
        QCOMPARE(Row(*dlg, 0), QStringList({"Sniper", "1.10", "Yes"}));
        QCOMPARE(Row(*dlg, 2), QStringList({"Broken", "0.3", "No"}));
        QVERIFY(List(*dlg)->topLevelItem(0)->textAlignment(1) & Qt::AlignRight);
        QVERIFY(!Button(*dlg, "install")->isEnabled());
        ClickRow(*dlg, 1);
        QVERIFY(Button(*dlg, "install")->isEnabled());
        List(*dlg)->clearSelection();
        QVERIFY(!Button(*dlg, "install")->isEnabled());
        QVERIFY(!Button(*dlg, "viewInfo")->isEnabled());
    }

    void closeBoxAsksFirstButCloseAndEscapeDoNot()
    {
        auto dlg = ShowUpdates();
        {
            ModalAnswers answers(QMessageBox::No);
            dlg->close();
            QCOMPARE(answers.texts,
                     QStringList({QString::fromUtf8(strings::kCloseWhileInstalling)}));
            QVERIFY(answers.bDefaultNo);
            QVERIFY(dlg->isVisible());
        }
        {
            ModalAnswers answers(QMessageBox::Yes);
            dlg->close();
            QVERIFY(!dlg->isVisible());
        }
        ModalAnswers answers(QMessageBox::No);
        dlg->show();
        QTest::mouseClick(Button(*dlg, "close"), Qt::LeftButton);
        QCOMPARE(dlg->result(), int(QDialog::Accepted));
        dlg = ShowUpdates();
        QTest::keyClick(dlg.get(), Qt::Key_Escape);
        QVERIFY(!dlg->isVisible());
        QVERIFY(answers.texts.isEmpty());
    }

    void installRunsOnAWorkerOnceAndMarksTheRowInstalled()
    {
        const auto dlg = ShowUpdates();
        auto* animation = dlg->findChild<CUpdateAnimation*>("animation");
        ClickRow(*dlg, 1);
        QTest::mouseClick(Button(*dlg, "install"), Qt::LeftButton);
        QVERIFY(animation->IsPlaying());
        QTRY_VERIFY(animation->CurrentFrame() > 0);
        QTest::mouseClick(Button(*dlg, "install"), Qt::LeftButton); // ignored while one runs
        ClickRow(*dlg, 2);
        QVERIFY(!Button(*dlg, "install")->isEnabled());
        QTRY_COMPARE(dlg->InstallingIndex(), -1);
        QCOMPARE(Row(*dlg, 1).last(), QString("Yes"));
        QVERIFY(!animation->IsPlaying());
        QCOMPARE(m_pTree->Read("storage/radar.cs"), std::string(60, 'r'));
        QCOMPARE(m_pServer->Requests().size(), 1);
    }

    void failedInstallIsReportedAndMarksTheRowNotInstalled()
    {
        const auto dlg = ShowUpdates();
        List(*dlg)->topLevelItem(2)->setText(2, "?");
        ModalAnswers answers(QMessageBox::Ok);
        ClickRow(*dlg, 2);
        QTest::mouseClick(Button(*dlg, "install"), Qt::LeftButton);
        QTRY_COMPARE(dlg->InstallingIndex(), -1);
        QCOMPARE(answers.texts, QStringList({"The update was NOT completed successfully."}));
        QCOMPARE(Row(*dlg, 2).last(), QString("No"));
    }

    void checkForUpdatesShowsTheListAtTheProfilesUrlOrReportsItBroken()
    {
        CUpdateList offered;
        offered.m_arrUpdates.push_back(MakeUpdate("One", "", ""));
        offered.m_arrUpdates.push_back(MakeUpdate("Two", "", ""));
        const auto bytes = QByteArray::fromStdString(testsupport::ListBytes(offered));
        m_pServer->Serve("/mine.upd", bytes);
        m_pServer->Serve("/cut.upd", bytes.chopped(1));
        int rows = -1;
        ModalAnswers answers(QMessageBox::Ok, [&rows](QWidget* modal) {
            rows = List(*modal)->topLevelItemCount();
            QTest::mouseClick(Button(*modal, "close"), Qt::LeftButton);
        });
        OnCheckForUpdates(Profile(m_pServer->Url("/mine.upd")), nullptr);
        QCOMPARE(rows, 2);
        rows = -1;
        OnCheckForUpdates(Profile(m_pServer->Url("/cut.upd")), nullptr);
        QCOMPARE(rows, -1);
        QCOMPARE(answers.texts, QStringList({QString::fromUtf8(strings::kUpdateListUnreadable)}));
    }

    void listDownloadShowsItsProgressAndCancelEndsItQuietly()
    {
        CUpdateList offered;
        offered.m_arrUpdates.push_back(MakeUpdate(std::string(400, 'n'), "", ""));
        const auto bytes = QByteArray::fromStdString(testsupport::ListBytes(offered));
        m_pServer->Trickle("/slow.upd", bytes, 10, 50); // 2 s for the whole list
        QString label;
        QTimer canceller;
        connect(&canceller, &QTimer::timeout, [&label] {
            auto* progress = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
            if (!progress || !progress->isVisible())
                return;
            label = progress->labelText();
            if (!label.contains(QLatin1String(": 0 bytes")))
                QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        });
        canceller.start(20);
        int rows = -1;
        ModalAnswers answers(QMessageBox::Ok,
                             [&rows](QWidget* modal) { rows = List(*modal)->topLevelItemCount(); });
        QElapsedTimer clock;
        clock.start();
        OnCheckForUpdates(Profile(m_pServer->Url("/slow.upd")), nullptr);
        QVERIFY2(clock.elapsed() < 1500, "the download went on after Cancel");
        QVERIFY2(label.endsWith(QLatin1String(" bytes received")), qPrintable(label));
        QCOMPARE(rows, -1);
        QCOMPARE(answers.texts, QStringList());
    }
};

QTEST_MAIN(tst_UpdaterDlg)
#include "tst_UpdaterDlg.moc"
