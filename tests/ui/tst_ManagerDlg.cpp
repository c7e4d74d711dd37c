#include "ManagerWindow.h"
#include "ui/CFolderBrowserDlg.h"

#include <filesystem>
#include <QCheckBox>
#include <QImageWriter>

using namespace managertest;

namespace {

void WriteIcon(const TestTree& files, const std::string& rel, QColor colour)
{
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(colour);
    files.Write(rel, "");
    QVERIFY(QImageWriter(files.QPath(rel), "ico").write(image));
}

} // namespace

class tst_ManagerDlg : public QObject
{
    Q_OBJECT

private slots:
    void firstRunAsksForBothFoldersBeforeTheWindowShowsThenFillsIt()
    {
        Manager m(false);
        m.files.Write("k/plugins/weapons/sniper.cs", "s");
        m.files.Write("k/plugins/weapons/sniper.desc.txt", Description("Sniper", "Weapon"));
        WriteIcon(m.files, "k/plugins/weapons/sniper.ico", Qt::red);

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
            .Press("browseKorvane")
            .Browse(m.files.QPath("k"))
            .Press("ok")
            .AnswerMessage();
        QVERIFY(m.Show());

        QVERIFY(script.Finished());
        QCOMPARE(script.Messages(),
                 QStringList({S(strings::kNeedTribesFolder), S(strings::kNeedKorvaneFolder),
                              S(strings::kKorvaneFolderChanged)}));
        QCOMPARE(m.Setting(profile::kKorvane), m.files.Path("k/"));
        QCOMPARE(m.Setting(profile::kTribes), m.files.Path("t/"));
        for (const char* file : {"sniper.cs", "sniper.desc.txt", "sniper.ico"})
            QVERIFY(m.files.Exists(std::string("k/storage/weapons/") + file));
        QCOMPARE(m.Tree(), QStringList{"Weapon: Sniper"});
        QCOMPARE(m.Entries(), QStringList{"Sniper"});
    }

    void puttingInUseCopiesOnlyScriptsAndTakingOutDeletesEveryFileOfTheKey()
    {
        Manager m;
        m.Plugin("weapons/sniper", "sniper", "Weapon");
        m.files.Write("k/storage/weapons/sniper.zoom.cs", "part of sniper");
        m.Plugin("tango", "Tango", "Cat", true);
        QVERIFY(m.Show());

        m.Click("sniper");
        QCOMPARE(m.dlg.findChild<QLineEdit*>("fileName")->text(), QString("sniper"));
        QCOMPARE(m.dlg.findChild<QLineEdit*>("subdirectory")->text(), QString("weapons\\"));
        // Enter presses the button that has the focus instead of ending the window.
        m.use->setFocus();
        QTest::keyClick(m.use, Qt::Key_Return);
        QVERIFY(m.dlg.isVisible());
        QVERIFY(m.files.Exists("k/plugins/weapons/sniper.zoom.cs"));
        QVERIFY(!m.files.Exists("k/plugins/weapons/sniper.desc.txt"));
        // The new entry takes its alphabetical place, whatever the letter case.
        QCOMPARE(m.Entries(), QStringList({"sniper", "Tango"}));
        QVERIFY(!m.use->isEnabled());
        QVERIFY(m.unuse->isEnabled());

        m.files.Write("k/plugins/weapons/sniper.txt", "left by the player");
        m.Click("Tango");
        m.ClickEntry("sniper");
        QCOMPARE(m.Current(), QString("sniper"));
        QTest::mouseClick(m.unuse, Qt::LeftButton);
        for (const char* file : {"sniper.cs", "sniper.zoom.cs", "sniper.txt"})
            QVERIFY(!m.files.Exists(std::string("k/plugins/weapons/") + file));
        QVERIFY(m.files.Exists("k/storage/weapons/sniper.cs"));
        QCOMPARE(m.Entries(), QStringList{"Tango"});
        QCOMPARE(m.SelectedEntry(), QString());
        QVERIFY(m.use->isEnabled());
        QVERIFY(!m.unuse->isEnabled());
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
        Manager m;
        m.Plugin("alpha", "Alpha", "Cat", true);
        m.Plugin("beta", "Beta", "Cat");
        m.Plugin("delta", "Delta", "Cat", true);
        QVERIFY(m.Show());
        m.Click("Alpha");
        QCOMPARE(m.SelectedEntry(), QString("Alpha"));

        QFETCH(QString, item);
        m.Click(item);
        QTEST(m.use->isEnabled(), "useOn");
        QTEST(m.unuse->isEnabled(), "unuseOn");
        QTEST(m.SelectedEntry(), "selectedEntry");
        QTEST(m.name->text(), "panelName");
    }

