#include "gui/CFolderBrowserDlg.h"
#include "gui/COptionsDlg.h"
#include "res/Strings.h"
#include "support/ModalScript.h"
#include "support/TestTree.h"

#include <QtTest>

using namespace korvane;

class tst_FolderBrowser : public QObject
{
    Q_OBJECT

private slots:
    void onlyTheRootAndFoldersBelowItCanBeChosen()
    {
        TestTree tree;
        tree.MakeFolder("tribes/mods/alpha");
        tree.MakeFolder("elsewhere");
        CFolderBrowserDlg dlg("Choose a mod:", tree.QPath("tribes"), {}, std::nullopt);
        QVERIFY(!dlg.SelectFolder(tree.QPath("elsewhere")));
        QVERIFY(!dlg.SelectFolder(tree.QPath("tribes/../elsewhere")));
        QVERIFY(dlg.SelectFolder(tree.QPath("tribes")));
        QVERIFY(dlg.IsOkEnabled());
        QVERIFY(dlg.SelectFolder(tree.QPath("tribes/mods/alpha")));
        QCOMPARE(dlg.SelectedFolder(),
                 QDir::toNativeSeparators(QDir::cleanPath(tree.QPath("tribes/mods/alpha"))));
    }

    void eachOptionsBrowserTellsWhetherTheFolderPasses_data()
    {
        QTest::addColumn<QString>("browse");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("status");
        QTest::addColumn<bool>("passes"); // OK is enabled
        // clang-format off
        QTest::newRow("Korvane script") << "browseKorvane" << "k" << S(strings::kKorvaneFound) << true;
        QTest::newRow("no Korvane script") << "browseKorvane" << "t" << S(strings::kKorvaneNotFound) << false;
        QTest::newRow("Tribes program") << "browseTribes" << "t" << S(strings::kTribesFound) << true;
        QTest::newRow("text named tribes.exe") << "browseTribes" << "k" << S(strings::kTribesNotFound) << false;
        QTest::newRow("a script counts") << "browseTribes" << "s" << S(strings::kTribesFound) << true;
        QTest::newRow("a folder does not") << "browseTribes" << "f" << S(strings::kTribesNotFound) << false;
#ifndef Q_OS_WIN
        QTest::newRow("Wine prefix") << "browseWinePrefix" << "p" << S(strings::kWinePrefixFound) << true;
        QTest::newRow("a prefix's drive_c") << "browseWinePrefix" << "p/drive_c" << S(strings::kWinePrefixNotFound) << false;
#endif
        // clang-format on
    }
    void eachOptionsBrowserTellsWhetherTheFolderPasses()
    {
        QFETCH(QString, browse);
        QFETCH(QString, folder);
        QFETCH(QString, status);
        QFETCH(bool, passes);
        TestTree tree;
        tree.Write("k/Korvane.CS", "");
        tree.Write("k/tribes.exe", "not a program");
        tree.Write("t/TRIBES.EXE", "MZ\x90");
        tree.Write("s/Tribes.exe", "#!/bin/sh\n");
        QFile::setPermissions(tree.QPath("s/Tribes.exe"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        tree.MakeFolder("f/tribes.exe");
        tree.Write("p/system.reg", "");
        tree.Write("p/drive_c/Tribes/tribes.exe", "MZ\x90");
        COptionsDlg dlg;

        ModalScript script;
        script.Press(browse)
            .Then("CFolderBrowserDlg",
                  [&](QWidget* active) {
                      auto* browser = static_cast<CFolderBrowserDlg*>(active);
                      QVERIFY(browser->SelectFolder(tree.QPath(folder.toStdString())));
                      QCOMPARE(browser->StatusText(), status);
                      QCOMPARE(browser->IsOkEnabled(), passes);
                      browser->reject();
                  })
            .Press("cancel");
        QCOMPARE(dlg.exec(), int(QDialog::Rejected));
        QVERIFY(script.Finished());
    }
};

QTEST_MAIN(tst_FolderBrowser)
#include "tst_FolderBrowser.moc"
