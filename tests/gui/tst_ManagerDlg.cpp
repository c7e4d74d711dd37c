#include "core/launch/GameLauncher.h"
#include "ManagerWindow.h"

#include <filesystem>
#include <QCheckBox>
#include <QImageWriter>

using namespace korvane;

using namespace managertest;

class tst_ManagerDlg : public QObject
{
    Q_OBJECT

private slots:
    void firstRunAsksForBothFoldersBeforeTheWindowShowsThenFillsIt()
    {
        Manager m(false);
        m.files.Write("k/plugins/weapons/sniper.cs", "s");
        m.files.Write("k/plugins/weapons/sniper.desc.txt", Description("Sniper", "Weapon"));

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
        QCOMPARE(m.Tree(), QStringList{"Weapon: Sniper"});
        QCOMPARE(m.Entries(), QStringList{"Sniper"});
    }

    void selectionButtonsAndPanelFollowEachCommand_data()
    {
        QTest::addColumn<QString>("plugins"); // as Manager::Plugins takes them
        // A name clicks the tree item; "entry X" the list entry; ">>" and "<<" the buttons
        // ("Enter >>" presses Enter while ">>" has the focus);
        // "collapse X" the category's branch sign; "menu X K" ("entry-menu X K") right-clicks the
        // item (entry) and presses key K in the popup, "<<K" with "<<" clicked first.
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("entries");
        // The tree's current item | the selected entry | the panel's name | ">>" | "<<".
        QTest::addColumn<QString>("state");
        const QString three = "Cat/Alpha+ Cat/Beta Cat/Delta+";
        const QString two = "Cat/Alpha+ Cat/Beta+";
        const QString oneUsed = "Cat/Alpha Cat/Beta+ Cat/Charlie";
        const QString twoCats = "Cat/Alpha Dog/Beta";
        const QString allUsed = "Cat/alpha+ Cat/beta+ Cat/charlie+";
        const QStringList ab{"Alpha", "Beta"};
        // clang-format off
        QTest::newRow("category") << three << QStringList{"Alpha", "Cat"} << QStringList{"Alpha", "Delta"} << "Cat|Alpha|Alpha||";
        QTest::newRow("plug-in not in use") << three << QStringList{"Alpha", "Beta"} << QStringList{"Alpha", "Delta"} << "Beta|Alpha|Beta|>>|<<";
        QTest::newRow("plug-in in use") << three << QStringList{"Alpha", "Delta"} << QStringList{"Alpha", "Delta"} << "Delta|Delta|Delta||<<";
        // The list hands its selection to Beta as Alpha's entry goes: the tree stays on Alpha.
        QTest::newRow("<< on the selected entry") << two << QStringList{"entry Alpha", "<<"} << QStringList{"Beta"} << "Alpha||Alpha|>>|";
        QTest::newRow("<< then >>: listed once") << two << QStringList{"entry Alpha", "<<", ">>"} << ab << "Alpha||Alpha||<<";
        // Enter presses the button that has the focus instead of ending the window; the new
        // entry takes its alphabetical place, whatever the letter case.
        QTest::newRow("Enter on >>") << "Cat/sniper Cat/Tango+" << QStringList{"sniper", "Enter >>"} << QStringList{"sniper", "Tango"} << "sniper||sniper||<<";
        // An entry sorted in above the selected one moves neither the tree nor the panel.
        QTest::newRow(">> above the selected entry") << oneUsed << QStringList{"Beta", "Alpha", ">>"} << ab << "Alpha|Beta|Alpha||<<";
        // The popup acts on the plug-in right-clicked, not on the tree's.
        QTest::newRow("Add to list above it") << oneUsed << QStringList{"Beta", "Charlie", "menu Alpha A"} << ab << "Charlie|Beta|Charlie|>>|<<";
        // A hidden plug-in cannot stay the one ">>" acts on.
        QTest::newRow("collapse another category") << twoCats << QStringList{"Beta", "Alpha", "collapse Dog"} << QStringList() << "Alpha||Alpha|>>|";
        QTest::newRow("collapse its category") << twoCats << QStringList{"Beta", "Alpha", "collapse Cat"} << QStringList() << "Cat||Alpha||";
        QTest::newRow("Remove from list") << allUsed << QStringList{"entry-menu alpha R"} << QStringList{"beta", "charlie"} << "beta|beta|beta||<<";
        // The right-clicked entry goes by "<<" while the popup is up: charlie, now in its
        // place, stays.
        QTest::newRow("Remove an entry gone") << allUsed << QStringList{"entry-menu alpha R", "entry-menu beta <<R"} << QStringList{"charlie"} << "beta||beta|>>|";
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
            } else if (step == "Enter >>") {
                m.use->setFocus();
                QTest::keyClick(m.use, Qt::Key_Return);
            } else if (words[0] == "entry") {
                m.ClickEntry(words[1]);
            } else if (words[0] == "collapse") {
                // The branch sign left of the category's text.
                const QRect row = m.tree->visualItemRect(m.Item(words[1]));
                QTest::mouseClick(m.tree->viewport(), Qt::LeftButton, {},
                                  QPoint(row.left() - m.tree->indentation() / 2, row.center().y()));
                QVERIFY(!m.Item(words[1])->isExpanded());
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
            } else {
                m.Click(step);
            }
        }
        QTEST(m.Entries(), "entries");
        QTEST(m.State(), "state");
        // What the list shows is what the plugins folder holds.
        QStringList scripts;
        for (const QString& entry : m.Entries())
            scripts << entry.toLower() + ".cs";
        QCOMPARE(
            QDir(m.files.QPath("k/plugins")).entryList({"*.cs"}, QDir::Files, QDir::IgnoreCase),
            scripts);
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
        QVERIFY(m.Show());
        m.Click("Sniper");
        if (inUse) {
            std::filesystem::remove_all(m.files.Path("k/storage/weapons"));
            m.files.Write("k/storage/weapons", "not a folder");
        } else {
            m.files.Write("k/plugins/weapons", "not a folder");
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
        QCOMPARE(m.use->isEnabled(), !inUse);
        QCOMPARE(m.unuse->isEnabled(), inUse);
    }

    void treeListsCategoriesAndPluginsAlphabeticallyWithTheirOwnIconsAndNoPopupOfItsOwn()
    {
        Manager m;
        m.Plugins("Weapon/zulu weapon/mike Armor/Oscar");
        m.Plugin("weapons/yankee", "Alpha", "Weapon");
        m.files.Write("k/storage/nodesc.cs", "");
        QImage blue(16, 16, QImage::Format_ARGB32);
        blue.fill(Qt::blue);
        QVERIFY(QImageWriter(m.files.QPath("k/storage/weapons/yankee.ico"), "ico").write(blue));
        m.files.Write("k/storage/zulu.ico", std::string(318, '\0'));
        QVERIFY(m.Show());

        QCOMPARE(m.Tree(), QStringList({"Armor: Oscar", "Unknown: nodesc", "Weapon: Alpha, zulu",
                                        "weapon: mike"}));
        QVERIFY(!m.Item("Weapon")->isExpanded());
        // The tree's order is not the scan's: each item must still lead to its own plug-in.
        m.Click("Alpha");
        QCOMPARE(m.dlg.findChild<QLineEdit*>("fileName")->text(), QString("yankee"));
        QCOMPARE(m.dlg.findChild<QLineEdit*>("subdirectory")->text(), QString("weapons\\"));
        const auto picture = [&m](const char* text, QIcon::Mode mode = QIcon::Normal) {
            return m.Item(text)->icon(0).pixmap(16, mode).toImage();
        };
        QCOMPARE(picture("Alpha").pixelColor(8, 8), QColor(Qt::blue));
        QCOMPARE(picture("zulu"), picture("Oscar"));
        QVERIFY(picture("zulu") != picture("Alpha"));
        QVERIFY(picture("Weapon", QIcon::Selected) != picture("Weapon", QIcon::Normal));

        // No popup opens where no plug-in is: one that came up would wait for a step, which
        // counts it unexpected.
        ModalScript script;
        m.Click("Weapon", Qt::RightButton);
        QWidget* list = m.list->viewport();
        QTest::mouseClick(list, Qt::RightButton, {}, QPoint(list->width() / 2, list->height() - 4));
        QVERIFY(script.Finished());
    }

    void refreshSettingDecidesWhatExistingStorageTakesFromPlugins_data()
    {
        QTest::addColumn<int>("setting");
        QTest::addColumn<bool>("refreshed");
        QTest::newRow("1") << 1 << true;
        QTest::newRow("2") << 2 << false;
    }
    void refreshSettingDecidesWhatExistingStorageTakesFromPlugins()
    {
        QFETCH(int, setting);
        QFETCH(bool, refreshed);
        Manager m;
        m.profile.WriteProfileInt(profile::kOptions, profile::kRefreshPlugins, setting);
        m.Plugins("Cat/Alpha");
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
        m.Plugins("Cat/Alpha+");
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
#ifndef Q_OS_WIN
        const kprocess::WineSettings wine = launch::LoadWineSettings(m.profile);
        QCOMPARE(wine.command + '|' + wine.prefix, "\"/opt/my wine\" -d|/games/pfx");
#endif
    }

    void exitEnterAndEscapeEndTheWindowWritingOnlyItsPlace_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Exit") << "exit";
        QTest::newRow("Enter") << "enter";
        QTest::newRow("Escape") << "escape";
    }
    void exitEnterAndEscapeEndTheWindowWritingOnlyItsPlace()
    {
        QFETCH(QString, how);
        Manager m;
        m.Plugins("Cat/Alpha");
        QVERIFY(m.Show());
        const std::string settings = m.files.Read("settings.ini");
        if (how == "exit")
            m.Command(strings::kMenuExit);
        else
            QTest::keyClick(m.tree, how == "enter" ? Qt::Key_Return : Qt::Key_Escape);
        QVERIFY(!m.dlg.isVisible());
        QString written = QString::fromStdString(m.files.Read("settings.ini"));
        written.remove(QRegularExpression(QStringLiteral("\\n*\\[Window\\]\\n[^[]*")));
        QCOMPARE(written.trimmed(), QString::fromStdString(settings).trimmed());
    }
};

QTEST_MAIN(tst_ManagerDlg)
#include "tst_ManagerDlg.moc"
