#include "core/launch/GameLauncher.h"
#include "ManagerWindow.h"

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

    void enterPressesTheFocusedButtonAndTheNewEntryTakesItsAlphabeticalPlace()
    {
        Manager m;
        m.Plugin("weapons/sniper", "sniper", "Weapon");
        m.Plugin("tango", "Tango", "Cat", true);
        QVERIFY(m.Show());

        m.Click("sniper");
        QCOMPARE(m.dlg.findChild<QLineEdit*>("subdirectory")->text(), QString("weapons\\"));
        // Enter presses the button that has the focus instead of ending the window.
        m.use->setFocus();
        QTest::keyClick(m.use, Qt::Key_Return);
        QVERIFY(m.dlg.isVisible());
        QVERIFY(m.files.Exists("k/plugins/weapons/sniper.cs"));
        // The new entry takes its alphabetical place, whatever the letter case.
        QCOMPARE(m.Entries(), QStringList({"sniper", "Tango"}));
    }

    void buttonsAndListFollowTheTreeSelection_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("useOn");
        QTest::addColumn<bool>("unuseOn");
        QTest::addColumn<QString>("selectedEntry");
        QTest::addColumn<QString>("panelName");
        // Each row starts from Alpha, which is in use, selected in the tree.
        // clang-format off
        QTest::newRow("category") << "Cat" << false << false << "Alpha" << "Alpha";
        QTest::newRow("plug-in not in use") << "Beta" << true << true << "Alpha" << "Beta";
        QTest::newRow("plug-in in use") << "Delta" << false << true << "Delta" << "Delta";
        // clang-format on
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

    void takingTheSelectedEntryOutAndPuttingItBackListsItOnce()
    {
        Manager m;
        m.Plugin("alpha", "Alpha", "Cat", true);
        m.Plugin("beta", "Beta", "Cat", true);
        QVERIFY(m.Show());
        m.ClickEntry("Alpha");

        // The list hands its selection to Beta as Alpha's entry goes: the tree stays on Alpha.
        m.unuse->click();
        QCOMPARE(m.Entries(), QStringList{"Beta"});
        QCOMPARE(m.SelectedEntry(), QString());
        QCOMPARE(m.Current(), QString("Alpha"));
        QCOMPARE(m.name->text(), QString("Alpha"));
        QVERIFY(m.use->isEnabled());
        QVERIFY(!m.unuse->isEnabled());
        QVERIFY(!m.files.Exists("k/plugins/alpha.cs"));

        m.use->click();
        QCOMPARE(m.Entries(), (QStringList{"Alpha", "Beta"}));
        QCOMPARE(m.Current(), QString("Alpha"));
        QVERIFY(!m.use->isEnabled());
        QVERIFY(m.unuse->isEnabled());
        QVERIFY(m.files.Exists("k/plugins/alpha.cs"));
        QVERIFY(m.files.Exists("k/plugins/beta.cs"));
    }

    void anEntryInsertedAboveTheSelectedOneMovesNeitherTreeNorPanel_data()
    {
        QTest::addColumn<bool>("byPopup");
        QTest::newRow(">>") << false;
        QTest::newRow("Add to list") << true;
    }
    void anEntryInsertedAboveTheSelectedOneMovesNeitherTreeNorPanel()
    {
        QFETCH(bool, byPopup);
        Manager m;
        m.Plugin("alpha", "Alpha", "Cat");
        m.Plugin("beta", "Beta", "Cat", true);
        QVERIFY(m.Show());
        m.Click("Beta"); // selects Beta's entry, which stays selected
        m.Click("Alpha");

        ModalScript script;
        if (byPopup) {
            script.Then("QMenu", [](QWidget* popup) { QTest::keyClick(popup, Qt::Key_A); });
            m.Click("Alpha", Qt::RightButton);
        } else {
            m.use->click();
        }
        QTRY_VERIFY(script.Finished());
        QCOMPARE(m.Entries(), (QStringList{"Alpha", "Beta"}));
        QCOMPARE(m.SelectedEntry(), QString("Beta"));
        QCOMPARE(m.Current(), QString("Alpha"));
        QCOMPARE(m.name->text(), QString("Alpha"));
        QVERIFY(!m.use->isEnabled());
        QVERIFY(m.unuse->isEnabled());
        QVERIFY(m.files.Exists("k/plugins/alpha.cs"));
    }

    void collapsingTheCategoryOfTheCurrentPluginSelectsTheCategory()
    {
        Manager m;
        m.Plugin("alpha", "Alpha", "Cat");
        m.Plugin("beta", "Beta", "Dog");
        QVERIFY(m.Show());
        m.Click("Beta");
        m.Click("Alpha");
        const auto collapse = [&m](const char* category) {
            // The branch sign left of the category's text.
            const QRect row = m.tree->visualItemRect(m.Item(category));
            QTest::mouseClick(m.tree->viewport(), Qt::LeftButton, {},
                              QPoint(row.left() - m.tree->indentation() / 2, row.center().y()));
            QVERIFY(!m.Item(category)->isExpanded());
        };
        collapse("Dog");
        QCOMPARE(m.Current(), QString("Alpha"));
        QVERIFY(m.use->isEnabled());

        collapse("Cat");
        QCOMPARE(m.Current(), QString("Cat"));
        QVERIFY(!m.use->isEnabled());
        QVERIFY(!m.unuse->isEnabled());
    }

    void filesThatCannotChangeAreReportedAndTheListStaysAsTheFoldersAre_data()
    {
        QTest::addColumn<bool>("inUse");
        QTest::addColumn<QString>("message");
        // A file stands where the plug-in's subfolder of plugins must be made.
        QTest::newRow(">>") << false << S(strings::kUsePluginFailed);
        // A file stands where storage's subfolder was: a file only plugins has cannot go there.
        QTest::newRow("<<") << true << S(strings::kUnusePluginFailed);
    }
    void filesThatCannotChangeAreReportedAndTheListStaysAsTheFoldersAre()
    {
        QFETCH(bool, inUse);
        QFETCH(QString, message);
        Manager m;
        m.Plugin("weapons/sniper", "Sniper", "Weapon", inUse);
        if (!inUse)
            m.files.Write("k/plugins/weapons", "not a folder");
        QVERIFY(m.Show());
        m.Click("Sniper");
        if (inUse) {
            m.files.Write("k/plugins/weapons/sniper.txt", "only here");
            std::filesystem::remove_all(m.files.Path("k/storage/weapons"));
            m.files.Write("k/storage/weapons", "not a folder");
        }

        ModalScript script;
        script.AnswerMessage();
        (inUse ? m.unuse : m.use)->click();
        QVERIFY(script.Finished());
        QCOMPARE(script.Messages().size(), 1);
        QVERIFY2(script.Messages().first().startsWith(message.arg("Sniper") + "\n\n"),
                 qPrintable(script.Messages().first()));
        QCOMPARE(m.Entries(), inUse ? QStringList{"Sniper"} : QStringList());
        QCOMPARE(m.files.Exists("k/plugins/weapons/sniper.cs"), inUse);
        if (inUse)
            QCOMPARE(m.files.Read("k/plugins/weapons/sniper.txt"), std::string("only here"));
        QCOMPARE(m.use->isEnabled(), !inUse);
        QCOMPARE(m.unuse->isEnabled(), inUse);
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

    void addToListActsOnTheRightClickedPluginAndNoMenuOpensWhereNoPluginIs()
    {
        Manager m;
        m.Plugin("alpha", "Alpha", "Cat");
        m.Plugin("weapons/beta", "Beta", "Cat");
        QVERIFY(m.Show());
        m.Click("Alpha");

        ModalScript script;
        script.Then("QMenu", [](QWidget* popup) { QTest::keyClick(popup, Qt::Key_A); });
        m.Click("Beta", Qt::RightButton);
        QTRY_VERIFY(script.Finished());
        QCOMPARE(m.Entries(), QStringList{"Beta"});
        QVERIFY(m.files.Exists("k/plugins/weapons/beta.cs"));
        QCOMPARE(m.Current(), QString("Alpha"));
        QCOMPARE(m.name->text(), QString("Alpha"));
        QVERIFY(m.use->isEnabled());

        // A menu that came up would wait for the script, which closes it as unexpected.
        m.Click("Cat", Qt::RightButton);
        QWidget* list = m.list->viewport();
        QTest::mouseClick(list, Qt::RightButton, {}, QPoint(list->width() / 2, list->height() - 4));
        QVERIFY(script.Finished());
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
        m.files.Write("k/plugins/alpha.readme.txt", "r");
        QVERIFY(m.Show());
        QCOMPARE(m.files.Exists("k/storage/alpha.readme.txt"), refreshed);
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
        QTest::newRow("only the Tribes folder") << "t2" << "" << false << QStringList() << kept << QStringList{"Alpha"} << "Alpha";
        QTest::newRow("only the refresh box") << "" << "" << true << QStringList() << kept << QStringList{"Alpha"} << "Alpha";
        QTest::newRow("the same Korvane folder again") << "" << "k" << false << QStringList() << kept << QStringList{"Alpha"} << "Alpha";
        // "K" differs from "k" only in letter case: another folder all the same.
        QTest::newRow("another Korvane folder") << "" << "K" << false << QStringList{changed} << reloaded << QStringList{"charlie", "delta"} << "";
        // Nothing of the old folder may stay on show once the setting names the new one.
        QTest::newRow("storage cannot be created") << "" << "K" << false << QStringList{changed, S(strings::kStorageNotCreated)} << QStringList() << QStringList() << "";
        // clang-format on
    }
    void optionsStoreEachChangeAndReloadOnlyFromAnotherKorvaneFolder()
    {
        QFETCH(QString, tribes);
        QFETCH(QString, korvane);
        QFETCH(bool, refresh);
        QFETCH(QStringList, messages);
        Manager m;
        m.Plugin("alpha", "Alpha", "Cat", true);
        m.files.Write("t2/tribes.exe", "MZ");
        m.files.Write("K/korvane.cs", "");
        m.files.Write("K/plugins/charlie.cs", "c");
        m.files.Write("K/plugins/charlie.txt", "only a refresh would copy this");
        m.files.Write("K/plugins/delta.cs", "d");
        if (messages.contains(S(strings::kStorageNotCreated)))
            std::filesystem::create_directory_symlink(m.files.Path("nowhere/at/all"),
                                                      m.files.Path("K/storage"));
        else
            m.files.Write("K/storage/charlie.cs", "c");
        QVERIFY(m.Show());
        m.Click("Alpha");
        m.Plugin("beta", "Beta", "Cat"); // shown only if the window reloads

        ModalScript script;
        if (!tribes.isEmpty())
            script.Press("browseTribes").Browse(m.files.QPath(tribes.toStdString()));
        if (!korvane.isEmpty())
            script.Press("browseKorvane").Browse(m.files.QPath(korvane.toStdString()));
        script.Then("COptionsDlg", [refresh](QWidget* active) {
            if (refresh)
                active->findChild<QCheckBox*>("refreshPlugins")->click();
            active->findChild<QPushButton*>("ok")->click();
        });
        for (int i = 0; i < messages.size(); ++i)
            script.AnswerMessage();
        m.Command(strings::kMenuOptionsCommand);

        QVERIFY(script.Finished());
        QCOMPARE(script.Messages(), messages);
        const bool moved = korvane == "K";
        QCOMPARE(m.Setting(profile::kTribes), m.files.Path(tribes.isEmpty() ? "t/" : "t2/"));
        QCOMPARE(m.Setting(profile::kKorvane), m.files.Path(moved ? "K/" : "k/"));
        // The box starts ticked; the setting is written when it or the Korvane folder changes.
        const int refreshSetting = refresh ? 0 : (moved ? 1 : 7);
        QCOMPARE(m.profile.GetProfileInt(profile::kOptions, profile::kRefreshPlugins, 7),
                 refreshSetting);
        QVERIFY(!m.files.Exists("K/storage/charlie.txt"));
        QTEST(m.Tree(), "tree");
        QTEST(m.Entries(), "entries");
        QTEST(m.name->text(), "panel");
    }

#ifndef Q_OS_WIN
    void optionsStoreHowWindowsProgramsRun()
    {
        Manager m;
        QVERIFY(m.Show());
        ModalScript script;
        script.Then("COptionsDlg", [](QWidget* active) {
            QTest::keyClicks(active->findChild<QLineEdit*>("wineCommand"),
                             "\"/opt/my wine/bin/wine\" --debug");
            QTest::keyClicks(active->findChild<QLineEdit*>("winePrefix"), "/games/pfx");
            active->findChild<QPushButton*>("ok")->click();
        });
        m.Command(strings::kMenuOptionsCommand);
        QVERIFY(script.Finished());
        const kprocess::WineSettings wine = launch::LoadWineSettings(m.profile);
        QCOMPARE(wine.command, "\"/opt/my wine/bin/wine\" --debug");
        QCOMPARE(wine.prefix, "/games/pfx");
    }
#endif

    void exitEnterAndEscapeEndTheWindowWithoutWritingSettings_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Exit") << "exit";
        QTest::newRow("Enter") << "enter";
        QTest::newRow("Escape") << "escape";
    }
    void exitEnterAndEscapeEndTheWindowWithoutWritingSettings()
    {
        QFETCH(QString, how);
        Manager m;
        m.Plugin("alpha", "Alpha", "Cat");
        QVERIFY(m.Show());
        const std::string settings = m.files.Read("settings.ini");
        if (how == "exit")
            m.Command(strings::kMenuExit);
        else
            QTest::keyClick(m.tree, how == "enter" ? Qt::Key_Return : Qt::Key_Escape);
        QVERIFY(!m.dlg.isVisible());
        QCOMPARE(m.files.Read("settings.ini"), settings);
    }
};

QTEST_MAIN(tst_ManagerDlg)
#include "tst_ManagerDlg.moc"
