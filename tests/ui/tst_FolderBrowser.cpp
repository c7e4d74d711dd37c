#include "catalogue/KorvaneFolders.h"
#include "support/TestTree.h"
#include "ui/CFolderBrowserDlg.h"

#include <QtTest>

class tst_FolderBrowser : public QObject
{
    Q_OBJECT

private slots:
    void okFollowsTheTestAsTheSelectionMoves()
    {
        TestTree tree;
        tree.Write("korvane/KORVANE.CS", "");
        tree.MakeFolder("other");
        const CFolderBrowserDlg::FolderTest test{
            [](const QString& folder) { return korvane::HasKorvaneScript(folder.toStdString()); },
            "passes", "fails"};
        CFolderBrowserDlg dlg("Pick", {}, tree.QPath("korvane"), test);
        QCOMPARE(dlg.StatusText(), QString("passes"));
        QVERIFY(dlg.IsOkEnabled());
        QCOMPARE(dlg.SelectedFolder(), QDir::cleanPath(tree.QPath("korvane")));
        QVERIFY(dlg.SelectFolder(tree.QPath("other")));
        QCOMPARE(dlg.StatusText(), QString("fails"));
        QVERIFY(!dlg.IsOkEnabled());
    }

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
        QCOMPARE(QFileInfo(dlg.SelectedFolder()).fileName(), QString("alpha"));
    }

    void tribesProgramIsRecognisedInAnyCase()
    {
        TestTree tree;
        tree.Write("win/TRIBES.EXE", "MZ\x90\x00");
        tree.Write("text/tribes.exe", "not a program");
        tree.Write("script/Tribes.exe", "#!/bin/sh\n");
        QFile::setPermissions(tree.QPath("script/Tribes.exe"),
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
