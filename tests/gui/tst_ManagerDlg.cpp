// The main window driven as a user would drive it: the selection, the commands of its menus,
// buttons and mouse, and the order of the dialogs it hands over to.
#include "core/catalogue/ConfigBackup.h"
#include "core/catalogue/CPluginInfo.h"
#include "core/launch/GameLauncher.h"
#include "core/launch/QuickExec.h"
#include "core/platform/FolderLock.h"
#include "gui/dialogs/CDescEditDlg.h"
#include "gui/dialogs/COptionsDlg.h"
#include "gui/dialogs/CSaveConfigDlg.h"
#include "gui/mainwindow/PluginDragDrop.h"
#include "ManagerWindow.h"
#include "support/IoFaults.h"

#include <filesystem>
#include <optional>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

using namespace korvane;
using namespace korvane::dialogs;
using namespace korvane::mainwindow;

using namespace managertest;

namespace {

// A Korvane folder other than "k": on POSIX systems one that differs from it only in letter case,
// which Windows takes for the same folder.
#ifdef Q_OS_WIN
constexpr char kOtherKorvane[] = "k2";
#else
constexpr char kOtherKorvane[] = "K";
#endif

// Step for the description editor: set the fields given, then OK.
ModalScript::Step Edit(const QString& name, const QString& category)
{
    return [name, category](QWidget* active) {
        active->findChild<QLineEdit*>("name")->setText(name);
        active->findChild<QComboBox*>("category")->setEditText(category);
        static_cast<QDialog*>(active)->accept();
    };
}

// Step for the dialog: records the files it lists and presses the button of that object name.
// Its text is plain (file names are not markup), and Enter or Esc alone chooses nothing.
ModalScript::Step Answer(const QString& button, QStringList* listed)
{
    return [button, listed](QWidget* active) {
        QCOMPARE(active->findChild<QLabel*>("text")->textFormat(), Qt::PlainText);
        QVERIFY(PushButton(active, "cancel")->isDefault());
        const auto* files = active->findChild<QListWidget*>("files");
        for (int row = 0; row < files->count(); ++row)
            *listed << files->item(row)->text();
        QTest::mouseClick(PushButton(active, button), Qt::LeftButton);
    };
}

// Writes a plug-in's script in storage and, in use, its copy in plugins.
void Script(const Manager& m, const std::string& rel, const std::string& text, bool inUse)
{
    m.files.Write("k/storage/" + rel + ".cs", text);
    if (inUse)
        m.files.Write("k/plugins/" + rel + ".cs", text);
}

} // namespace

