// The Execute dialog and the window's launch commands: Execute Tribes, QuickExec and its
// configuration.
#include "core/launch/QuickExec.h"
#include "core/platform/ProfileEntries.h"
#include "core/platform/SettingsProfile.h"
#include "gui/dialogs/CExecuteDlg.h"
#include "gui/mainwindow/LaunchCommands.h"
#include "res/Strings.h"
#include "support/ModalScript.h"
#include "support/TestTree.h"
#include "support/TribesStandIn.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace korvane;
using namespace korvane::dialogs;
using namespace korvane::mainwindow;

namespace {

// A Tribes folder holding the Korvane folder, both named in a scratch settings file.
struct LaunchFolders
{
    TestTree tree;
    SettingsProfile profile = SettingsProfile::AtFile(tree.QPath("profile.ini"));

    LaunchFolders()
    {
        tree.MakeFolder("tribes/korvane");
        SetFolder(profile::kTribes, "tribes/");
        SetFolder(profile::kKorvane, "tribes/korvane/");
    }
    // Names that folder below the tree in the settings; empty: none.
    void SetFolder(const char* key, const std::string& rel) const
    {
        profile.WriteProfileString(profile::kDirectories, key, rel.empty() ? "" : tree.Path(rel));
    }
};

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

class tst_LaunchTribes : public QObject
{
    Q_OBJECT

private slots:
    void goStartsTheGameWithTheDialogsChoices()
    {
        LaunchFolders f;
        QVERIFY(testsupport::PutTribesStandIn(f.tree, "tribes/tribes.exe"));
        ModalScript script;
        script.Then("CExecuteDlg", [](QWidget* dlg) {
            QTest::keyClick(dlg->findChild<QCheckBox*>(), Qt::Key_Space);
            QTest::keyClicks(dlg->findChild<QLineEdit*>(), "+exec a.cs");
            QTest::keyClick(dlg->findChild<QLineEdit*>(), Qt::Key_Return); // presses "Go!"
        });
        LaunchCommands(f.profile, nullptr).executeTribes();
        QTRY_COMPARE_WITH_TIMEOUT(
            testsupport::TribesRun(f.tree, "tribes/"),
            testsupport::ExpectedRun(f.tree, "tribes/",
                                     {"-dedicated", "-mod", "korvane", "+exec", "a.cs"}),
            10000);
    }

    void savedQuickExecIsStoredAndComesBack()
    {
        LaunchFolders f;
        f.tree.MakeFolder("tribes/alpha");
        const QString extra = " +exec \"a b\"; x=$(y) ";
        ModalScript script;
        script
            .Then("CExecuteDlg",
                  [&extra](QWidget* dlg) {
                      PushButton(dlg, S(strings::kExecAdd))->click();
                      dlg->findChild<QCheckBox*>()->click();
                      dlg->findChild<QLineEdit*>()->setText(extra);
                      PushButton(dlg, S(strings::kExecSave))->click();
                  })
            .Browse(f.tree.QPath("tribes/alpha"));
        LaunchCommands(f.profile, nullptr).configureQuickExec();
        QVERIFY(script.Finished());
        QCOMPARE(f.profile.GetProfileString(profile::kQuickExec, profile::kMods), "alpha\\korvane");

        // The stored choices come back into the dialog; Cancel stores nothing.
        script.Then("CExecuteDlg", [&extra](QWidget* dlg) {
            QCOMPARE(dlg->findChild<QLineEdit*>()->text(), extra);
            QVERIFY(dlg->findChild<QCheckBox*>()->isChecked());
            QCOMPARE(Listed(dlg), (QStringList{"alpha", "korvane"}));
            dlg->findChild<QCheckBox*>()->click();
            PushButton(dlg, S(strings::kExecCancel))->click();
        });
        LaunchCommands(f.profile, nullptr).configureQuickExec();
        QVERIFY(script.Finished());
        QVERIFY(launch::LoadQuickExec(f.profile).dedicated);
    }

    // A command that cannot go on shows one message with the reason and opens nothing more (the
    // main window's tests show QuickExec's).
    void refusalsSayWhy()
    {
        LaunchFolders f;
        CExecuteDlg dlg(f.profile, false);
        dlg.show();
        ModalScript script;
        for (const char* tribes : {"", "missing/"}) { // not set, or not there
            f.SetFolder(profile::kTribes, tribes);
            script.AnswerMessage();
            Click(dlg, strings::kExecAdd);
        }
        f.SetFolder(profile::kKorvane, "");
        script.AnswerMessage();
        LaunchCommands(f.profile, nullptr).configureQuickExec();
        QVERIFY(script.Finished());
        QCOMPARE(script.Messages(),
                 QStringList({S(strings::kExecTribesNotFound), S(strings::kExecTribesNotFound),
                              S(strings::kQuickExecNeedsKorvane)}));
    }

    // Added mods take their alphabetical place, once whatever their letter case; a button with
    // nothing to do (nothing selected, Up on the first, Down on the last) changes nothing; a
    // moved mod keeps its selection, and Go returns the new order.
    void eachModIsAddedOnceAndMovedOnesKeepTheirSelection()
    {
        LaunchFolders f;
        CExecuteDlg dlg(f.profile, false);
        dlg.show();
        ModalScript script;
        for (const std::string folder :
             {"zeta", "Alpha", "mods/beta", "other/ALPHA", "zeta", "", "Omega"}) {
            f.tree.MakeFolder("tribes/" + folder);
            script.Browse(f.tree.QPath("tribes/" + folder));
            Click(dlg, strings::kExecAdd);
        }
        QVERIFY(script.Finished());
        for (const char* button : {strings::kExecUp, strings::kExecDown, strings::kExecRemove})
            Click(dlg, button);
        Select(dlg, "Alpha");
        Click(dlg, strings::kExecUp);
        Select(dlg, "zeta");
        Click(dlg, strings::kExecDown);
        Click(dlg, strings::kExecUp);
        Click(dlg, strings::kExecUp); // zeta still selected
        Click(dlg, strings::kExecGo);
        QCOMPARE(dlg.m_mods, (QStringList{"Alpha", "beta", "korvane", "zeta", "Omega", "tribes"}));
    }

    // Remove spares the Korvane folder's own name, as spelled; an empty stored name is not shown.
    void removeSparesOnlyTheKorvaneFolderAsSpelled()
    {
        LaunchFolders f;
        CExecuteDlg dlg(f.profile, true);
        dlg.m_mods = {"Korvane", "", "alpha", "korvane"};
        dlg.show();
        QCOMPARE(Listed(&dlg), (QStringList{"alpha", "Korvane", "korvane"}));
        for (const QString name : {"Korvane", "alpha", "korvane"}) {
            Select(dlg, name);
            Click(dlg, strings::kExecRemove);
        }
        Click(dlg, strings::kExecSave);
        QCOMPARE(dlg.m_mods, QStringList{"korvane"});
    }
};

QTEST_MAIN(tst_LaunchTribes)
#include "tst_LaunchTribes.moc"
