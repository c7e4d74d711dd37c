#include "catalogue/CPluginList.h"
#include "ManagerWindow.h"
#include "ModalScript.h"
#include "platform/CProfile.h"
#include "platform/ProfileEntries.h"
#include "res/Strings.h"
#include "support/TestTree.h"
#include "ui/CFolderBrowserDlg.h"
#include "ui/CManagerDlg.h"
#include "ui/COptionsDlg.h"

#include <filesystem>
#include <QCheckBox>
#include <QImageWriter>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

using namespace managertest;

class tst_ManagerDlg : public QObject
{
    Q_OBJECT

private slots:
    void firstRunAsksForBothFoldersBeforeTheWindowShowsThenFillsIt()
    {
        Folders folders(false);
        folders.tree.Write("k/plugins/weapons/sniper.cs", "s");
        folders.tree.Write("k/plugins/weapons/sniper.desc.txt", Description("Sniper", "Weapon"));
        WriteIcon(folders.tree, "k/plugins/weapons/sniper.ico", Qt::red);
        Window window(folders.profile);

        ModalScript script;
        script
            .Then("COptionsDlg",
                  [&window](QWidget* active) {
                      QVERIFY(!window.dlg.isVisible());
                      active->findChild<QPushButton*>("ok")->click();
                  })
            .AnswerMessage()
            .Press("browseTribes")
            .Then("CFolderBrowserDlg", ChooseFolder(folders.tree.Path("t")))
            .Press("ok")
            .AnswerMessage()
            .Press("browseKorvane")
            .Then("CFolderBrowserDlg", ChooseFolder(folders.tree.Path("k")))
            .Press("ok")
            .AnswerMessage();
        QVERIFY(window.Show());

        QVERIFY(script.Finished());
        QCOMPARE(script.Messages(),
                 QStringList({S(strings::kNeedTribesFolder), S(strings::kNeedKorvaneFolder),
                              S(strings::kKorvaneFolderChanged)}));
        QCOMPARE(folders.Setting(profile::kKorvane), folders.tree.Path("k/"));
        QCOMPARE(folders.Setting(profile::kTribes), folders.tree.Path("t/"));
        for (const char* file : {"sniper.cs", "sniper.desc.txt", "sniper.ico"})
            QVERIFY(folders.tree.Exists(std::string("k/storage/weapons/") + file));
        QCOMPARE(window.Tree(), QStringList{"Weapon: Sniper"});
        QCOMPARE(window.Entries(), QStringList{"Sniper"});
        QVERIFY(!window.use->isEnabled());
        QVERIFY(!window.unuse->isEnabled());
    }

    void cancelledFirstRunCreatesNothingAndLeavesTheWindowEmpty()
    {
        Folders folders(false);
        // A plugins folder in the current folder must not be taken for the player's.
        folders.tree.Write("plugins/blaster.cs", "b");
        const QString previous = QDir::currentPath();
        QDir::setCurrent(Q(folders.tree.Root()));
        Window window(folders.profile);
        ModalScript script;
        script.Press("cancel");
        const bool shown = window.Show();
        QDir::setCurrent(previous);

        QVERIFY(shown);
        QVERIFY(script.Finished());
        QVERIFY(!folders.tree.Exists("storage"));
        QCOMPARE(window.tree->topLevelItemCount(), 0);
        QCOMPARE(window.list->count(), 0);
        QCOMPARE(folders.Setting(profile::kKorvane), std::string());
    }

