#include "catalogue/KorvaneFolders.h"
#include "support/TestTree.h"
#include "ui/CFolderBrowserDlg.h"

#include <QtTest>

class tst_FolderBrowser : public QObject
{
    Q_OBJECT

private:
    static CFolderBrowserDlg::FolderTest KorvaneTest()
    {
        return {
            [](const QString& folder) { return korvane::HasKorvaneScript(folder.toStdString()); },
            "passes", "fails"};
    }
    static QString Q(const std::string& s) { return QString::fromStdString(s); }

private slots:
    void okFollowsTheTestAsTheSelectionMoves()
    {
        TestTree tree;
        tree.Write("korvane/KORVANE.CS", "");
        tree.MakeFolder("other");
        CFolderBrowserDlg dlg("Pick", {}, Q(tree.Path("other")), KorvaneTest());
        QCOMPARE(dlg.StatusText(), QString("fails"));
        QVERIFY(!dlg.IsOkEnabled());
        QVERIFY(dlg.SelectFolder(Q(tree.Path("korvane"))));
        QCOMPARE(dlg.StatusText(), QString("passes"));
        QVERIFY(dlg.IsOkEnabled());
        QCOMPARE(dlg.SelectedFolder(), QDir::cleanPath(Q(tree.Path("korvane"))));
    }

    void withoutInitialFolderNothingIsChosenAndOkIsOff()
    {
        CFolderBrowserDlg dlg("Pick", {}, {}, KorvaneTest());
        QCOMPARE(dlg.StatusText(), QString("fails"));
        QVERIFY(!dlg.IsOkEnabled());
        QVERIFY(dlg.SelectedFolder().isEmpty());
    }

    void onlyTheRootAndFoldersBelowItCanBeChosen()
    {
        TestTree tree;
        tree.MakeFolder("tribes/mods/alpha");
        tree.MakeFolder("elsewhere");
        CFolderBrowserDlg dlg("Choose a mod:", Q(tree.Path("tribes")), {}, std::nullopt);
        QVERIFY(!dlg.SelectFolder(Q(tree.Path("elsewhere"))));
        QVERIFY(!dlg.SelectFolder(Q(tree.Path("tribes/../elsewhere"))));
        QVERIFY(dlg.SelectFolder(Q(tree.Path("tribes"))));
        QVERIFY(dlg.IsOkEnabled());
        QVERIFY(dlg.SelectFolder(Q(tree.Path("tribes/mods/alpha"))));
        QCOMPARE(QFileInfo(dlg.SelectedFolder()).fileName(), QString("alpha"));
    }

    void okReturnsTheChosenFolder()
    {
        TestTree tree;
        tree.MakeFolder("tribes/base");
        CFolderBrowserDlg dlg("Choose a mod:", Q(tree.Path("tribes")), {}, std::nullopt);
        dlg.SelectFolder(Q(tree.Path("tribes/base")));
        QTimer::singleShot(0, &dlg, [&dlg] { QTest::keyClick(&dlg, Qt::Key_Return); });
        QCOMPARE(dlg.exec(), int(QDialog::Accepted));
        QCOMPARE(QFileInfo(dlg.SelectedFolder()).fileName(), QString("base"));
    }

    void tribesProgramIsRecognisedInAnyCase()
    {
        TestTree tree;
        tree.Write("win/TRIBES.EXE", "MZ\x90\x00");
        tree.Write("text/tribes.exe", "not a program");
        tree.Write("script/Tribes.exe", "#!/bin/sh\n");
        QFile::setPermissions(Q(tree.Path("script/Tribes.exe")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        tree.MakeFolder("folder/tribes.exe");
        QVERIFY(korvane::FindTribesProgram(tree.Path("win\\")));
        QVERIFY(!korvane::FindTribesProgram(tree.Path("text\\")));
        QVERIFY(korvane::FindTribesProgram(tree.Path("script\\")));
        QVERIFY(!korvane::FindTribesProgram(tree.Path("folder\\")));
        QVERIFY(!korvane::FindTribesProgram(tree.Path("missing\\")));
    }
};

QTEST_MAIN(tst_FolderBrowser)
#include "tst_FolderBrowser.moc"