class tst_ManagerDlg : public QObject
{
    Q_OBJECT

private slots:
    void selectionButtonsAndPanelFollowEachCommand_data()
    {
        QTest::addColumn<QString>("plugins"); // as Manager::Plugins takes them
        // A name clicks the tree item; "entry X" the list entry; ">>" and "<<" the buttons;
        // "collapse X" the category's branch sign; "menu X K" ("entry-menu X K") right-clicks the
        // item (entry) and presses key K in the popup, "<<K" with "<<" clicked first; "dclick X"
        // ("dclick entry X") double-clicks the item (entry); "drag X tree list" drops a drag of X
        // from the tree on the list, "other" in place of "drag" another process's drag instead.
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("entries");
        // The tree's current item | the selected entry | the panel's name | ">>" | "<<".
        QTest::addColumn<QString>("state");
        const QString three = "Cat/Alpha+ Cat/Beta Cat/Delta+";
        const QString two = "Cat/Alpha+ Cat/Beta+";
        const QString oneUsed = "Cat/Alpha Cat/Beta+ Cat/Charlie";
        const QString allUsed = "Cat/alpha+ Cat/beta+ Cat/charlie+";
        const QStringList ab{"Alpha", "Beta"}, b{"Beta"};
        const QString mouse = "Cat/Alpha Cat/Beta+";
        // clang-format off
        // "<<" never acts on another plug-in than the tree's, whose entry alone is selected.
        QTest::newRow("category") << three << QStringList{"Alpha", "Cat"} << QStringList{"Alpha", "Delta"} << "Cat||Alpha||";
        // The list hands its selection to Beta as Alpha's entry goes: the tree stays on Alpha.
        QTest::newRow("<< on the selected entry") << two << QStringList{"entry Alpha", "<<"} << QStringList{"Beta"} << "Alpha||Alpha|>>|";
        // The new entry is selected: "<<" takes it out again.
        QTest::newRow("<< then >>: listed once") << two << QStringList{"entry Alpha", "<<", ">>"} << ab << "Alpha|Alpha|Alpha||<<";
        // The popup acts on the plug-in right-clicked, not on the tree's.
        QTest::newRow("Add to list of another") << oneUsed << QStringList{"Charlie", "menu Alpha A"} << ab << "Charlie||Charlie|>>|";
        QTest::newRow("Add to list of the tree's") << mouse << QStringList{"Alpha", "menu Alpha A"} << ab << "Alpha|Alpha|Alpha||<<";
        // A hidden plug-in cannot stay the one ">>" acts on.
        QTest::newRow("collapse its category") << "Cat/Alpha Dog/Beta" << QStringList{"Beta", "Alpha", "collapse Cat"} << QStringList() << "Cat||Alpha||";
        QTest::newRow("Remove from list") << allUsed << QStringList{"entry-menu alpha R"} << QStringList{"beta", "charlie"} << "beta|beta|beta||<<";
        // The right-clicked entry goes by "<<" while the popup is up: charlie, now in its
        // place, stays.
        QTest::newRow("Remove an entry gone") << allUsed << QStringList{"entry-menu alpha R", "entry-menu beta <<R"} << QStringList{"charlie"} << "beta||beta|>>|";
        QTest::newRow("double-click: >>") << mouse << QStringList{"dclick Alpha"} << ab << "Alpha|Alpha|Alpha||<<";
        QTest::newRow("double-click a category") << mouse << QStringList{"dclick Cat"} << b << "Cat||||";
        QTest::newRow("double-click an entry: <<") << mouse << QStringList{"dclick entry Beta"} << QStringList() << "Beta||Beta|>>|";
        QTest::newRow("drag to the list") << mouse << QStringList{"drag Alpha tree list"} << ab << "Alpha|Alpha|Alpha||<<";
        QTest::newRow("another window's drag") << mouse << QStringList{"other Alpha tree list"} << b << "Cat||||";
        // clang-format on
    }
    void selectionButtonsAndPanelFollowEachCommand()
    {
        QFETCH(QString, plugins);
        QFETCH(QStringList, steps);
        Manager m;
        m.Plugins(plugins);
        QVERIFY(m.Show());
        ModalScript script;
        for (const QString& step : steps) {
            const QStringList words = step.split(' ');
            if (step == ">>" || step == "<<") {
                (step == ">>" ? m.use : m.unuse)->click();
            } else if (words[0] == "entry") {
                m.ClickEntry(words[1]);
            } else if (words[0] == "collapse") {
                // The branch sign left of the category's text.
                const QRect row = m.tree->visualRect(m.Item(words[1]));
                QTest::mouseClick(m.tree->viewport(), Qt::LeftButton, {},
                                  QPoint(row.left() - m.tree->indentation() / 2, row.center().y()));
                QVERIFY(!m.Expanded(words[1]));
            } else if (words[0].endsWith("menu")) {
                const QString keys = words[2];
                script.Then("QMenu", [&m, keys](QWidget* popup) {
                    if (keys.startsWith("<<"))
                        m.unuse->click();
                    QTest::keyClick(popup, keys.back().toLatin1());
                });
                if (words[0] == "menu")
                    m.Click(words[1], Qt::RightButton);
                else
                    m.ClickEntry(words[1], Qt::RightButton);
                QTRY_VERIFY(script.Finished());
            } else if (words[0] == "dclick") {
                const QString name = words.last();
                const bool entry = words[1] == "entry";
                m.tree->scrollTo(m.Item(name)); // opens its category
                QWidget* view = entry ? m.list->viewport() : m.tree->viewport();
                const QPoint at =
                    (entry ? m.list->visualRect(m.Entry(name)) : m.tree->visualRect(m.Item(name)))
                        .center();
                // The events of a double-click as the window system sends them.
                QTest::mouseClick(view, Qt::LeftButton, {}, at);
                QTest::mouseDClick(view, Qt::LeftButton, {}, at);
                QTest::mouseRelease(view, Qt::LeftButton, {}, at);
                QVERIFY(m.Item(name).parent().isValid() || m.Expanded(name)); // a category opens
            } else if (words.size() == 4) {
                CPluginInfo plugin;
                plugin.m_strFileName = words[1].toLower().toStdString();
                std::unique_ptr<QMimeData> data(
                    PluginDragDrop::MimeData(plugin, PluginDragDrop::Origin::Tree));
                if (words[0] == "other") { // the same drag from process 1
                    const QString type = data->formats().first();
                    const QByteArray payload = data->data(type);
                    data->setData(type, "1" + payload.mid(payload.indexOf('\n')));
                }
                // Dragged over the list and dropped there, as the window system would.
                QWidget* view = m.list->viewport();
                QDragEnterEvent enter(view->rect().center(), Qt::MoveAction, data.get(),
                                      Qt::LeftButton, {});
                QCoreApplication::sendEvent(view, &enter);
                QDropEvent drop(view->rect().center(), Qt::MoveAction, data.get(), Qt::LeftButton,
                                {});
                QCoreApplication::sendEvent(view, &drop);
                QCoreApplication::processEvents();
            } else {
                m.Click(step);
            }
        }
        QTEST(m.Entries(), "entries");
        QTEST(m.State(), "state");
    }

