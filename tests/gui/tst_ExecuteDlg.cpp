#include "LaunchTestSupport.h"
#include "res/Strings.h"

#include <QListWidget>
#include <QPushButton>

namespace {

// The modifications, top to bottom.
QStringList Listed(const QWidget* dlg)
{
    QStringList names;
    const auto* list = dlg->findChild<QListWidget*>();
    for (int row = 0; row < list->count(); ++row)
        names.append(list->item(row)->text());
    return names;
}

QString Selected(const CExecuteDlg& dlg)
{
    const auto items = dlg.findChild<QListWidget*>()->selectedItems();
    return items.isEmpty() ? QString() : items.front()->text();
}

void Click(const CExecuteDlg& dlg, const char* caption)
{
    QTest::mouseClick(PushButton(&dlg, S(caption)), Qt::LeftButton);
}

void Select(const CExecuteDlg& dlg, const QString& name)
{
    auto* list = dlg.findChild<QListWidget*>();
    const QRect place = list->visualItemRect(list->findItems(name, Qt::MatchExactly).value(0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
    QCOMPARE(Selected(dlg), name);
}

} // namespace

class tst_ExecuteDlg : public QObject
{
    Q_OBJECT

private slots:
    void addedModsTakeTheirAlphabeticalPlaceWithoutRegardToCase()
    {
        LaunchFolders folders;
        CExecuteDlg dlg(folders.profile, false);
        dlg.show();
        QCOMPARE(Listed(&dlg), QStringList{"korvane"});
        ModalScript script;
        for (const std::string folder :
             {"zeta", "Alpha", "mods/beta", "other/ALPHA", "zeta", "", "Omega"}) {
            folders.tree.MakeFolder("tribes/" + folder);
            script.Browse(folders.tree.QPath("tribes/" + folder));
            Click(dlg, strings::kExecAdd);
        }
        QVERIFY(script.Finished());
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
        Click(dlg, strings::kExecUp);
        Click(dlg, strings::kExecUp);
        QCOMPARE(Listed(&dlg), (QStringList{"zeta", "alpha", "korvane"}));
        Click(dlg, strings::kExecDown);
        QCOMPARE(Selected(dlg), QString("zeta"));
        Click(dlg, strings::kExecGo);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.m_mods, (QStringList{"alpha", "zeta", "korvane"}));
    }

    void listStaysAsItWasWhenAButtonHasNothingToDo_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("button");
        QTest::newRow("up on the first") << "alpha" << S(strings::kExecUp);
        QTest::newRow("down on the last") << "zeta" << S(strings::kExecDown);
        QTest::newRow("up without selection") << "" << S(strings::kExecUp);
        QTest::newRow("down without selection") << "" << S(strings::kExecDown);
        QTest::newRow("remove without selection") << "" << S(strings::kExecRemove);
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
        QTest::mouseClick(PushButton(&dlg, button), Qt::LeftButton);
        QCOMPARE(Listed(&dlg), (QStringList{"alpha", "korvane", "zeta"}));
        QCOMPARE(Selected(dlg), selected);
    }

    void removeSparesOnlyTheKorvaneFolderAsSpelled_data()
    {
        QTest::addColumn<bool>("korvaneSet");
        QTest::addColumn<QStringList>("left"); // also the list a run starts with
        QTest::newRow("Korvane folder set") << true << QStringList{"korvane"};
        QTest::newRow("no Korvane folder") << false << QStringList{};
    }
    void removeSparesOnlyTheKorvaneFolderAsSpelled()
    {
        QFETCH(bool, korvaneSet);
        QFETCH(QStringList, left);
        LaunchFolders folders;
        if (!korvaneSet)
            folders.profile.WriteProfileString(profile::kDirectories, profile::kKorvane, "");
        CExecuteDlg dlg(folders.profile, true);
        dlg.show();
        QCOMPARE(Listed(&dlg), left);

        dlg.m_mods = {"Korvane", "", "alpha", "korvane"}; // an empty stored name is not shown
        dlg.hide();
        dlg.show();
        QCOMPARE(Listed(&dlg), (QStringList{"alpha", "Korvane", "korvane"}));
        for (const QString name : {"Korvane", "alpha", "korvane"}) {
            Select(dlg, name);
            Click(dlg, strings::kExecRemove);
        }
        Click(dlg, strings::kExecSave);
        QCOMPARE(dlg.m_mods, left);
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
        ModalScript script;
        script.AnswerMessage();
        Click(dlg, strings::kExecAdd);
        QCOMPARE(script.Messages(), QStringList{S(strings::kExecTribesNotFound)});
        QCOMPARE(Listed(&dlg), QStringList{"korvane"});
    }
};

QTEST_MAIN(tst_ExecuteDlg)
#include "tst_ExecuteDlg.moc"
