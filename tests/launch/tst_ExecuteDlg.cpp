#include "LaunchTestSupport.h"
#include "ui/CFolderBrowserDlg.h"

namespace {

QListWidget* List(CExecuteDlg& dlg)
{
    return dlg.findChild<QListWidget*>();
}

QString Selected(CExecuteDlg& dlg)
{
    const auto items = List(dlg)->selectedItems();
    return items.isEmpty() ? QString() : items.front()->text();
}

void Click(CExecuteDlg& dlg, const QString& caption)
{
    QTest::mouseClick(Button(&dlg, caption), Qt::LeftButton);
}

void Select(CExecuteDlg& dlg, const QString& name)
{
    QListWidget* list = List(dlg);
    const QRect place = list->visualItemRect(list->findItems(name, Qt::MatchExactly).value(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
    QCOMPARE(Selected(dlg), name);
}

// Presses Add and picks folder in the browser it opens.
void AddFolder(CExecuteDlg& dlg, const QString& folder)
{
    AnswerModal<CFolderBrowserDlg>([folder](CFolderBrowserDlg* browser) {
        QVERIFY(browser->SelectFolder(folder));
        QTest::keyClick(browser, Qt::Key_Return);
    });
    Click(dlg, "&Add");
}

} // namespace

class tst_ExecuteDlg : public QObject
{
    Q_OBJECT

private slots:
    void addedModsTakeTheirAlphabeticalPlaceWithoutRegardToCase()
    {
        LaunchFolders folders;
        for (const char* folder : {"tribes/zeta", "tribes/Alpha", "tribes/mods/beta",
                                   "tribes/other/ALPHA", "tribes/Omega"})
            folders.tree.MakeFolder(folder);
        CExecuteDlg dlg(folders.profile, false);
        dlg.show();
        QCOMPARE(Listed(&dlg), QStringList{"korvane"});
        for (const char* folder : {"tribes/zeta", "tribes/Alpha", "tribes/mods/beta",
                                   "tribes/other/ALPHA", "tribes/zeta", "tribes", "tribes/Omega"})
            AddFolder(dlg, folders.Folder(folder));
        QCOMPARE(Listed(&dlg),
                 (QStringList{"Alpha", "beta", "korvane", "Omega", "tribes", "zeta"}));
        QCOMPARE(Selected(dlg), QString());
    }

    void movedModKeepsItsSelectionAndOkReturnsTheNewOrder()
    {
        LaunchFolders folders;
        CExecuteDlg dlg(folders.profile, false);
        dlg.m_mods = {"korvane", "zeta", "alpha"};
        dlg.show();
        QCOMPARE(Listed(&dlg), (QStringList{"alpha", "korvane", "zeta"}));
        Select(dlg, "zeta");
        Click(dlg, "&Up");
        Click(dlg, "&Up");
        QCOMPARE(Listed(&dlg), (QStringList{"zeta", "alpha", "korvane"}));
        Click(dlg, "&Down");
        QCOMPARE(Selected(dlg), QString("zeta"));
        Click(dlg, "Go!");
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.m_mods, (QStringList{"alpha", "zeta", "korvane"}));
    }

    void listStaysAsItWasWhenAButtonHasNothingToDo_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("button");
        QTest::newRow("up on the first") << "alpha"
                                         << "&Up";
        QTest::newRow("down on the last") << "zeta"
                                          << "&Down";
        QTest::newRow("up without selection") << ""
                                              << "&Up";
        QTest::newRow("down without selection") << ""
                                                << "&Down";
        QTest::newRow("remove without selection") << ""
                                                  << "&Remove";
        QTest::newRow("remove the Korvane folder") << "korvane"
                                                   << "&Remove";
    }
    void listStaysAsItWasWhenAButtonHasNothingToDo()
    {
        QFETCH(QString, selected);
        QFETCH(QString, button);
        LaunchFolders folders;
        CExecuteDlg dlg(folders.profile, false);
        dlg.m_mods = {"zeta", "korvane", "alpha"};
        dlg.show();
        if (!selected.isEmpty())
            Select(dlg, selected);
        Click(dlg, button);
        QCOMPARE(Listed(&dlg), (QStringList{"alpha", "korvane", "zeta"}));
        QCOMPARE(Selected(dlg), selected);
    }

    void removeTakesAnyOtherSpellingOfTheKorvaneFolder()
    {
        LaunchFolders folders;
        CExecuteDlg dlg(folders.profile, true);
        dlg.m_mods = {"Korvane", "alpha", "korvane"};
        dlg.show();
        Select(dlg, "Korvane");
        Click(dlg, "&Remove");
        QCOMPARE(Selected(dlg), QString());
        Select(dlg, "alpha");
        Click(dlg, "&Remove");
        Click(dlg, "Save");
        QCOMPARE(dlg.m_mods, QStringList{"korvane"});
    }

    void korvaneFolderWithoutANameStartsAnEmptyListAndProtectsNothing_data()
    {
        QTest::addColumn<QString>("korvaneFolder");
        QTest::addColumn<QStringList>("listed");
        QTest::newRow("trailing separator") << "tribes/korvane/" << QStringList{"korvane"};
        QTest::newRow("no trailing separator") << "tribes/korvane" << QStringList{"korvane"};
        QTest::newRow("not set") << "" << QStringList{};
        QTest::newRow("file-system root") << "/" << QStringList{};
    }
    void korvaneFolderWithoutANameStartsAnEmptyListAndProtectsNothing()
    {
        QFETCH(QString, korvaneFolder);
        QFETCH(QStringList, listed);
        LaunchFolders folders;
        const bool inTree = korvaneFolder.startsWith("tribes");
        folders.profile.WriteProfileString(profile::kDirectories, profile::kKorvane,
                                           inTree ? folders.tree.Path(korvaneFolder.toStdString())
                                                  : korvaneFolder.toStdString());
        CExecuteDlg dlg(folders.profile, false);
        dlg.show();
        QCOMPARE(Listed(&dlg), listed);

        dlg.m_mods = {"korvane", "", "alpha"}; // an empty stored name is not shown
        dlg.hide();
        dlg.show();
        for (const QString name : {"korvane", "alpha"}) {
            Select(dlg, name);
            Click(dlg, "&Remove");
        }
        QCOMPARE(Listed(&dlg), listed);
    }

    void addSaysWhenTheTribesFolderCannotBeFound_data()
    {
        QTest::addColumn<QString>("tribesFolder");
        QTest::newRow("not set") << "";
        QTest::newRow("missing") << "missing/";
    }
    void addSaysWhenTheTribesFolderCannotBeFound()
    {
        QFETCH(QString, tribesFolder);
        LaunchFolders folders;
        folders.profile.WriteProfileString(
            profile::kDirectories, profile::kTribes,
            tribesFolder.isEmpty() ? "" : folders.tree.Path(tribesFolder.toStdString()));
        CExecuteDlg dlg(folders.profile, false);
        dlg.show();
        QString message;
        AnswerMessage(&message);
        Click(dlg, "&Add");
        QCOMPARE(message, QString("Korvane Manager could not find your Tribes folder."));
        QCOMPARE(Listed(&dlg), QStringList{"korvane"});
    }
};

QTEST_MAIN(tst_ExecuteDlg)
#include "tst_ExecuteDlg.moc"
