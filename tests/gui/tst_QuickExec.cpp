#include "core/launch/QuickExec.h"
#include "gui/LaunchCommands.h"
#include "LaunchTestSupport.h"
#include "res/Strings.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>

class tst_QuickExec : public QObject
{
    Q_OBJECT

public slots:
    void OpenUrl(const QUrl& url) { m_openedUrls.append(url); }

private:
    QList<QUrl> m_openedUrls;

    // The entry as the settings file holds it; empty when absent.
    static QString Stored(const LaunchFolders& folders, const QString& key)
    {
        return QSettings(folders.tree.QPath("profile.ini"), QSettings::IniFormat)
            .value("QuickExec/" + key)
            .toString();
    }
    static void ToggleDedicated(QWidget* dlg)
    {
        QTest::keyClick(dlg->findChild<QCheckBox*>(), Qt::Key_Space);
    }

private slots:
    void savedConfigurationIsStoredInListOrderAndComesBack()
    {
        LaunchFolders folders;
        folders.tree.MakeFolder("tribes/alpha");
        const QString extra = " +exec \"a b\"; x=$(y) ";
        ModalScript script;
        script
            .Then("CExecuteDlg",
                  [&extra](QWidget* dlg) {
                      PushButton(dlg, S(strings::kExecAdd))->click();
                      dlg->findChild<QListWidget*>()->setCurrentRow(0);
                      PushButton(dlg, S(strings::kExecDown))->click();
                      ToggleDedicated(dlg);
                      dlg->findChild<QLineEdit*>()->setText(extra);
                      PushButton(dlg, S(strings::kExecSave))->click();
                  })
            .Browse(folders.tree.QPath("tribes/alpha"));
        launch::OnConfigureQuickExec(folders.profile, nullptr);
        QVERIFY(script.Finished());
        QCOMPARE(Stored(folders, "Mods"), QString("korvane\\alpha"));
        QCOMPARE(Stored(folders, "Dedicated"), QString("1"));
        QCOMPARE(Stored(folders, "ExtraCmdLine"), extra);

        // The stored choices come back into the dialog; Cancel stores nothing.
        script.Then("CExecuteDlg", [&extra](QWidget* dlg) {
            QCOMPARE(dlg->findChild<QLineEdit*>()->text(), extra);
            QVERIFY(dlg->findChild<QCheckBox*>()->isChecked());
            QCOMPARE(dlg->findChild<QListWidget*>()->count(), 2);
            ToggleDedicated(dlg);
            PushButton(dlg, S(strings::kExecCancel))->click();
        });
        launch::OnConfigureQuickExec(folders.profile, nullptr);
        QVERIFY(script.Finished());
        QCOMPARE(Stored(folders, "Dedicated"), QString("1"));
    }

    void configurationSaysWhichFolderIsMissingAndWritesNothing_data()
    {
        QTest::addColumn<bool>("tribes");
        QTest::addColumn<bool>("korvane");
        QTest::addColumn<QString>("message");
        QTest::newRow("neither") << false << false << S(strings::kQuickExecNeedsTribes);
        QTest::newRow("no Korvane") << true << false << S(strings::kQuickExecNeedsKorvane);
    }
    void configurationSaysWhichFolderIsMissingAndWritesNothing()
    {
        QFETCH(bool, tribes);
        QFETCH(bool, korvane);
        QFETCH(QString, message);
        LaunchFolders folders;
        if (!tribes)
            folders.profile.WriteProfileString(profile::kDirectories, profile::kTribes, "");
        if (!korvane)
            folders.profile.WriteProfileString(profile::kDirectories, profile::kKorvane, "");
        ModalScript script;
        script.AnswerMessage();
        launch::OnConfigureQuickExec(folders.profile, nullptr);
        QCOMPARE(script.Messages(), QStringList{message});
        QVERIFY(Stored(folders, "Mods").isEmpty());
    }

    void onlyAStoredOneMeansDedicated()
    {
        LaunchFolders folders;
        for (const int dedicated : {1, 2, 0}) {
            folders.profile.WriteProfileInt(profile::kQuickExec, profile::kDedicated, dedicated);
            QCOMPARE(launch::LoadQuickExec(folders.profile).bDedicated, dedicated == 1);
        }
    }

    void homePageOpensOnTheProjectSite()
    {
        QDesktopServices::setUrlHandler("http", this, "OpenUrl");
        QDesktopServices::setUrlHandler("https", this, "OpenUrl");
        launch::OnHomePage();
        QDesktopServices::unsetUrlHandler("http");
        QDesktopServices::unsetUrlHandler("https");
        QCOMPARE(m_openedUrls.size(), 1);
        QVERIFY(m_openedUrls.front().host().endsWith("korvane.net"));
    }
};

QTEST_MAIN(tst_QuickExec)
#include "tst_QuickExec.moc"
