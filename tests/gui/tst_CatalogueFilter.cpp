// The filter above the tree, and what the tree marks.
#include "gui/mainwindow/PluginFilter.h"
#include "ManagerWindow.h"

#include <QLabel>

using namespace korvane;
using namespace korvane::mainwindow;
using namespace managertest;

class tst_CatalogueFilter : public QObject
{
    Q_OBJECT

private slots:
    void findsTextInAnyFieldInAnyLetterCase_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("found"); // the records found, by number
        // clang-format off
        QTest::newRow("description, letters beyond ASCII") << "ÉCLAIR" << "0";
        QTest::newRow("in both") << "er" << "01";
        // Across two fields (or two records) it is not there.
        QTest::newRow("end of a name into the key") << "sniperlongshot" << "";
        // clang-format on
    }
    void findsTextInAnyFieldInAnyLetterCase()
    {
        QFETCH(QString, text);
        PluginFilter filter;
        filter.add({"Sniper", "longshot", "Bob", "Weapon", "Fires far. éclair"});
        filter.add({"Heavy", "laserplate", "Ann", "Armor", "First line\r\nSecond line"});
        const int count = filter.match(text);
        QString found;
        for (int index = 0; index < filter.size(); ++index)
            found += filter.matches(index) ? QString::number(index) : QString();
        QTEST(found, "found");
        QCOMPARE(count, found.size());
        QCOMPARE(filter.match({}), 2);
    }

    // Texts change as the folders do: a record is found by its texts of now, a removed one by
    // none, also after the filter dropped the texts no record owns any longer.
    void aRecordIsFoundByItsTextsOfNowAndARemovedOneByNone()
    {
        PluginFilter filter;
        for (int i = 0; i < 6; ++i)
            filter.add({QString("plugin%1").arg(i), "key", "", "", ""});
        filter.replace(1, {"Sniper", "key", "", "", ""});
        filter.remove(2);
        QCOMPARE(filter.match("plugin1"), 0);
        QCOMPARE(filter.match("SNIP"), 1);
        QVERIFY(filter.matches(1));
        QCOMPARE(filter.match("plugin2"), 0);
        QCOMPARE(filter.match({}), 5);
        QVERIFY(!filter.matches(2));
        // Enough replacements that the old texts outweigh the others.
        for (int round = 0; round < 3; ++round) {
            for (const int i : {0, 3, 4, 5})
                filter.replace(i, {QString("new%1-%2").arg(i).arg(round), "key", "", "", ""});
        }
        QCOMPARE(filter.match("new"), 4);
        QCOMPARE(filter.match("new3-2"), 1);
        QVERIFY(filter.matches(3));
        QCOMPARE(filter.match("key"), 5);
        QCOMPARE(filter.match("sniper"), 1);
    }

    // The categories open before come back open when the filter is cleared (tst_FollowFolders).
    void typingShowsMatchesInOpenCategoriesAndBlanksShowTheWholeTree()
    {
        Manager m;
        m.Plugins("Weapon/Sniper Weapon/Mortar Armor/Heavy Misc/Radar+");
        QVERIFY(m.Show());
        auto* field = m.dlg.findChild<QLineEdit*>("filter");
        QTest::keyClicks(field, "aR");
        QCOMPARE(m.Tree(), QStringList({"Armor: Heavy", "Misc: Radar", "Weapon: Mortar"}));
        QVERIFY(m.Expanded("Armor") && m.Expanded("Weapon"));
        QCOMPARE(Label(m, "filterCount"), QString("3 of 4 plug-ins"));
        // Blanks around the text, as pasted, find what the text finds.
        field->setText("  snip ");
        QCOMPARE(m.Tree(), QStringList({"Weapon: Sniper"}));
        field->setText("   ");
        QCOMPARE(Label(m, "filterCount"), QString());
        QCOMPARE(m.Tree(), QStringList({"Armor: Heavy", "Misc: Radar", "Weapon: Mortar, Sniper"}));
        QVERIFY(!m.Expanded("Armor") && !m.Expanded("Weapon"));
    }

    void filterStaysThroughUseAndUnuseAndHidesTheSelectionItTakesAway()
    {
        Manager m;
        m.Plugins("Weapon/Sniper Weapon/Mortar Armor/Heavy");
        QVERIFY(m.Show());
        auto* field = m.dlg.findChild<QLineEdit*>("filter");
        QTest::keyClicks(field, "mor");
        m.Click("Mortar");
        m.use->click();
        QCOMPARE(Label(m, "counts"), QString("3 plug-ins stored, 1 in use"));
        QCOMPARE(m.Tree(), QStringList({"Armor: Heavy", "Weapon: Mortar"}));
        m.ClickEntry("Mortar");
        m.unuse->click();
        QCOMPARE(Label(m, "counts"), QString("3 plug-ins stored, 0 in use"));
        QCOMPARE(m.Tree(), QStringList({"Armor: Heavy", "Weapon: Mortar"}));
        QCOMPARE(m.State(), QString("Mortar||Mortar|>>|"));
        field->setText("armor");
        QCOMPARE(m.Tree(), QStringList({"Armor: Heavy"}));
        QCOMPARE(m.State(), QString("||||"));
        // An entry whose plug-in the filter hides shows it until it is taken out of use.
        field->clear();
        m.Click("Sniper");
        m.use->click();
        field->setText("armor");
        m.Click("Heavy"); // then ">>" may act on no plug-in but the one the panel shows
        m.ClickEntry("Sniper");
        QCOMPARE(m.State(), QString("|Sniper|Sniper||<<"));
        m.unuse->click();
        QCOMPARE(m.State(), QString("||||"));
    }

    // Two plug-ins of one key in two subfolders: the scan uses the first and passes over the
    // other, a twin. Both are shown; the twin is marked with its folder and cannot be put in use
    // from the window. What the marks say is shown with a twin that clashes (tst_ManagerDlg).
    void twinsAreBothShownMarkedAndKeptOutOfUse()
    {
        Manager m;
        m.Plugin("plasma", "Plasma Rifle Overheat", "Weapon");
        m.files.Write("k/storage/old/PLASMA.cs", "// old");
        // A name that looks like rich text (one that holds entities: Windows allows no '<').
        m.Plugin("z&lt;b&gt;/PLASMA", "Plasma", "Weapon");
        m.Plugins("Weapon/Mortar Armor/Heavy");
        QVERIFY(m.Show());
        // The folder old\ comes first in storage.
        const QString twin = "Plasma Rifle Overheat (storage\\)";
        const QString other = "Plasma (storage\\z&lt;b&gt;\\)";
        QCOMPARE(m.Tree(),
                 QStringList({"Armor: Heavy", "Unknown: PLASMA",
                              "Weapon: Mortar, Plasma (storage\\z&lt;b&gt;\\), " + twin}));
        // A name that looks like rich text is shown as it is.
        QCOMPARE(ToolTip(m.Item("PLASMA")),
                 QString("<p>Other plug-ins have this file name: storage\\plasma.cs, "
                         "storage\\z&amp;lt;b&amp;gt;\\PLASMA.cs</p>"));

        m.Click(twin);
        QCOMPARE(m.State(), twin + "||Plasma Rifle Overheat||");
        QCOMPARE(m.dlg.findChild<QLineEdit*>("subdirectory")->text(), QString());
        // Neither the popup nor the editor acts on a twin.
        ModalScript script;
        script.Then("QMenu", [](QWidget* popup) { QTest::keyClick(popup, 'A'); });
        m.Click(twin, Qt::RightButton);
        QTRY_VERIFY(script.Finished());
        m.Command(strings::kMenuEditDescription);
        QVERIFY(script.Finished());
        QCOMPARE(m.Entries(), QStringList());
        QCOMPARE(m.files.Names("k/plugins"), QStringList());

        // The player's own copy of it in use is its entry.
        m.files.Write("k/plugins/plasma.cs", "// Plasma Rifle Overheat");
        QTRY_COMPARE(m.Entries(), QStringList({"Plasma Rifle Overheat"}));
        QCOMPARE(m.State(), twin + "|Plasma Rifle Overheat|Plasma Rifle Overheat||<<");
        m.unuse->click();
        QCOMPARE(m.Entries(), QStringList());
        QVERIFY(!m.files.Exists("k/plugins/plasma.cs"));
    }
};

QTEST_MAIN(tst_CatalogueFilter)
#include "tst_CatalogueFilter.moc"