    void treeListsCategoriesAndPluginsAlphabeticallyAndNoPopupOfItsOwn()
    {
        Manager m;
        m.Plugins("Weapon/zulu weapon/mike Armor/Oscar");
        m.Plugin("weapons/yankee", "Alpha", "Weapon");
        m.files.Write("k/storage/zulu.ico", std::string(318, '\0')); // a broken icon
        // As a settings file edited by hand may hold it: no separator at its end.
        m.profile.WriteProfileString(profile::kDirectories, profile::kKorvane, m.files.Path("k"));
        QVERIFY(m.Show());

        QCOMPARE(m.Tree(), QStringList({"Armor: Oscar", "Weapon: Alpha, zulu", "weapon: mike"}));
        // The tree's order is not the scan's: each item must still lead to its own plug-in.
        m.Click("Alpha");
        QCOMPARE(m.dlg.findChild<QLineEdit*>("fileName")->text(), QString("yankee"));
        QCOMPARE(m.dlg.findChild<QLineEdit*>("subdirectory")->text(), QString("weapons\\"));

        // No popup opens where no plug-in is: one that came up would wait for a step, which
        // counts it unexpected.
        ModalScript script;
        m.Click("Weapon", Qt::RightButton);
        QWidget* list = m.list->viewport();
        QTest::mouseClick(list, Qt::RightButton, {}, QPoint(list->width() / 2, list->height() - 4));
        QVERIFY(script.Finished());
    }

    void optionsStoreEachChangeAndReloadOnlyFromAnotherKorvaneFolder_data()
    {
        QTest::addColumn<QString>("tribes");  // the folder browsed to, if any
        QTest::addColumn<QString>("korvane"); // the same
        QTest::addColumn<bool>("refresh");    // the box clicked
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("tree");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("panel"); // the plug-in the information panel shows
        const QStringList kept{"Cat: Alpha"}, reloaded{"Unknown: charlie, delta"};
        const QString changed = S(strings::kKorvaneFolderChanged);
        // clang-format off
        QTest::newRow("the Tribes folder and the refresh box") << "t2" << "" << true << QStringList() << kept << QStringList{"Alpha"} << "Alpha";
        // "K" differs from "k" only in letter case: another folder all the same, but on Windows.
        QTest::newRow("another Korvane folder") << "" << kOtherKorvane << true << QStringList{changed} << reloaded << QStringList{"charlie", "delta"} << "";
        // Nothing of the old folder may stay on show once the setting names the new one.
        QTest::newRow("storage cannot be created") << "" << kOtherKorvane << false << QStringList{changed, S(strings::kStorageNotCreated)} << QStringList() << QStringList() << "";
        // clang-format on
    }
    void optionsStoreEachChangeAndReloadOnlyFromAnotherKorvaneFolder()
    {
        QFETCH(QString, tribes);
        QFETCH(QString, korvane);
        QFETCH(bool, refresh);
        QFETCH(QStringList, messages);
        Manager m;
        // Only 1 refreshes storage from plugins at start-up.
        m.profile.WriteProfileInt(profile::kOptions, profile::kRefreshPlugins, 2);
        m.Plugins("Cat/Alpha+");
        m.files.Write("k/plugins/alpha.readme.txt", "only a refresh would copy this");
        m.files.Write("t2/tribes.exe", "MZ");
        const std::string other = std::string(kOtherKorvane) + '/';
        m.files.Write(other + "korvane.cs", "");
        m.files.Write(other + "plugins/charlie.cs", "c");
        m.files.Write(other + "plugins/charlie.txt", "the same");
        m.files.Write(other + "plugins/delta.cs", "d");
        if (messages.contains(S(strings::kStorageNotCreated)))
            std::filesystem::create_directory_symlink(m.files.Path("nowhere/at/all"),
                                                      m.files.Path(other + "storage"));
        else
            m.files.Write(other + "storage/charlie.cs", "c");
        QVERIFY(m.Show());
        // A reload would leave nothing selected: the panel tells whether the window reloaded.
        m.Click("Alpha");

        ModalScript script;
        if (!tribes.isEmpty())
            script.Press("browseTribes").Browse(m.files.QPath(tribes.toStdString()));
        if (!korvane.isEmpty())
            script.Press("browseKorvane").Browse(m.files.QPath(korvane.toStdString()));
        script.Then("COptionsDlg", [refresh](QWidget* active) {
            if (refresh)
                active->findChild<QCheckBox*>("refreshPlugins")->click();
#ifndef Q_OS_WIN // how Windows programs run
            QTest::keyClicks(active->findChild<QLineEdit*>("wineCommand"), "\"/opt/my wine\" -d");
            QTest::keyClicks(active->findChild<QLineEdit*>("winePrefix"), "/games/pfx");
#endif
            active->findChild<QPushButton*>("ok")->click();
        });
        for (int i = 0; i < messages.size(); ++i)
            script.AnswerMessage();
        m.Command(strings::kMenuOptionsCommand);

        QVERIFY(script.Finished());
        QCOMPARE(script.Messages(), messages);
        const bool moved = korvane == kOtherKorvane;
        QCOMPARE(m.profile.GetProfileString(profile::kDirectories, profile::kTribes),
                 m.files.Path(tribes.isEmpty() ? "t/" : "t2/"));
        QCOMPARE(m.profile.GetProfileString(profile::kDirectories, profile::kKorvane),
                 m.files.Path(moved ? other : "k/"));
        // The box starts clear; the setting is written when it or the Korvane folder changes.
        const int refreshSetting = refresh ? 1 : (moved ? 0 : 2);
        QCOMPARE(m.profile.GetProfileInt(profile::kOptions, profile::kRefreshPlugins, 7),
                 refreshSetting);
        QVERIFY(!m.files.Exists("k/storage/alpha.readme.txt"));
        QVERIFY(!m.files.Exists(other + "storage/charlie.txt"));
        QTEST(m.Tree(), "tree");
        QTEST(m.Entries(), "entries");
        QTEST(m.name->text(), "panel");
#ifndef Q_OS_WIN
        const kprocess::WineSettings wine = launch::LoadWineSettings(m.profile);
        QCOMPARE(wine.command + '|' + wine.prefix, "\"/opt/my wine\" -d|/games/pfx");
#endif
    }