    void treeListsCategoriesAndPluginsAlphabeticallyWithTheirOwnIcons()
    {
        Manager m;
        m.Plugin("zulu", "zulu", "Weapon");
        m.Plugin("yankee", "Alpha", "Weapon");
        m.Plugin("mike", "mike", "weapon");
        m.Plugin("oscar", "Oscar", "Armor");
        m.files.Write("k/storage/nodesc.cs", "");
        WriteIcon(m.files, "k/storage/yankee.ico", Qt::blue);
        m.files.Write("k/storage/zulu.ico", std::string(318, '\0'));
        QVERIFY(m.Show());

        QCOMPARE(m.Tree(), QStringList({"Armor: Oscar", "Unknown: nodesc", "Weapon: Alpha, zulu",
                                        "weapon: mike"}));
        QVERIFY(!m.Item("Weapon")->isExpanded());
        // The tree's order is not the scan's: each item must still lead to its own plug-in.
        m.Click("Alpha");
        QCOMPARE(m.dlg.findChild<QLineEdit*>("fileName")->text(), QString("yankee"));
        const auto picture = [&m](const char* text, QIcon::Mode mode = QIcon::Normal) {
            return m.Item(text)->icon(0).pixmap(16, mode).toImage();
        };
        QCOMPARE(picture("Alpha").pixelColor(8, 8), QColor(Qt::blue));
        QCOMPARE(picture("zulu"), picture("Oscar"));
        QVERIFY(picture("zulu") != picture("Alpha"));
        QVERIFY(picture("Weapon", QIcon::Selected) != picture("Weapon", QIcon::Normal));
    }

    void addToListPutsTheRightClickedPluginInUseWithoutMovingTheSelection()
    {
        Manager m;
        m.Plugin("alpha", "Alpha", "Cat");
        m.Plugin("weapons/beta", "Beta", "Cat");
        QVERIFY(m.Show());
        m.Click("Alpha");

        ModalScript script;
        script.Then("QMenu", [](QWidget* active) {
            auto* popup = static_cast<QMenu*>(active);
            QCOMPARE(popup->actions().size(), 3);
            QCOMPARE(popup->actions()[2]->text(), S(strings::kPopupEditDescription));
            QTest::keyClick(popup, Qt::Key_A);
        });
        m.Click("Beta", Qt::RightButton);
        QTRY_VERIFY(script.Finished());

        QCOMPARE(m.Entries(), QStringList{"Beta"});
        QVERIFY(m.files.Exists("k/plugins/weapons/beta.cs"));
        QCOMPARE(m.Current(), QString("Alpha"));
        QCOMPARE(m.name->text(), QString("Alpha"));
        QVERIFY(m.use->isEnabled());
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
        Manager m;
        m.Plugin("alpha", "Alpha", "Cat", true);
        QVERIFY(m.Show());

        ModalScript script;
        QWidget* viewport = onTree ? m.tree->viewport() : m.list->viewport();
        const QPoint where = onCategory ? m.Centre(m.Item("Cat"))
                                        : QPoint(viewport->width() / 2, viewport->height() - 4);
        QTest::mouseClick(viewport, Qt::RightButton, {}, where);
        QTest::qWait(50);
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
        QVERIFY(script.Unexpected().isEmpty());
    }