    void puttingInUseCopiesOnlyScriptsAndTakingOutDeletesEveryFileOfTheKey()
    {
        Folders folders;
        folders.Plugin("weapons/sniper", "sniper", "Weapon");
        WriteIcon(folders.tree, "k/storage/weapons/sniper.ico", Qt::red);
        folders.tree.Write("k/storage/weapons/sniper.zoom.cs", "part of sniper");
        folders.tree.Write("k/storage/weapons/sniperx.cs", "another plug-in");
        folders.Plugin("tango", "Tango", "Cat");
        folders.InUse("tango");
        Window window(folders.profile);
        QVERIFY(window.Show());

        window.Click("sniper");
        QVERIFY(window.use->isEnabled());
        QCOMPARE(window.dlg.findChild<QLineEdit*>("fileName")->text(), QString("sniper"));
        QCOMPARE(window.dlg.findChild<QLineEdit*>("subdirectory")->text(), QString("weapons\\"));
        // Enter presses the button that has the focus instead of ending the window.
        window.use->setFocus();
        QTest::keyClick(window.use, Qt::Key_Return);
        QVERIFY(window.dlg.isVisible());
        QVERIFY(folders.tree.Exists("k/plugins/weapons/sniper.cs"));
        QVERIFY(folders.tree.Exists("k/plugins/weapons/sniper.zoom.cs"));
        QVERIFY(!folders.tree.Exists("k/plugins/weapons/sniper.desc.txt"));
        QVERIFY(!folders.tree.Exists("k/plugins/weapons/sniper.ico"));
        QVERIFY(!folders.tree.Exists("k/plugins/weapons/sniperx.cs"));
        // The new entry takes its alphabetical place, whatever the letter case.
        QCOMPARE(window.Entries(), QStringList({"sniper", "Tango"}));
        QVERIFY(!window.use->isEnabled());
        QVERIFY(window.unuse->isEnabled());

        folders.tree.Write("k/plugins/weapons/sniper.txt", "left by the player");
        window.Click("Tango");
        window.ClickEntry("sniper");
        QCOMPARE(window.Current(), QString("sniper"));
        QVERIFY(!window.use->isEnabled());
        QTest::mouseClick(window.unuse, Qt::LeftButton);
        for (const char* file : {"sniper.cs", "sniper.zoom.cs", "sniper.txt"})
            QVERIFY(!folders.tree.Exists(std::string("k/plugins/weapons/") + file));
        QVERIFY(folders.tree.Exists("k/plugins/weapons"));
        QVERIFY(folders.tree.Exists("k/storage/weapons/sniper.cs"));
        QCOMPARE(window.Entries(), QStringList{"Tango"});
        QCOMPARE(window.SelectedEntry(), QString());
        QVERIFY(window.use->isEnabled());
        QVERIFY(!window.unuse->isEnabled());
    }

