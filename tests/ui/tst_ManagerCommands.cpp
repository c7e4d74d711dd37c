// The main window's commands that hand over to the description editor, the configuration files
// and the launcher, driven through the window's own menus.
#include "ManagerWindow.h"
#include "ui/CDescEditDlg.h"
#include "ui/CSaveConfigDlg.h"

#include <QComboBox>
#include <QFileDialog>
#include <QMessageBox>

using namespace managertest;

namespace {

// Step for the description editor: set the fields given, then OK.
ModalScript::Step Edit(const QString& name, const QString& category)
{
    return [name, category](QWidget* active) {
        active->findChild<QLineEdit*>("name")->setText(name);
        active->findChild<QComboBox*>("category")->setEditText(category);
        static_cast<QDialog*>(active)->accept();
    };
}

// Step for a file dialog: take this file.
ModalScript::Step ChooseFile(const std::string& file)
{
    return [file](QWidget* active) {
        auto* name = active->findChild<QLineEdit*>("fileNameEdit");
        QVERIFY(name);
        name->setText(Q(file));
        QTest::keyClick(name, Qt::Key_Return);
    };
}

} // namespace

class tst_ManagerCommands : public QObject
{
    Q_OBJECT

private slots:
    void editingMovesThePluginToItsNewCategoryAndTheListEntryStillWorks()
    {
        Folders folders;
        folders.Plugin("blaster", "Blaster", "Weapon");
        folders.Plugin("sniper", "Sniper", "Weapon");
        folders.InUse("blaster");
        folders.InUse("sniper");
        Window window(folders.profile);
        QVERIFY(window.Show());
        window.Click("Blaster");

        ModalScript script;
        script.Then("CDescEditDlg", Edit("Big Blaster", "Pack"));
        window.Command(strings::kMenuEditDescription);
        QVERIFY(script.Finished());

        QCOMPARE(window.Tree(), (QStringList{"Pack: Big Blaster", "Weapon: Sniper"}));
        QCOMPARE(window.Entries(), (QStringList{"Big Blaster", "Sniper"}));
        QCOMPARE(window.Current(), QString("Big Blaster"));
        QCOMPARE(window.name->text(), QString("Big Blaster"));
        QVERIFY(
            folders.tree.Read("k/storage/blaster.desc.txt").starts_with("Name=Big Blaster\r\n"));

        // The list entry still leads to the moved item, and taking the plug-in out still works.
        window.ClickEntry("Sniper");
        QCOMPARE(window.Current(), QString("Sniper"));
        window.ClickEntry("Big Blaster");
        QCOMPARE(window.Current(), QString("Big Blaster"));
        QVERIFY(window.unuse->isEnabled());
        window.unuse->click();
        QVERIFY(!folders.tree.Exists("k/plugins/blaster.cs"));
        QCOMPARE(window.Entries(), QStringList{"Sniper"});
    }

    void aCategoryChangedOnlyInLetterCaseKeepsItsNode()
    {
        Folders folders;
        folders.Plugin("blaster", "Blaster", "Weapon");
        Window window(folders.profile);
        QVERIFY(window.Show());
        window.Click("Blaster");
        ModalScript script;
        script.Then("CDescEditDlg", Edit("Blaster", "weapon"));
        window.Command(strings::kMenuEditDescription);
        QVERIFY(script.Finished());
        QCOMPARE(window.Tree(), QStringList{"Weapon: Blaster"});
        QVERIFY(folders.tree.Read("k/storage/blaster.desc.txt").find("Category=weapon") !=
                std::string::npos);
    }

    void editDescriptionWithACategorySelectedDoesNothing()
    {
        Folders folders;
        folders.tree.Write("k/storage/blaster.cs", "");
        Window window(folders.profile);
        QVERIFY(window.Show());
        window.tree->setCurrentItem(window.Item("Unknown"));
        ModalScript script; // any dialog would be unexpected
        window.Command(strings::kMenuEditDescription);
        QTest::qWait(50);
        QVERIFY(script.Unexpected().isEmpty());
        QVERIFY(!folders.tree.Exists("k/storage/blaster.desc.txt"));
    }

    void aDescriptionThatCannotBeWrittenIsReportedAndNothingChanges()
    {
        Folders folders;
        folders.Plugin("blaster", "Blaster", "Weapon");
        Window window(folders.profile);
        QVERIFY(window.Show());
        window.Click("Blaster");
        // The storage folder is replaced by a file: no description can be written in it.
        std::filesystem::remove_all(Q(folders.tree.Path("k/storage")).toStdString());
        folders.tree.Write("k/storage", "not a folder");
        ModalScript script;
        script.Then("CDescEditDlg", Edit("Renamed", "Pack")).AnswerMessage();
        window.Command(strings::kMenuEditDescription);
        QVERIFY(script.Finished());
        QCOMPARE(script.Messages(), QStringList{S(strings::kDescriptionWriteFailed)});
        QCOMPARE(window.Tree(), QStringList{"Weapon: Blaster"});
    }