    void removeFromListSelectsANeighbourAndNeverAnEntryThatTookTheRightClickedPlace()
    {
        Manager m;
        for (const char* key : {"alpha", "beta", "charlie"})
            m.Plugin(key, key, "Cat", true);
        QVERIFY(m.Show());

        ModalScript script;
        script.Then("QMenu", [](QWidget* popup) { QTest::keyClick(popup, Qt::Key_R); });
        m.ClickEntry("alpha", Qt::RightButton);
        QTRY_VERIFY(script.Finished());
        QCOMPARE(m.Entries(), QStringList({"beta", "charlie"}));
        QVERIFY(!m.files.Exists("k/plugins/alpha.cs"));
        QCOMPARE(m.SelectedEntry(), QString("beta"));
        QCOMPARE(m.Current(), QString("beta"));
        QVERIFY(m.unuse->isEnabled());

        script.Then("QMenu", [&m](QWidget* popup) {
            // While the popup is up, the right-clicked entry goes out of use by "<<".
            m.unuse->click();
            QTest::keyClick(popup, Qt::Key_R);
        });
        m.ClickEntry("beta", Qt::RightButton);
        QTRY_VERIFY(script.Finished());
        QCOMPARE(m.Entries(), QStringList{"charlie"});
        QVERIFY(m.files.Exists("k/plugins/charlie.cs"));
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
        Manager m;
        m.profile.WriteProfileInt(profile::kOptions, profile::kRefreshPlugins, setting);
        m.Plugin("alpha", "Alpha", "Cat");
        m.files.Write("k/plugins/alpha.cs", "newer");
        m.files.Write("k/plugins/alpha.readme.txt", "r");
        m.files.Write("k/plugins/beta.cs", "only in use");
        m.files.Write("k/plugins/beta.desc.txt", Description("Beta", "Dog"));
        QVERIFY(m.Show());

        QCOMPARE(m.files.Read("k/storage/alpha.cs"), std::string("// Alpha"));
        QCOMPARE(m.files.Exists("k/storage/alpha.readme.txt"), refreshed);
        QVERIFY(m.files.Exists("k/storage/beta.desc.txt"));
        QCOMPARE(m.Tree(), QStringList({"Cat: Alpha", "Dog: Beta"}));
        QCOMPARE(m.Entries(), QStringList({"Alpha", "Beta"}));
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
        Manager m;
        m.Plugin("alpha", "Alpha", "Cat");
        m.files.Write("t2/tribes.exe", "MZ");
        QVERIFY(m.Show());
        m.Plugin("beta", "Beta", "Cat");

        ModalScript script;
        if (tribesChanged)
            script.Press("browseTribes").Browse(m.files.QPath("t2"));
        script.Then("COptionsDlg", [refreshChanged](QWidget* active) {
            if (refreshChanged)
                active->findChild<QCheckBox*>("refreshPlugins")->click();
            active->findChild<QPushButton*>("ok")->click();
        });
        m.Command(strings::kMenuOptionsCommand);

        QVERIFY(script.Finished());
        QVERIFY(script.Messages().isEmpty());
        QCOMPARE(m.Setting(profile::kTribes), m.files.Path(tribesChanged ? "t2/" : "t/"));
        QCOMPARE(m.profile.GetProfileInt(profile::kOptions, profile::kRefreshPlugins, 7),
                 refreshChanged ? 0 : 7);
        QCOMPARE(m.Setting(profile::kKorvane), m.files.Path("k/"));
        QCOMPARE(m.Tree(), QStringList{"Cat: Alpha"});
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
        Manager m;
        m.Plugin("alpha", "Alpha", "Cat", true);
        m.files.Write("k2/korvane.cs", "");
        m.files.Write("k2/plugins/charlie.cs", "c");
        m.files.Write("k2/plugins/charlie.txt", "only a refresh would copy this");
        m.files.Write("k2/plugins/delta.cs", "d");
        if (storageBlocked)
            std::filesystem::create_directory_symlink(m.files.Path("nowhere/at/all"),
                                                      m.files.Path("k2/storage"));
        else
            m.files.Write("k2/storage/charlie.cs", "c");
        QVERIFY(m.Show());

        ModalScript script;
        script.Press("browseKorvane").Browse(m.files.QPath("k2")).Press("ok").AnswerMessage();
        if (storageBlocked)
            script.AnswerMessage();
        m.Command(strings::kMenuOptionsCommand);

        QVERIFY(script.Finished());
        QCOMPARE(script.Messages().size(), storageBlocked ? 2 : 1);
        QCOMPARE(script.Messages().last(),
                 S(storageBlocked ? strings::kStorageNotCreated : strings::kKorvaneFolderChanged));
        QCOMPARE(m.Setting(profile::kKorvane), m.files.Path("k2/"));
        QVERIFY(!m.files.Exists("k2/storage/charlie.txt"));
        QCOMPARE(m.files.Exists("k2/storage/delta.cs"), !storageBlocked);
        QTEST(m.Tree(), "tree");
        QTEST(m.Entries(), "entries");
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
        Manager m;
        m.Plugin("alpha", "Alpha", "Cat");
        const std::string settings = m.files.Read("settings.ini");

        ModalScript script;
        script.Then("CManagerDlg", [&m, how](QWidget* active) {
            QCOMPARE(active, &m.dlg);
            if (how == "exit")
                m.Command(strings::kMenuExit);
            else if (how == "enter")
                QTest::keyClick(m.tree, Qt::Key_Return);
            else if (how == "escape")
                QTest::keyClick(m.tree, Qt::Key_Escape);
            else
                m.dlg.close();
        });
        // A window that the action did not end is ended here, so the test fails instead of
        // waiting for ever.
        constexpr int kNotEnded = -1;
        QTimer::singleShot(3000, &m.dlg, [&m] { m.dlg.done(kNotEnded); });
        QVERIFY(m.dlg.exec() != kNotEnded);

        QVERIFY(script.Finished());
        QVERIFY(!m.dlg.isVisible());
        QCOMPARE(m.files.Read("settings.ini"), settings);
    }
};

QTEST_MAIN(tst_ManagerDlg)
#include "tst_ManagerDlg.moc"