    void buttonsAndListFollowTheTreeSelection_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("useOn");
        QTest::addColumn<bool>("unuseOn");
        QTest::addColumn<QString>("selectedEntry");
        QTest::addColumn<QString>("panelName");
        // Each row starts from Alpha, which is in use, selected in the tree.
        QTest::newRow("category") << "Cat" << false << false << "Alpha"
                                  << "Alpha";
        QTest::newRow("plug-in not in use") << "Beta" << true << true << "Alpha"
                                            << "Beta";
        QTest::newRow("plug-in in use") << "Delta" << false << true << "Delta"
                                        << "Delta";
    }
    void buttonsAndListFollowTheTreeSelection()
    {
        QFETCH(QString, item);
        Folders folders;
        folders.Plugin("alpha", "Alpha", "Cat");
        folders.Plugin("beta", "Beta", "Cat");
        folders.Plugin("delta", "Delta", "Cat");
        folders.InUse("alpha");
        folders.InUse("delta");
        Window window(folders.profile);
        QVERIFY(window.Show());
        window.Click("Alpha");
        QCOMPARE(window.SelectedEntry(), QString("Alpha"));

        window.Click(item);
        QTEST(window.use->isEnabled(), "useOn");
        QTEST(window.unuse->isEnabled(), "unuseOn");
        QTEST(window.SelectedEntry(), "selectedEntry");
        QTEST(window.name->text(), "panelName");
    }

    void treeListsCategoriesAndPluginsAlphabeticallyWithTheirOwnIcons()
    {
        Folders folders;
        folders.Plugin("zulu", "zulu", "Weapon");
        folders.Plugin("yankee", "Alpha", "Weapon");
        folders.Plugin("mike", "mike", "weapon");
        folders.Plugin("oscar", "Oscar", "Armor");
        folders.tree.Write("k/storage/nodesc.cs", "");
        WriteIcon(folders.tree, "k/storage/yankee.ico", Qt::blue);
        folders.tree.Write("k/storage/zulu.ico", std::string(318, '\0'));
        Window window(folders.profile);
        QVERIFY(window.Show());

        QCOMPARE(window.Tree(), QStringList({"Armor: Oscar", "Unknown: nodesc",
                                             "Weapon: Alpha, zulu", "weapon: mike"}));
        // Each plug-in item carries its record's place in the scan, which follows file names.
        CPluginList scan;
        scan.Rescan(folders.tree.Path("k/storage/"));
        for (const auto& plugin : scan.m_arrPlugins) {
            const QTreeWidgetItem* item = window.Item(Q(plugin->m_strName));
            QVERIFY(item);
            QCOMPARE(item->data(0, Qt::UserRole).toInt() - 1,
                     int(&plugin - scan.m_arrPlugins.data()));
            QVERIFY(!item->parent()->isExpanded());
            QCOMPARE(item->parent()->data(0, Qt::UserRole).toInt(), 0);
        }
        const auto picture = [&window](const char* text, QIcon::Mode mode = QIcon::Normal) {
            return window.Item(text)->icon(0).pixmap(16, mode).toImage();
        };
        QCOMPARE(picture("Alpha").pixelColor(8, 8), QColor(Qt::blue));
        QCOMPARE(picture("zulu"), picture("Oscar"));
        QVERIFY(picture("zulu") != picture("Alpha"));
        QVERIFY(picture("Weapon", QIcon::Selected) != picture("Weapon", QIcon::Normal));
    }

    void addToListPutsTheRightClickedPluginInUseWithoutMovingTheSelection()
    {
        Folders folders;
        folders.Plugin("alpha", "Alpha", "Cat");
        folders.Plugin("weapons/beta", "Beta", "Cat");
        Window window(folders.profile);
        QVERIFY(window.Show());
        window.Click("Alpha");

        ModalScript script;
        script.Then("QMenu", [](QWidget* active) {
            auto* popup = static_cast<QMenu*>(active);
            QCOMPARE(popup->actions().size(), 3);
            QCOMPARE(popup->actions()[2]->text(), S(strings::kPopupEditDescription));
            QTest::keyClick(popup, Qt::Key_A);
        });
        QTest::mouseClick(window.tree->viewport(), Qt::RightButton, {},
                          window.Centre(window.Item("Beta")));
        QTRY_VERIFY(script.Finished());

        QCOMPARE(window.Entries(), QStringList{"Beta"});
        QVERIFY(folders.tree.Exists("k/plugins/weapons/beta.cs"));
        QCOMPARE(window.Current(), QString("Alpha"));
        QCOMPARE(window.name->text(), QString("Alpha"));
        QVERIFY(window.use->isEnabled());
    }

    void rightClickWhereNoPluginIsShowsNoMenu_data()
    {
        QTest::addColumn<bool>("onTree");
        QTest::addColumn<bool>("onCategory");
        QTest::newRow("tree category") << true << true;
        QTest::newRow("tree empty space") << true << false;
        QTest::newRow("list empty space") << false << false;
    }
    void rightClickWhereNoPluginIsShowsNoMenu()
    {
        QFETCH(bool, onTree);
        QFETCH(bool, onCategory);
        Folders folders;
        folders.Plugin("alpha", "Alpha", "Cat");
        folders.InUse("alpha");
        Window window(folders.profile);
        QVERIFY(window.Show());

        ModalScript script;
        QWidget* viewport = onTree ? window.tree->viewport() : window.list->viewport();
        const QPoint where = onCategory ? window.Centre(window.Item("Cat"))
                                        : QPoint(viewport->width() / 2, viewport->height() - 4);
        QTest::mouseClick(viewport, Qt::RightButton, {}, where);
        QTest::qWait(50);
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
        QVERIFY(script.Unexpected().isEmpty());
    }

    void removeFromListSelectsANeighbourAndTheTreeFollows()
    {
        Folders folders;
        for (const char* key : {"alpha", "beta", "charlie"})
            folders.Plugin(key, key, "Cat");
        for (const char* key : {"alpha", "beta", "charlie"})
            folders.InUse(key);
        Window window(folders.profile);
        QVERIFY(window.Show());

        ModalScript script;
        script.Then("QMenu", [](QWidget* active) { QTest::keyClick(active, Qt::Key_R); });
        QTest::mouseClick(window.list->viewport(), Qt::RightButton, {},
                          window.EntryCentre("alpha"));
        QTRY_VERIFY(script.Finished());

        QCOMPARE(window.Entries(), QStringList({"beta", "charlie"}));
        QVERIFY(!folders.tree.Exists("k/plugins/alpha.cs"));
        QCOMPARE(window.SelectedEntry(), QString("beta"));
        QCOMPARE(window.Current(), QString("beta"));
        QCOMPARE(window.name->text(), QString("beta"));
        QVERIFY(window.unuse->isEnabled());
    }

    void removeFromListLeavesAloneAnEntryThatTookTheRightClickedPlace()
    {
        Folders folders;
        for (const char* key : {"alpha", "beta"}) {
            folders.Plugin(key, key, "Cat");
            folders.InUse(key);
        }
        Window window(folders.profile);
        QVERIFY(window.Show());

        ModalScript script;
        script.Then("QMenu", [&window](QWidget* popup) {
            // While the popup is up, the right-clicked entry goes out of use by "<<".
            window.list->setCurrentRow(0);
            window.unuse->click();
            QTest::keyClick(popup, Qt::Key_R);
        });
        QTest::mouseClick(window.list->viewport(), Qt::RightButton, {},
                          window.EntryCentre("alpha"));
        QTRY_VERIFY(script.Finished());

        QCOMPARE(window.Entries(), QStringList{"beta"});
        QVERIFY(folders.tree.Exists("k/plugins/beta.cs"));
    }

    void refreshSettingDecidesWhatExistingStorageTakesFromPlugins_data()
    {
        QTest::addColumn<int>("setting");
        QTest::addColumn<bool>("refreshed");
        QTest::newRow("1") << 1 << true;
        QTest::newRow("0") << 0 << false;
        QTest::newRow("2") << 2 << false;
    }
    void refreshSettingDecidesWhatExistingStorageTakesFromPlugins()
    {
        QFETCH(int, setting);
        QFETCH(bool, refreshed);
        Folders folders;
        folders.profile.WriteProfileInt(profile::kOptions, profile::kRefreshPlugins, setting);
        folders.Plugin("alpha", "Alpha", "Cat");
        folders.tree.Write("k/plugins/alpha.cs", "newer");
        folders.tree.Write("k/plugins/alpha.readme.txt", "r");
        folders.tree.Write("k/plugins/beta.cs", "only in use");
        folders.tree.Write("k/plugins/beta.desc.txt", Description("Beta", "Dog"));
        Window window(folders.profile);
        QVERIFY(window.Show());

        QCOMPARE(folders.tree.Read("k/storage/alpha.cs"), std::string("// Alpha"));
        QCOMPARE(folders.tree.Exists("k/storage/alpha.readme.txt"), refreshed);
        QVERIFY(folders.tree.Exists("k/storage/beta.desc.txt"));
        QCOMPARE(window.Tree(), QStringList({"Cat: Alpha", "Dog: Beta"}));
        QCOMPARE(window.Entries(), QStringList({"Alpha", "Beta"}));
    }

    void storageThatCannotBeCreatedIsReportedAndTheWindowStaysEmpty()
    {
        Folders folders;
        folders.tree.Write("blocker", "a file where a folder should be");
        folders.profile.WriteProfileString(profile::kDirectories, profile::kKorvane,
                                           folders.tree.Path("blocker/korvane/"));
        Window window(folders.profile);
        ModalScript script;
        script.AnswerMessage();
        QVERIFY(window.Show());

        QCOMPARE(script.Messages(), QStringList{S(strings::kStorageNotCreated)});
        QCOMPARE(window.tree->topLevelItemCount(), 0);
        QCOMPARE(window.list->count(), 0);
    }

    void optionsWithTheKorvaneFolderUnchangedStoreTheRestAndReloadNothing_data()
    {
        QTest::addColumn<bool>("tribesChanged");
        QTest::addColumn<bool>("refreshChanged");
        QTest::newRow("only the Tribes folder") << true << false;
        QTest::newRow("only the refresh box") << false << true;
    }
    void optionsWithTheKorvaneFolderUnchangedStoreTheRestAndReloadNothing()
    {
        QFETCH(bool, tribesChanged);
        QFETCH(bool, refreshChanged);
        Folders folders;
        folders.Plugin("alpha", "Alpha", "Cat");
        folders.tree.Write("t2/tribes.exe", "MZ");
        Window window(folders.profile);
        QVERIFY(window.Show());
        folders.Plugin("beta", "Beta", "Cat");

        ModalScript script;
        if (tribesChanged)
            script.Press("browseTribes")
                .Then("CFolderBrowserDlg", ChooseFolder(folders.tree.Path("t2")));
        script.Then("COptionsDlg", [refreshChanged](QWidget* active) {
            if (refreshChanged)
                active->findChild<QCheckBox*>("refreshPlugins")->click();
            active->findChild<QPushButton*>("ok")->click();
        });
        window.Command(strings::kMenuOptionsCommand);

        QVERIFY(script.Finished());
        QVERIFY(script.Messages().isEmpty());
        QCOMPARE(folders.Setting(profile::kTribes),
                 folders.tree.Path(tribesChanged ? "t2/" : "t/"));
        QCOMPARE(folders.profile.GetProfileInt(profile::kOptions, profile::kRefreshPlugins, 7),
                 refreshChanged ? 0 : 7);
        QCOMPARE(folders.Setting(profile::kKorvane), folders.tree.Path("k/"));
        QCOMPARE(window.Tree(), QStringList{"Cat: Alpha"});
    }

    void optionsToAnotherKorvaneFolderReloadsTheWindowFromIt_data()
    {
        QTest::addColumn<bool>("storageBlocked");
        QTest::addColumn<QStringList>("tree");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("storage present")
            << false << QStringList{"Unknown: charlie, delta"} << QStringList{"charlie", "delta"};
        // Nothing of the old folder may stay on show once the setting names the new one.
        QTest::newRow("storage cannot be created") << true << QStringList() << QStringList();
    }
    void optionsToAnotherKorvaneFolderReloadsTheWindowFromIt()
    {
        QFETCH(bool, storageBlocked);
        Folders folders;
        folders.Plugin("alpha", "Alpha", "Cat");
        folders.InUse("alpha");
        folders.tree.Write("k2/korvane.cs", "");
        folders.tree.Write("k2/plugins/charlie.cs", "c");
        folders.tree.Write("k2/plugins/charlie.txt", "only a refresh would copy this");
        folders.tree.Write("k2/plugins/delta.cs", "d");
        if (storageBlocked)
            std::filesystem::create_directory_symlink(folders.tree.Path("nowhere/at/all"),
                                                      folders.tree.Path("k2/storage"));
        else
            folders.tree.Write("k2/storage/charlie.cs", "c");
        Window window(folders.profile);
        QVERIFY(window.Show());

        ModalScript script;
        script.Press("browseKorvane")
            .Then("CFolderBrowserDlg", ChooseFolder(folders.tree.Path("k2")))
            .Press("ok")
            .AnswerMessage();
        if (storageBlocked)
            script.AnswerMessage();
        window.Command(strings::kMenuOptionsCommand);

        QVERIFY(script.Finished());
        QCOMPARE(script.Messages().size(), storageBlocked ? 2 : 1);
        QCOMPARE(script.Messages().last(),
                 S(storageBlocked ? strings::kStorageNotCreated : strings::kKorvaneFolderChanged));
        QCOMPARE(folders.Setting(profile::kKorvane), folders.tree.Path("k2/"));
        QVERIFY(!folders.tree.Exists("k2/storage/charlie.txt"));
        QCOMPARE(folders.tree.Exists("k2/storage/delta.cs"), !storageBlocked);
        QTEST(window.Tree(), "tree");
        QTEST(window.Entries(), "entries");
    }

    void exitEnterEscapeAndCloseEndTheWindowWithoutWritingSettings_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Exit") << "exit";
        QTest::newRow("Enter") << "enter";
        QTest::newRow("Escape") << "escape";
        QTest::newRow("close box") << "close";
    }
    void exitEnterEscapeAndCloseEndTheWindowWithoutWritingSettings()
    {
        QFETCH(QString, how);
        Folders folders;
        folders.Plugin("alpha", "Alpha", "Cat");
        const std::string settings = folders.tree.Read("settings.ini");
        Window window(folders.profile);

        ModalScript script;
        script.Then("CManagerDlg", [&window, how](QWidget* active) {
            QCOMPARE(active, &window.dlg);
            if (how == "exit")
                window.Command(strings::kMenuExit);
            else if (how == "enter")
                QTest::keyClick(window.tree, Qt::Key_Return);
            else if (how == "escape")
                QTest::keyClick(window.tree, Qt::Key_Escape);
            else
                window.dlg.close();
        });
        // A window that the action did not end is ended here, so the test fails instead of
        // waiting for ever.
        constexpr int kNotEnded = -1;
        QTimer::singleShot(3000, &window.dlg, [&window] { window.dlg.done(kNotEnded); });
        QVERIFY(window.dlg.exec() != kNotEnded);

        QVERIFY(script.Finished());
        QVERIFY(!window.dlg.isVisible());
        QCOMPARE(folders.tree.Read("settings.ini"), settings);
    }
};

QTEST_MAIN(tst_ManagerDlg)
#include "tst_ManagerDlg.moc"