    // No key ends the window wherever the focus is, and Esc empties the filter from anywhere;
    // Exit and the close button end it. The window's place is the one setting written on the
    // way out; it opens there again.
    void onlyExitAndTheCloseButtonEndTheWindowAndItOpensWhereItWas_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QPoint>("closedAt");
        QTest::addColumn<bool>("samePlace");
        QTest::newRow("Exit") << "exit" << QPoint(40, 30) << true;
        QTest::newRow("close button on a screen that is gone")
            << "close" << QPoint(30000, 20000) << false;
    }
    void onlyExitAndTheCloseButtonEndTheWindowAndItOpensWhereItWas()
    {
        QFETCH(QString, how);
        QFETCH(QPoint, closedAt);
        Manager m;
        m.Plugins("Cat/Alpha Cat/Beta+");
        QVERIFY(m.Show());
        const std::string settings = m.files.Read("settings.ini");
        m.dlg.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m.dlg));
        auto* field = m.dlg.findChild<QLineEdit*>("filter");
        QTest::keyClick(m.tree, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(field->hasFocus());
        for (QWidget* control : QList<QWidget*>{field, m.tree, m.list, m.name, m.use,
                                                m.dlg.findChild<QWidget*>("description")}) {
            QTest::keyClicks(field, "al");
            QCOMPARE(Label(m, "filterCount"), QString("1 of 2 plug-ins"));
            control->setFocus();
            for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
                QTest::keyClick(control, key);
            QVERIFY2(m.dlg.isVisible(), qPrintable(control->objectName()));
            QCOMPARE(field->text(), QString());
        }
        // Enter opened and closed the category, and "<<" was off all the while.
        QCOMPARE(m.Entries(), QStringList{"Beta"});

        m.dlg.setGeometry(QRect(closedAt, QSize(600, 470)));
        if (how == "exit")
            m.Command(strings::kMenuExit);
        else
            m.dlg.close();
        QVERIFY(!m.dlg.isVisible());
        // Lines end in CR LF on Windows.
        QString written = QString::fromStdString(m.files.Read("settings.ini")).remove(u'\r');
        written.remove(QRegularExpression(QStringLiteral("\\n*\\[Window\\]\\n[^[]*")));
        QCOMPARE(written.trimmed(), QString::fromStdString(settings).remove(u'\r').trimmed());

        CManagerDlg again(m.profile);
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        QCOMPARE(again.size(), QSize(600, 470));
        QFETCH(bool, samePlace);
        QCOMPARE(again.geometry().topLeft() == closedAt, samePlace);
        QVERIFY(again.screen()->availableGeometry().intersects(again.frameGeometry()));
    }

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

        // The list entry still leads to the moved item, and taking the plug-in out still works.
        m.Click("Sniper");
        m.ClickEntry("Big Blaster");
        QCOMPARE(m.State(), QString("Big Blaster|Big Blaster|Big Blaster||<<"));
        m.unuse->click();
        QCOMPARE(m.Entries(), QStringList{"Sniper"});
    }

    // The window's wiring of the configuration commands: the dialog's name and box reach the
    // file, a load changes the list, Undo Last Load says which backup it loaded, and a save that
    // would lose a subfolder asks first. The files themselves are the catalogue's concern
    // (tst_ConfigFile).
    void savedConfigurationLoadsBackAndUndoPutsBackTheSetItReplaced()
    {
        Manager m;
        m.Plugins("Cat/Alpha+ Cat/Charlie");
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
        QVERIFY(m.files.Read("setup.pfg").starts_with("Name=Two\r\nUseDirectory=TRUE\r\n"));

        m.Click("Charlie");
        m.use->click();
        script.Then("QFileDialog", ChooseFile(file));
        m.Command(strings::kMenuLoadConfig);
        QCOMPARE(m.Entries(), QStringList{"Alpha"});
        const auto backups = configbackup::Backups(m.files.Folder("k/"));
        QVERIFY(backups && backups->size() == 1);
        QString told;
        script.Then("QMessageBox", [&told](QWidget* active) {
            auto* box = static_cast<QMessageBox*>(active);
            told = box->icon() == QMessageBox::Information ? box->text() : QString();
            box->accept();
        });
        m.Command(strings::kMenuUndoLoad);
        QVERIFY(script.Finished());
        QCOMPARE(m.Entries(), (QStringList{"Alpha", "Charlie"}));
        QCOMPARE(told, S(strings::kUndoneLoad).arg(QString::fromStdString(backups->front())));

        // Saving without subfolders asks first when a key is in two of them; No saves nothing.
        m.files.Write("k/plugins/a/blaster.cs", "");
        m.files.Write("k/plugins/b/blaster.cs", "");
        script
            .Then("CSaveConfigDlg",
                  [](QWidget* active) {
                      active->findChild<QCheckBox*>("storeDirectory")->setChecked(false);
                      static_cast<QDialog*>(active)->accept();
                  })
            .AnswerQuestion(QMessageBox::No);
        m.Command(strings::kMenuSaveConfig);
        QVERIFY(script.Finished());
        QCOMPARE(script.Messages(),
                 QStringList{S(strings::kSaveConfigRepeatedKeys).arg("blaster")});
    }

    // A first run asks for the folders; without a Korvane folder no folder is touched and the
    // window points to Options.
    void firstRunAsksForTheFoldersAndTouchesNoOther()
    {
        Manager m(false);
        m.Plugins("Cat/Alpha");
        m.files.Write("setup.pfg", "Name=x\r\nUseDirectory=FALSE\r\n");
        // Relative to the current folder these would be taken for the player's folders.
        m.files.Write("plugins/keep.cs", "keep");
        const QString previous = QDir::currentPath();
        QDir::setCurrent(m.files.QPath(""));
        ModalScript script;
        script.Press("ok")
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
        QVERIFY(!m.tree->isVisible()); // the hint to Options is there in its place

        // Storage cannot take the plug-in in use that it lacks: the window says so, then shows
        // the folders.
        m.files.Write("k/plugins/weapons/sniper.cs", "s");
        m.files.Write("k/storage/weapons", "a file where a folder should be");
        script.Press("browseTribes")
            .Browse(m.files.QPath("t"))
            .Press("browseKorvane")
            .Browse(m.files.QPath("k"))
            .Press("ok")
            .AnswerMessage()
            .AnswerMessage();
        m.dlg.findChild<QPushButton*>("hintOptions")->click();
        QVERIFY(script.Finished());
        QVERIFY(script.Messages().last().startsWith(S(strings::kStorageIncomplete) + "\n\n"));
        QVERIFY(m.tree->isVisible());
        QCOMPARE(m.Tree(), QStringList{"Cat: Alpha"});
    }

    // A description file the disk cannot give is not a missing one: the window shows its
    // plug-in with the texts of one without, and says so in one message with the file and why.
    // The line under the lists goes on saying so while it lasts; a later look at the folders
    // (here on coming back to the window) tells what it could not read there only.
    void aDescriptionThatCannotBeReadIsToldWhileItLasts()
    {
        Manager m;
        m.Plugins("Cat/Alpha Cat/Beta");
        ModalScript script;
        script.AnswerMessage();
        {
            IoFault fault(m.files.Root(), "read", "/k/storage/alpha.desc.txt");
            QVERIFY(m.Show());
            QVERIFY(fault.Happened());
        }
        QVERIFY(script.Finished());
        QCOMPARE(script.Messages(),
                 QStringList{S(strings::kDescriptionsUnreadable) + "\n\n" +
                             m.files.QPath("k/storage/alpha.desc.txt: Input/output error")});
        QCOMPARE(m.Tree(), (QStringList{"Cat: Beta", "Unknown: alpha"}));

        auto* failures = m.dlg.findChild<QPushButton*>("readFailures");
        QVERIFY(failures->isVisible());
        const auto comeBack = [] {
            emit qApp->applicationStateChanged(Qt::ApplicationInactive);
            emit qApp->applicationStateChanged(Qt::ApplicationActive);
        };
        comeBack();
        QTRY_VERIFY_WITH_TIMEOUT(!failures->isVisible(), 5000);
        QCOMPARE(m.Tree(), QStringList{"Cat: Alpha, Beta"});
        {
            IoFault fault(m.files.Root(), "read", "/k/storage/beta.desc.txt");
            comeBack();
            QTRY_VERIFY_WITH_TIMEOUT(failures->isVisible(), 5000);
        }
        QCOMPARE(m.Tree(), (QStringList{"Cat: Alpha", "Unknown: beta"}));
        QCOMPARE(script.Messages().size(), 1);
    }

    // A command that cannot do its work shows one message with the reason, or none where the
    // user gains nothing by one, and the window goes on showing the folders and the selection as
    // they are. ">>" acts on Beta, every other command on Alpha.
    void commandsThatCannotRunSayWhyAndChangeNothing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("message"); // how the message starts; none when empty
        QTest::addColumn<QString>("reason");  // how it ends
        // clang-format off
        QTest::newRow(">> into a plugins folder that is a file") << ">>" << "plugins is a file" << S(strings::kUsePluginFailed).arg("Beta") + "\n\n" << "";
        // Alpha's script cannot be kept anywhere before it goes.
        QTest::newRow("<< with storage a file") << "<<" << "storage is a file" << S(strings::kUnusePluginFailed).arg("Alpha") + "\n\n" << "";
        QTest::newRow("description in a storage that is a file") << S(strings::kMenuEditDescription) << "storage is a file" << S(strings::kDescriptionWriteFailed) + "\n\n" << "";
        // The panel shows the beginning of the file and says so; the editor does not replace it.
        QTest::newRow("description file beyond 64 KiB") << S(strings::kMenuEditDescription) << "description beyond 64 KiB" << S(strings::kDescriptionWriteFailed) + "\n\n" << S(strings::kReasonDescriptionTooLarge);
        QTest::newRow("load while another Korvane Manager changes the folders") << S(strings::kMenuLoadConfig) << "busy" << S(strings::kConfigLoadFailed) + "\n\n" << S(strings::kFoldersBusy);
        QTest::newRow("save while another Korvane Manager changes the folders") << S(strings::kMenuSaveConfig) << "busy" << S(strings::kConfigCreateFailed) + "\n\n" << S(strings::kFoldersBusy);
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
        const std::string big =
            "Name=Alpha\r\nCategory=Cat\r\n" + std::string(2 << 20, 'x') + "\r\nthe end";
        if (fault == "description beyond 64 KiB")
            m.files.Write("k/storage/alpha.desc.txt", big);
        QVERIFY(m.Show());
        m.Click(command == ">>" ? "Beta" : "Alpha");
        if (fault.endsWith(" is a file")) {
            const std::string folder = "k/" + fault.section(' ', 0, 0).toStdString();
            std::filesystem::remove_all(m.files.Path(folder));
            m.files.Write(folder, "not a folder");
        }
        std::optional<korvane::FolderLock> other;
        if (fault == "busy") {
            auto lock = korvane::FolderLock::acquire(m.files.Folder("k/"));
            QVERIFY(lock);
            other.emplace(std::move(lock).value());
        }

        ModalScript script;
        if (command == S(strings::kMenuEditDescription))
            script.Then("CDescEditDlg", Edit("Renamed", "Pack"));
        if (command == S(strings::kMenuLoadConfig))
            script.Then("QFileDialog", ChooseFile(m.files.QPath("beta.pfg")));
        if (command == S(strings::kMenuSaveConfig))
            script
                .Then("CSaveConfigDlg",
                      [](QWidget* active) { static_cast<QDialog*>(active)->accept(); })
                .Then("QFileDialog", ChooseFile(m.files.QPath("saved.pfg")));
        if (!message.isEmpty())
            script.AnswerMessage();
        if (command == ">>" || command == "<<")
            (command == ">>" ? m.use : m.unuse)->click();
        else
            m.Command(command);
        QVERIFY(script.Finished());
        const QString shown = script.Messages().value(0, QLatin1String(""));
        QVERIFY2(shown.startsWith(message) && shown.endsWith(reason), qPrintable(shown));
        QVERIFY(m.dlg.isVisible());
        QCOMPARE(m.Tree(), QStringList{"Cat: Alpha, Beta"});
        QCOMPARE(m.Entries(), QStringList{"Alpha"});
        QCOMPARE(m.State(), command == ">>" ? "Beta||Beta|>>|" : "Alpha|Alpha|Alpha||<<");
        QVERIFY(!std::filesystem::exists(m.files.Path("saved.pfg")));
        if (fault == "description beyond 64 KiB") {
            const QString shownText =
                m.dlg.findChild<QPlainTextEdit*>("description")->toPlainText();
            QVERIFY(shownText.startsWith(u"xxx") &&
                    shownText.endsWith(S(strings::kDescriptionCut)));
            QVERIFY(m.files.Read("k/storage/alpha.desc.txt") == big);
        }
    }

    // A Korvane folder that lost the modification's script may be any folder by now: a command
    // that would change its files says so, naming it, and changes nothing.
    void aFolderWithoutTheModificationsScriptIsNotChanged()
    {
        Manager m;
        m.Plugins("Cat/Alpha+ Cat/Beta");
        QVERIFY(m.Show());
        std::filesystem::remove(m.files.Path("k/korvane.cs"));
        m.Click("Beta");
        ModalScript script;
        script.AnswerMessage();
        m.use->click();
        QVERIFY(script.Finished());
        QCOMPARE(script.Messages(),
                 QStringList{S(strings::kNotKorvaneFolder) + "\n\n" + m.files.QPath("k/")});
        QCOMPARE(m.Entries(), QStringList{"Alpha"});
        QCOMPARE(m.files.Names("k/plugins"), QStringList{"alpha.cs"});
    }

    // Two plug-ins in use that define one function are both marked, each naming the function and
    // the other. A copy in use stands for the plug-in of its own subfolder: here a twin, whose
    // mark says that too, on a line of its own. Before ">>", the panel says whom a stored plug-in
    // would clash with, and over which functions.
    void pluginsThatClashAreMarkedAndThePanelWarnsBeforeUse()
    {
        Manager m;
        m.Plugin("weapons/mortar", "Mortar", "Weapon", true);
        m.Plugin("old/sniper", "Sniper", "Weapon"); // the one the scan uses
        m.Plugin("sniper", "Sniper Classic", "Weapon", true);
        m.Plugins("Armor/Heavy+ Armor/Light Weapon/Plasma");
        const std::string defines = "// on change\r\nfunction Player::onWeaponChange(%p)\r\n{\r\n}";
        Script(m, "weapons/mortar", defines + "\nfunction Player::onDamage() {}", true);
        Script(m, "sniper", defines, true);
        Script(m, "old/sniper", defines, false);
        Script(m, "heavy", "function Heavy::onUse() {}", true);
        Script(m, "plasma", "function player::ONDAMAGE() {}\nfunction Player::onWeaponChange() {}",
               false);
        QVERIFY(m.Show());

        const auto clash = [](const char* other) {
            return S(strings::kClashMarkHead) + '\n' +
                   S(strings::kClashMarkFunction).arg("Player::onWeaponChange", other);
        };
        const QString twin = "Sniper Classic (storage\\)";
        QCOMPARE(Described(m.Item("Mortar")), clash("Sniper Classic"));
        QCOMPARE(Described(m.Item(twin)),
                 S(strings::kTwinPassedOver).arg("Sniper", "storage\\old\\") + '\n' +
                     clash("Mortar"));
        QCOMPARE(Described(m.Item("Sniper")), S(strings::kSameKeyOne).arg("storage\\sniper.cs"));
        QCOMPARE(Described(m.Item("Heavy")), QString());
        QVERIFY(ToolTip(m.Item("Mortar"))
                    .contains("Player::onWeaponChange, also defined by Sniper Classic"));
        QCOMPARE(Described(m.Entry("Mortar")), clash("Sniper Classic"));
        QCOMPARE(Described(m.Item("Weapon")),
                 S(strings::kCategoryHasTwins) + '\n' + S(strings::kCategoryHasClashes));

        auto* warning = m.dlg.findChild<QLabel*>("clashWarning");
        m.Click("Light"); // defines nothing
        QVERIFY(!warning->isVisible());
        m.Click("Plasma");
        const QString line =
            S(strings::kClashWouldMake)
                .arg("Mortar and Sniper Classic", "Player::onDamage and Player::onWeaponChange");
        QVERIFY(warning->isVisible());
        QCOMPARE(warning->text(), line);
    }

    // View > Clashes lists each function that plug-ins in use define alike, with the file and the
    // line of each one's definition.
    void viewClashesListsEachDefinition()
    {
        Manager m;
        m.Plugin("weapons/mortar", "Mortar", "Weapon", true);
        m.Plugins("Weapon/Sniper+");
        Script(m, "weapons/mortar", "// Mortar\n\nfunction Player::onDamage() {}", true);
        Script(m, "sniper", "function PLAYER::ONDAMAGE() {}", true);
        QVERIFY(m.Show());
        QStringList rows;
        ModalScript script;
        script.Then("ClashesDialog", [&rows](QWidget* dialog) {
            auto* tree = dialog->findChild<QTreeWidget*>("clashes");
            for (QTreeWidgetItemIterator it(tree); *it; ++it) {
                QStringList columns;
                for (int c = 0; c < tree->columnCount(); ++c)
                    columns << (*it)->text(c);
                rows << columns.join('|');
            }
            PushButton(dialog, "close")->click();
        });
        m.Command(strings::kMenuClashes);
        QVERIFY(script.Finished());
        QCOMPARE(rows, (QStringList{"PLAYER::ONDAMAGE||", "Sniper (sniper)|plugins\\sniper.cs|1",
                                    "Mortar (mortar)|plugins\\weapons\\mortar.cs|3"}));
    }

    // "Hold at This Version", checked while the plug-in is held, holds or releases the plug-in
    // right-clicked in the tree or the list; the tree marks it. A hold from outside (korvane-cli)
    // shows when the player comes back to the window.
    void theHoldItemHoldsAndReleasesThePluginRightClicked()
    {
        Manager m;
        m.Plugins("Cat/Alpha Cat/Beta+");
        QVERIFY(m.Show());
        ModalScript script;
        // Presses H in the popup of the item (entry): whether the item was checked, then the
        // setting it leaves.
        const auto hold = [&](const QString& item, bool entry) {
            QString checked;
            script.Then("QMenu", [&checked](QWidget* popup) {
                for (QAction* action : popup->actions()) {
                    if (action->text() == S(strings::kPopupHold))
                        checked = action->isChecked() ? "checked: " : "";
                }
                QTest::keyClick(popup, 'H');
            });
            entry ? m.ClickEntry(item, Qt::RightButton) : m.Click(item, Qt::RightButton);
            return script.Finished() ? checked + QString::fromStdString(m.profile.GetProfileString(
                                                     profile::kUpdater, profile::kHeld))
                                     : QString("no popup");
        };
        QCOMPARE(hold("Alpha", false), "alpha");
        QCOMPARE(hold("Beta", true), "alpha\\beta");
        const QString held = S(strings::kHeldItem);
        QCOMPARE(m.Tree(), QStringList("Cat: " + held.arg("Alpha") + ", " + held.arg("Beta")));
        QCOMPARE(hold(held.arg("Alpha"), false), "checked: beta");
        QCOMPARE(hold("Beta", true), "checked: ");
        QCOMPARE(m.Tree(), QStringList("Cat: Alpha, Beta"));

        m.profile.WriteProfileString(profile::kUpdater, profile::kHeld, "ALPHA");
        emit qApp->applicationStateChanged(Qt::ApplicationInactive);
        emit qApp->applicationStateChanged(Qt::ApplicationActive);
        QTRY_COMPARE(m.Tree(), QStringList("Cat: " + held.arg("Alpha") + ", Beta"));
    }

    // A bidirectional control in a name shows written out in the tree, the list and the panel
    // alike: "photo" RLO "gnp.cs" would otherwise read as "photosc.png".
    void namesShowTheBidirectionalControlsTheyHold()
    {
        Manager m;
        const std::string isolate = "\xe2\x81\xa6"; // U+2066
        m.Plugin("photo", "photo\xe2\x80\xaegnp.cs", isolate + "Art", true);
        QVERIFY(m.Show());
        const QString shown = "photo\\u202Egnp.cs";
        QCOMPARE(m.Tree(), QStringList("\\u2066Art: " + shown));
        QCOMPARE(m.Entries(), QStringList(shown));
        m.Click(shown);
        QCOMPARE(m.name->text(), shown);
    }

    // Where a command refuses a file in use that differs from storage's, the player chooses what
    // becomes of it, once per command, and the command goes on with that choice or not at all:
    // Cancel changes nothing, and the choice reaches the core, which sets the other copy aside
    // (tst_SettleCopies). Each way to take a plug-in out of use leads to "<<" (the selection
    // table).
    void aChangedCopyInUseIsSettledAsThePlayerChooses_data()
    {
        QTest::addColumn<QString>("command"); // "<<" on Alpha, or a load of Beta alone
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("stored");
        // clang-format off
        QTest::newRow("<< cancelled") << "<<" << "cancel" << QStringList{"Alpha"} << "// Alpha";
        QTest::newRow("<< keeping my copy") << "<<" << "keepMine" << QStringList{} << "// my Alpha";
        QTest::newRow("load with storage's copy") << "load" << "useStorage" << QStringList{"Beta"} << "// Alpha";
        // clang-format on
    }
    void aChangedCopyInUseIsSettledAsThePlayerChooses()
    {
        QFETCH(QString, command);
        QFETCH(QString, answer);
        QFETCH(QStringList, entries);
        QFETCH(QString, stored);
        Manager m;
        m.Plugins("Cat/Alpha+ Cat/Beta");
        m.files.Write("k/plugins/alpha.cs", "// my Alpha");
        m.files.Write("beta.pfg", "Name=b\r\nUseDirectory=FALSE\r\nPlugin=NULL,beta\r\n");
        QVERIFY(m.Show());
        ModalScript script;
        QStringList listed;
        if (command == "load")
            script.Then("QFileDialog", ChooseFile(m.files.QPath("beta.pfg")));
        script.Then("SettleCopiesDialog", Answer(answer, &listed));
        if (command == "load") {
            m.Command(strings::kMenuLoadConfig);
        } else {
            m.Click("Alpha");
            m.unuse->click();
        }
        QTRY_VERIFY(script.Finished()); // and no message
        QCOMPARE(listed, QStringList{"plugins\\alpha.cs"});
        QCOMPARE(m.Entries(), entries);
        QCOMPARE(m.files.Exists("k/plugins/alpha.cs"), entries.contains("Alpha"));
        QCOMPARE(QString::fromStdString(m.files.Read("k/storage/alpha.cs")), stored);
        // The copy that goes is set aside below backups; Cancel writes nothing there.
        QCOMPARE(m.files.Exists("k/backups"), answer != "cancel");
    }
};

QTEST_MAIN(tst_ManagerDlg)
#include "tst_ManagerDlg.moc"
