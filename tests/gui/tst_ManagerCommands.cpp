// The main window's commands that hand over to the description editor, the configuration files
// and the launcher, driven through the window's own menus.
#include "core/launch/QuickExec.h"
#include "core/platform/FolderLock.h"
#include "ManagerWindow.h"

#include <filesystem>
#include <optional>
#include <QCheckBox>
#include <QComboBox>

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
ModalScript::Step ChooseFile(const QString& file)
{
    return [file](QWidget* active) {
        auto* name = active->findChild<QLineEdit*>("fileNameEdit");
        QVERIFY(name);
        name->setText(file);
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
        Manager m;
        m.Plugins("Weapon/Blaster+ Weapon/Sniper+");
        QVERIFY(m.Show());
        m.Click("Blaster");

        ModalScript script;
        script.Then("CDescEditDlg", Edit("Big Blaster", "Pack"));
        m.Command(strings::kMenuEditDescription);
        QVERIFY(script.Finished());
        QCOMPARE(m.Tree(), (QStringList{"Pack: Big Blaster", "Weapon: Sniper"}));
        QCOMPARE(m.Entries(), (QStringList{"Big Blaster", "Sniper"}));
        QCOMPARE(m.State(), QString("Big Blaster|Big Blaster|Big Blaster||<<"));

        // A category changed only in letter case keeps its node.
        script.Then("CDescEditDlg", Edit("Big Blaster", "pack"));
        m.Command(strings::kMenuEditDescription);
        QVERIFY(script.Finished());
        QCOMPARE(m.Tree(), (QStringList{"Pack: Big Blaster", "Weapon: Sniper"}));

        // The list entry still leads to the moved item, and taking the plug-in out still works.
        m.ClickEntry("Sniper");
        QCOMPARE(m.State(), QString("Sniper|Sniper|Sniper||<<"));
        m.ClickEntry("Big Blaster");
        QCOMPARE(m.State(), QString("Big Blaster|Big Blaster|Big Blaster||<<"));
        m.unuse->click();
        QCOMPARE(m.Entries(), QStringList{"Sniper"});
    }

    void aDescriptionThatCannotBeWrittenIsReportedAndNothingChanges()
    {
        Manager m;
        m.Plugins("Weapon/Blaster");
        QVERIFY(m.Show());
        m.Click("Blaster");
        // The storage folder is replaced by a file: no description can be written in it.
        std::filesystem::remove_all(m.files.Path("k/storage"));
        m.files.Write("k/storage", "not a folder");
        ModalScript script;
        script.Then("CDescEditDlg", Edit("Renamed", "Pack")).AnswerMessage();
        m.Command(strings::kMenuEditDescription);
        QVERIFY(script.Finished());
        QCOMPARE(script.Messages().size(), 1);
        QVERIFY(script.Messages().first().startsWith(S(strings::kDescriptionWriteFailed) + "\n\n"));
        QCOMPARE(m.Tree(), QStringList{"Weapon: Blaster"});
    }

    void savedConfigurationLoadsBackThePluginsInUse()
    {
        Manager m;
        m.Plugins("Cat/Alpha+ Cat/Charlie");
        m.Plugin("weapons/bravo", "Bravo", "Cat", true);
        QVERIFY(m.Show());
        const QString file = m.files.QPath("setup.pfg");

        ModalScript script;
        script
            .Then("CSaveConfigDlg",
                  [](QWidget* active) {
                      active->findChild<QLineEdit*>("configName")->setText("Two");
                      active->findChild<QCheckBox*>("storeDirectory")->setChecked(true);
                      static_cast<QDialog*>(active)->accept();
                  })
            .Then("QFileDialog", ChooseFile(file));
        m.Command(strings::kMenuSaveConfig);
        QVERIFY(script.Finished());
        // The dialog's name and box reach the file.
        QVERIFY(m.files.Read("setup.pfg").starts_with("Name=Two\r\nUseDirectory=TRUE\r\n"));

        m.Click("Charlie");
        m.use->click();
        script.Then("QFileDialog", ChooseFile(file));
        m.Command(strings::kMenuLoadConfig);
        QVERIFY(script.Finished());
        QCOMPARE(m.Entries(), (QStringList{"Alpha", "Bravo"}));
        QVERIFY(!m.files.Exists("k/plugins/charlie.cs"));
    }

    void aLoadThatCannotRunOrSecureEveryFileChangesNothing_data()
    {
        QTest::addColumn<bool>("busy");
        QTest::newRow("a file only plugins has cannot go into storage") << false;
        QTest::newRow("another Korvane Manager is changing the folders") << true;
    }
    void aLoadThatCannotRunOrSecureEveryFileChangesNothing()
    {
        QFETCH(bool, busy);
        Manager m;
        m.Plugins("Cat/Alpha+ Cat/Beta");
        m.files.Write("beta.pfg", "Name=b\r\nUseDirectory=FALSE\r\nPlugin=,beta\r\n");
        QVERIFY(m.Show());
        // A file stands where storage's subfolder must be: this script cannot be secured there.
        m.files.Write("k/plugins/weapons/onlyhere.cs", "the only copy");
        m.files.Write("k/storage/weapons", "not a folder");
        std::optional<korvane::FolderLock> other;
        if (busy) {
            auto lock = korvane::FolderLock::acquire(m.files.Path("k/"));
            QVERIFY(lock);
            other.emplace(std::move(lock).value());
        }

        ModalScript script;
        script.Then("QFileDialog", ChooseFile(m.files.QPath("beta.pfg"))).AnswerMessage();
        m.Command(strings::kMenuLoadConfig);
        QVERIFY(script.Finished());
        const QString message = script.Messages().value(0);
        QVERIFY2(message.startsWith(S(strings::kConfigLoadFailed) + "\n\n"), qPrintable(message));
        if (busy)
            QVERIFY(message.endsWith(S(strings::kFoldersBusy)));
        QCOMPARE(m.files.Read("k/plugins/weapons/onlyhere.cs"), std::string("the only copy"));
        QVERIFY(m.files.Exists("k/plugins/alpha.cs"));
        QVERIFY(!m.files.Exists("k/plugins/beta.cs"));
        QCOMPARE(m.Entries(), QStringList{"Alpha"});
    }

    void withoutAKorvaneFolderNoFolderIsCreatedOrEmptied()
    {
        Manager m(false);
        m.files.Write("setup.pfg", "Name=x\r\nUseDirectory=FALSE\r\n");
        // Relative to the current folder these would be taken for the player's folders.
        m.files.Write("plugins/keep.cs", "keep");
        const QString previous = QDir::currentPath();
        QDir::setCurrent(m.files.QPath(""));
        ModalScript script;
        script.Press("cancel")
            .Then("QFileDialog", ChooseFile(m.files.QPath("setup.pfg")))
            .AnswerMessage();
        const bool shown = m.Show();
        m.Command(strings::kMenuLoadConfig);
        QDir::setCurrent(previous);

        QVERIFY(shown);
        QVERIFY(script.Finished());
        QCOMPARE(script.Messages(), QStringList{S(strings::kConfigLoadFailed) + "\n\n" +
                                                S(strings::kNoKorvaneFolder)});
        QCOMPARE(m.files.Read("plugins/keep.cs"), std::string("keep"));
        QVERIFY(!m.files.Exists("storage"));
        QCOMPARE(m.tree->topLevelItemCount(), 0);
        QCOMPARE(m.list->count(), 0);
        QCOMPARE(m.Setting(profile::kKorvane), std::string());
    }

    void commandsThatCannotRunSayWhyOrNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("unreachable update server")
            << S(strings::kMenuCheckForUpdates) << QStringList();
        QTest::newRow("Quick Exec without mods")
            << S(strings::kMenuQuickExec) << QStringList{S(strings::kQuickExecNotConfigured)};
    }
    void commandsThatCannotRunSayWhyOrNothing()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, messages);
        Manager m;
        // Port 1 on the loopback address: nothing listens there, the connection is refused.
        m.profile.WriteProfileString(profile::kUpdater, profile::kUrl,
                                     "http://127.0.0.1:1/korvane/updates/korvane.upd");
        QVERIFY(launch::StoreQuickExec(m.profile, {{}, true, "+connect host"}));
        QVERIFY(m.Show());
        ModalScript script;
        for (int i = 0; i < messages.size(); ++i)
            script.AnswerMessage();
        m.Command(command);
        QVERIFY(script.Finished());
        QCOMPARE(script.Messages(), messages);
        QVERIFY(m.dlg.isVisible());
    }
};

QTEST_MAIN(tst_ManagerCommands)
#include "tst_ManagerCommands.moc"
