#include "res/Strings.h"
#include "support/ModalScript.h"
#include "support/TestTree.h"
#include "ui/CFolderBrowserDlg.h"
#include "ui/COptionsDlg.h"

#include <QtTest>

class tst_OptionsDlg : public QObject
{
    Q_OBJECT

private slots:
    void onlyAChangedKorvaneFolderTextBringsTheQuickExecReminder_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("reminded");
        QTest::newRow("same folder") << "Korvane" << false;
        QTest::newRow("other letter case") << "KORVANE" << true;
        QTest::newRow("other folder") << "other" << true;
    }
    void onlyAChangedKorvaneFolderTextBringsTheQuickExecReminder()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, reminded);
        TestTree tree;
        for (const char* folder : {"Korvane", "KORVANE", "other"})
            tree.Write(std::string(folder) + "/korvane.cs", "");
        COptionsDlg dlg;
        dlg.m_strKorvaneDir = tree.QPath("Korvane/");
        dlg.m_strTribesDir = tree.QPath("not/checked/again/");

        ModalScript script;
        script.Press("browseKorvane").Browse(tree.QPath(chosen.toStdString())).Press("ok");
        if (reminded)
            script.AnswerMessage();
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));

        QVERIFY(script.Finished());
        QCOMPARE(script.Messages(),
                 reminded ? QStringList{S(strings::kKorvaneFolderChanged)} : QStringList{});
        // The browsed folder comes back with exactly one trailing separator.
        QCOMPARE(dlg.m_strKorvaneDir, tree.QPath(chosen.toStdString() + "/"));
    }

    void eachBrowserTellsWhetherTheFolderPasses_data()
    {
        QTest::addColumn<QString>("browse");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("status");
        // clang-format off
        QTest::newRow("Korvane script") << "browseKorvane" << "k" << S(strings::kKorvaneFound);
        QTest::newRow("no Korvane script") << "browseKorvane" << "t" << S(strings::kKorvaneNotFound);
        QTest::newRow("Tribes program") << "browseTribes" << "t" << S(strings::kTribesFound);
        QTest::newRow("text named tribes.exe") << "browseTribes" << "k" << S(strings::kTribesNotFound);
        // clang-format on
    }
    void eachBrowserTellsWhetherTheFolderPasses()
    {
        QFETCH(QString, browse);
        QFETCH(QString, folder);
        QFETCH(QString, status);
        TestTree tree;
        tree.Write("k/Korvane.CS", "");
        tree.Write("k/tribes.exe", "not a program");
        tree.Write("t/TRIBES.EXE", "MZ\x90");
        COptionsDlg dlg;

        ModalScript script;
        script.Press(browse)
            .Then("CFolderBrowserDlg",
                  [&](QWidget* active) {
                      auto* browser = static_cast<CFolderBrowserDlg*>(active);
                      QVERIFY(browser->SelectFolder(tree.QPath(folder.toStdString())));
                      QCOMPARE(browser->StatusText(), status);
                      browser->reject();
                  })
            .Press("cancel");
        QCOMPARE(dlg.exec(), int(QDialog::Rejected));
        QVERIFY(script.Finished());
    }
};

QTEST_MAIN(tst_OptionsDlg)
#include "tst_OptionsDlg.moc"
