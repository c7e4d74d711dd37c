#include "launch/LaunchCommands.h"
#include "launch/QuickExec.h"
#include "LaunchTestSupport.h"
#include "ui/CFolderBrowserDlg.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QSettings>

class tst_QuickExec : public QObject
{
    Q_OBJECT

public slots:
    void OpenUrl(const QUrl& url) { m_openedUrls.append(url); }

private:
    QList<QUrl> m_openedUrls;

    // The entry as the settings file holds it; invalid when absent.
    static QVariant Stored(const LaunchFolders& folders, const QString& key)
    {
        return QSettings(folders.Folder("profile.ini"), QSettings::IniFormat)
            .value("QuickExec/" + key);
    }

private slots:
    void savedConfigurationIsStoredInListOrderAndComesBackSorted()
    {
        LaunchFolders folders;
        folders.tree.MakeFolder("tribes/alpha");
        const QString alpha = folders.Folder("tribes/alpha");
        const QString extra = " +exec \"a b\"; x=$(y) ";
        AnswerModal<CExecuteDlg>([&](CExecuteDlg* dlg) {
            AnswerModal<CFolderBrowserDlg>([&](CFolderBrowserDlg* browser) {
                browser->SelectFolder(alpha);
                QTest::keyClick(browser, Qt::Key_Return);
            });
            Button(dlg, "&Add")->click();
            auto* list = dlg->findChild<QListWidget*>();
            list->setCurrentRow(0);
            Button(dlg, "&Down")->click();
            QTest::keyClick(dlg->findChild<QCheckBox*>(), Qt::Key_Space);
            dlg->findChild<QLineEdit*>()->setText(extra);
            Button(dlg, "Save")->click();
        });
        launch::OnConfigureQuickExec(folders.profile, nullptr);
        QCOMPARE(Stored(folders, "Mods").toString(), QString("korvane\\alpha"));
        QCOMPARE(Stored(folders, "Dedicated").toString(), QString("1"));
        QCOMPARE(Stored(folders, "ExtraCmdLine").toString(), extra);

        bool reopened = false;
        AnswerModal<CExecuteDlg>([&](CExecuteDlg* dlg) {
            reopened = true;
            QCOMPARE(Listed(dlg), (QStringList{"alpha", "korvane"}));
            QCOMPARE(dlg->findChild<QLineEdit*>()->text(), extra);
            QTest::keyClick(dlg->findChild<QCheckBox*>(), Qt::Key_Space);
            Button(dlg, "Save")->click();
        });
        launch::OnConfigureQuickExec(folders.profile, nullptr);
        QVERIFY(reopened);
        QCOMPARE(Stored(folders, "Mods").toString(), QString("alpha\\korvane"));
        QCOMPARE(Stored(folders, "Dedicated").toString(), QString("0"));

        AnswerModal<CExecuteDlg>([](CExecuteDlg* dlg) {
            QTest::keyClick(dlg->findChild<QCheckBox*>(), Qt::Key_Space);
            Button(dlg, "Cancel")->click();
        });
        launch::OnConfigureQuickExec(folders.profile, nullptr);
        QCOMPARE(Stored(folders, "Dedicated").toString(), QString("0"));
    }

    void configurationSaysWhichFolderIsMissingAndWritesNothing_data()
    {
        QTest::addColumn<bool>("tribes");
        QTest::addColumn<bool>("korvane");
        QTest::addColumn<QString>("message");
        const QString needsTribes =
            "You must set the Tribes folder before you can configure QuickExec.";
        QTest::newRow("neither") << false << false << needsTribes;
        QTest::newRow("no Korvane")
            << true << false
            << "You must set the Korvane folder before you can configure QuickExec.";
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
        QString shown;
        AnswerMessage(&shown);
        launch::OnConfigureQuickExec(folders.profile, nullptr);
        QCOMPARE(shown, message);
        QVERIFY(!Stored(folders, "Mods").isValid());
    }

    void emptyStoredListIsNotConfiguredWhateverElseIsStored()
    {
        LaunchFolders folders;
        QVERIFY(launch::StoreQuickExec(folders.profile, {{}, true, "+connect host"}));
        QString shown;
        AnswerMessage(&shown);
        launch::OnQuickExec(folders.profile, nullptr);
        QCOMPARE(shown, QString("QuickExec has not yet been configured. You can configure "
                                "QuickExec from the options dialog."));
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