    void savedConfigurationLoadsBackThePluginsInUse()
    {
        Folders folders;
        folders.Plugin("alpha", "Alpha", "Cat");
        folders.Plugin("weapons/bravo", "Bravo", "Cat");
        folders.Plugin("charlie", "Charlie", "Cat");
        folders.InUse("alpha");
        folders.tree.Write("k/plugins/weapons/bravo.cs", "b");
        Window window(folders.profile);
        QVERIFY(window.Show());
        const std::string file = folders.tree.Path("setup.pfg");

        ModalScript save;
        save.Then("CSaveConfigDlg",
                  [](QWidget* active) {
                      active->findChild<QLineEdit*>("configName")->setText("Two");
                      active->findChild<QCheckBox*>("storeDirectory")->setChecked(true);
                      static_cast<QDialog*>(active)->accept();
                  })
            .Then("QFileDialog", ChooseFile(file));
        window.Command(strings::kMenuSaveConfig);
        QVERIFY(save.Finished());
        QCOMPARE(folders.tree.Read("setup.pfg"),
                 std::string("Name=Two\r\nUseDirectory=TRUE\r\nPlugin=,alpha\r\n"
                             "Plugin=weapons\\,bravo\r\n"));

        // Another set in use, plus a plug-in that only the plugins folder has.
        window.Click("Charlie");
        window.use->click();
        folders.tree.Write("k/plugins/delta.cs", "only copy");
        ModalScript load;
        load.Then("QFileDialog", ChooseFile(file));
        window.Command(strings::kMenuLoadConfig);
        QVERIFY(load.Finished());
        QCOMPARE(window.Entries(), (QStringList{"Alpha", "Bravo"}));
        QVERIFY(folders.tree.Exists("k/plugins/weapons/bravo.cs"));
        QVERIFY(!folders.tree.Exists("k/plugins/charlie.cs"));
        QCOMPARE(folders.tree.Read("k/storage/delta.cs"), std::string("only copy"));
    }

    void loadingWithoutAKorvaneFolderTouchesNoFolder()
    {
        Folders folders(false);
        folders.tree.Write("setup.pfg", "Name=x\r\nUseDirectory=FALSE\r\n");
        // Relative to the current folder these would be taken for the player's folders.
        folders.tree.Write("plugins/keep.cs", "keep");
        const QString previous = QDir::currentPath();
        QDir::setCurrent(Q(folders.tree.Root()));
        Window window(folders.profile);
        ModalScript script;
        script.Press("cancel")
            .Then("QFileDialog", ChooseFile(folders.tree.Path("setup.pfg")))
            .AnswerMessage();
        const bool shown = window.Show();
        window.Command(strings::kMenuLoadConfig);
        QDir::setCurrent(previous);

        QVERIFY(shown);
        QVERIFY(script.Finished());
        QCOMPARE(script.Messages(), QStringList{S(strings::kConfigLoadFailed)});
        QCOMPARE(folders.tree.Read("plugins/keep.cs"), std::string("keep"));
        QVERIFY(!folders.tree.Exists("storage"));
    }

    void checkForUpdatesAgainstAnUnreachableServerShowsNothing()
    {
        Folders folders;
        // Port 1 on the loopback address: nothing listens there, the connection is refused.
        folders.profile.WriteProfileString(profile::kUpdater, profile::kUrl,
                                           "http://127.0.0.1:1/korvane/updates/korvane.upd");
        Window window(folders.profile);
        QVERIFY(window.Show());
        ModalScript script; // neither a dialog nor a message may come up
        window.Command(strings::kMenuCheckForUpdates);
        QTest::qWait(50);
        QVERIFY(script.Unexpected().isEmpty());
        QVERIFY(window.dlg.isVisible());
    }

    void quickExecThatWasNeverConfiguredSaysSo()
    {
        Folders folders;
        Window window(folders.profile);
        QVERIFY(window.Show());
        ModalScript script;
        script.AnswerMessage();
        window.Command(strings::kMenuQuickExec);
        QVERIFY(script.Finished());
        QCOMPARE(script.Messages(), QStringList{S(strings::kQuickExecNotConfigured)});
    }
};

QTEST_MAIN(tst_ManagerCommands)
#include "tst_ManagerCommands.moc"
