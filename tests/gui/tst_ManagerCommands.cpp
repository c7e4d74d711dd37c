// The main window's commands that hand over to the description editor, the configuration files
// and the launcher, driven through the window's own menus, and the description editor itself.
#include "core/catalogue/CPluginInfo.h"
#include "core/catalogue/DescriptionFile.h"
#include "core/launch/QuickExec.h"
#include "core/platform/FolderLock.h"
#include "gui/CDescEditDlg.h"
#include "ManagerWindow.h"

#include <filesystem>
#include <optional>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QStackedWidget>

using namespace korvane;

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

// Runs the dialog modally; the user acts on it once it shows. True when it ended with OK.
template <class User> bool Accepted(QDialog& dlg, User user)
{
    QTimer::singleShot(0, &dlg, user);
    return dlg.exec() == QDialog::Accepted;
}

void Retype(QWidget* field, const QString& text)
{
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    for (const QChar c : text) // as typed on a keyboard that has the character
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
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

    void savedConfigurationLoadsBackAndUndoPutsBackTheSetItReplaced()
    {
        Manager m;
        m.Plugins("Cat/Alpha+ Cat/Charlie");
        m.Plugin("weapons/bravo", "Bravo", "Cat", true);
        QVERIFY(m.Show());
        const QString file = m.files.QPath("setup.pfg");
        ModalScript script;
        QString told;
        script.Then("QMessageBox", [&told](QWidget* active) {
            auto* box = static_cast<QMessageBox*>(active);
            told = box->icon() == QMessageBox::Information ? box->text() : QString();
            box->accept();
        });
        m.Command(strings::kMenuUndoLoad);
        QCOMPARE(told, S(strings::kNothingToUndo));

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
        QCOMPARE(m.Entries(), (QStringList{"Alpha", "Bravo"}));
        m.Command(strings::kMenuUndoLoad);
        QVERIFY(script.Finished());
        QCOMPARE(m.Entries(), (QStringList{"Alpha", "Bravo", "Charlie"}));
    }

    // Options comes before the window; without a Korvane folder no folder is touched and the
    // window points to Options.
    void firstRunAsksForTheFoldersBeforeTheWindowShows()
    {
        Manager m(false);
        m.Plugins("Cat/Alpha");
        m.files.Write("setup.pfg", "Name=x\r\nUseDirectory=FALSE\r\n");
        // Relative to the current folder these would be taken for the player's folders.
        m.files.Write("plugins/keep.cs", "keep");
        const QString previous = QDir::currentPath();
        QDir::setCurrent(m.files.QPath(""));
        ModalScript script;
        script
            .Then("COptionsDlg",
                  [&m](QWidget* active) {
                      QVERIFY(!m.dlg.isVisible());
                      active->findChild<QPushButton*>("ok")->click();
                  })
            .AnswerMessage()
            .Press("browseTribes")
            .Browse(m.files.QPath("t"))
            .Press("ok")
            .AnswerMessage()
            .Press("cancel")
            .Then("QFileDialog", ChooseFile(m.files.QPath("setup.pfg")))
            .AnswerMessage();
        const bool shown = m.Show();
        m.Command(strings::kMenuLoadConfig);
        QDir::setCurrent(previous);

        QVERIFY(shown);
        QVERIFY(script.Finished());
        QCOMPARE(
            script.Messages(),
            QStringList({S(strings::kNeedTribesFolder), S(strings::kNeedKorvaneFolder),
                         S(strings::kConfigLoadFailed) + "\n\n" + S(strings::kNoKorvaneFolder)}));
        QCOMPARE(m.files.Read("plugins/keep.cs"), std::string("keep"));
        QVERIFY(!m.files.Exists("storage"));
        auto* stack = m.dlg.findChild<QStackedWidget*>();
        QCOMPARE(stack->currentWidget()->objectName(), QString("firstRunHint"));

        script.Press("browseTribes")
            .Browse(m.files.QPath("t"))
            .Press("browseKorvane")
            .Browse(m.files.QPath("k"))
            .Press("ok")
            .AnswerMessage();
        m.dlg.findChild<QPushButton*>("hintOptions")->click();
        QVERIFY(script.Finished());
        QCOMPARE(script.Messages().last(), S(strings::kKorvaneFolderChanged));
        QCOMPARE(stack->currentWidget(), m.tree);
        QCOMPARE(m.Tree(), QStringList{"Cat: Alpha"});
    }

    // A command that cannot do its work shows one message with the reason, or none where the
    // user gains nothing by one, and the window goes on showing the folders as they are.
    void commandsThatCannotRunSayWhyAndChangeNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message"); // how the message starts; none when empty
        QTest::addColumn<QString>("reason");  // how it ends
        const QString load = S(strings::kMenuLoadConfig);
        const QString fails = S(strings::kConfigLoadFailed) + "\n\n"; // then the reason
        // clang-format off
        QTest::newRow("description in a storage that is a file") << S(strings::kMenuEditDescription) << "storage is a file" << S(strings::kDescriptionWriteFailed) + "\n\n" << "";
        QTest::newRow("load while another Korvane Manager changes the folders") << load << "busy" << fails << S(strings::kFoldersBusy);
        QTest::newRow("unreachable update server") << S(strings::kMenuCheckForUpdates) << "" << "" << "";
        QTest::newRow("Quick Exec without mods") << S(strings::kMenuQuickExec) << "" << S(strings::kQuickExecNotConfigured) << "";
        // clang-format on
    }
    void commandsThatCannotRunSayWhyAndChangeNothing()
    {
        QFETCH(QString, command);
        QFETCH(QString, fault);
        QFETCH(QString, message);
        QFETCH(QString, reason);
        Manager m;
        m.Plugins("Cat/Alpha+ Cat/Beta");
        m.files.Write("beta.pfg", "Name=b\r\nUseDirectory=FALSE\r\nPlugin=,beta\r\n");
        // Port 1 on the loopback address: nothing listens there, the connection is refused.
        m.profile.WriteProfileString(profile::kUpdater, profile::kUrl,
                                     "http://127.0.0.1:1/korvane/updates/korvane.upd");
        QVERIFY(launch::StoreQuickExec(m.profile, {{}, true, "+connect host"}));
        QVERIFY(m.Show());
        m.Click("Alpha");
        if (fault == "storage is a file") {
            std::filesystem::remove_all(m.files.Path("k/storage"));
            m.files.Write("k/storage", "not a folder");
        }
        std::optional<korvane::FolderLock> other;
        if (fault == "busy") {
            auto lock = korvane::FolderLock::acquire(m.files.Path("k/"));
            QVERIFY(lock);
            other.emplace(std::move(lock).value());
        }

        ModalScript script;
        if (command == S(strings::kMenuEditDescription))
            script.Then("CDescEditDlg", Edit("Renamed", "Pack"));
        if (command == S(strings::kMenuLoadConfig))
            script.Then("QFileDialog", ChooseFile(m.files.QPath("beta.pfg")));
        if (!message.isEmpty())
            script.AnswerMessage();
        m.Command(command);
        QVERIFY(script.Finished());
        const QString shown = script.Messages().value(0, QLatin1String(""));
        QVERIFY2(shown.startsWith(message) && shown.endsWith(reason), qPrintable(shown));
        QVERIFY(m.dlg.isVisible());
        QCOMPARE(m.Tree(), QStringList{"Cat: Alpha, Beta"});
        QCOMPARE(m.Entries(), QStringList{"Alpha"});
    }

    void savingWithoutSubfoldersAsksFirstWhenAKeyIsInTwo()
    {
        Manager m;
        m.files.Write("k/plugins/a/blaster.cs", "");
        m.files.Write("k/plugins/b/blaster.cs", "");
        QVERIFY(m.Show());
        ModalScript script;
        script
            .Then("CSaveConfigDlg",
                  [](QWidget* active) { static_cast<QDialog*>(active)->accept(); })
            .AnswerQuestion(QMessageBox::No);
        m.Command(strings::kMenuSaveConfig);
        QVERIFY(script.Finished());
        QCOMPARE(script.Messages(),
                 QStringList{S(strings::kSaveConfigRepeatedKeys).arg("blaster")});
    }

    // The editor shows a single-byte file's texts as their characters and gives back the
    // untouched ones as they were stored. It takes any category; Enter in the description presses
    // OK, Ctrl+Enter starts a new line.
    void editorKeepsUntouchedTextsByteForByte()
    {
        TestTree tree;
        tree.Write("plasma.desc.txt",
                   "Name=Plasma \xe0 gogo\r\nAuthor=Me\r\none\r\r\ntwo\xa0three");
        CPluginInfo plugin;
        plugin.ReadDescription(tree.Root(), "plasma");
        CDescEditDlg dlg;
        dlg.SetFromRecord(plugin);
        QString shown;
        const auto user = [&] {
            auto* description = dlg.findChild<QPlainTextEdit*>("description");
            shown = dlg.findChild<QLineEdit*>("name")->text() + '|' + description->toPlainText();
            Retype(dlg.findChild<QLineEdit*>("author"), QString::fromUtf8("Zoë"));
            Retype(dlg.findChild<QComboBox*>("category")->lineEdit(), "Tools");
            QTest::keyClick(description, Qt::Key_Return, Qt::ControlModifier);
            shown += '|' + QString::number(description->blockCount());
            QTest::keyClick(description, Qt::Key_Backspace);
            QTest::keyClick(description, Qt::Key_Return);
        };
        QVERIFY(Accepted(dlg, user));
        QCOMPARE(shown, QString::fromUtf8("Plasma à gogo|one\ntwo three|3"));
        const descriptionfile::Fields edited = dlg.GetEditedFields(plugin);
        QCOMPARE(QByteArray::fromStdString(edited.name + '|' + edited.category + '|' +
                                           edited.author + '|' + edited.description),
                 QByteArray("Plasma \xe0 gogo|Tools|Zo\xeb|one\r\ntwo\xa0three"));
    }
};

QTEST_MAIN(tst_ManagerCommands)
#include "tst_ManagerCommands.moc"
