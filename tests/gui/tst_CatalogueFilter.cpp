#include "gui/PluginFilter.h"
#include "ManagerWindow.h"

#include <QLabel>

using namespace korvane;

using namespace managertest;

class tst_CatalogueFilter : public QObject
{
    Q_OBJECT

private:
    // "Category: plug-in, ..." for each category in view, "(closed)" after a closed one.
    static QStringList Shown(const Manager& m)
    {
        QStringList lines;
        for (int i = 0; i < m.tree->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* category = m.tree->topLevelItem(i);
            if (category->isHidden())
                continue;
            QStringList children;
            for (int c = 0; c < category->childCount(); ++c) {
                if (!category->child(c)->isHidden())
                    children << category->child(c)->text(0);
            }
            lines << category->text(0) + (category->isExpanded() ? ": " : " (closed): ") +
                         children.join(", ");
        }
        return lines;
    }
    static QString Label(const Manager& m, const char* name)
    {
        return m.dlg.findChild<QLabel*>(name)->text();
    }
    static QImage Picture(const QIcon& icon) { return icon.pixmap(16).toImage(); }

private slots:
    void findsTextInAnyFieldInAnyLetterCase_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("found"); // the records found, by number
        // clang-format off
        QTest::newRow("name") << "snip" << "0";
        QTest::newRow("key") << "laser" << "1";
        QTest::newRow("author") << "bob" << "0";
        QTest::newRow("category") << "ARMOR" << "1";
        QTest::newRow("description") << "second line" << "1";
        QTest::newRow("letters beyond ASCII") << "ÉCLAIR" << "0";
        QTest::newRow("in both") << "er" << "01";
        QTest::newRow("nothing") << "tank" << "";
        // Across two fields or two records it is not there.
        QTest::newRow("end of a name into the key") << "sniperlongshot" << "";
        QTest::newRow("from one record into the next") << "éclairheavy" << "";
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

    void typingShowsMatchesInOpenCategoriesAndClearingRestoresTheTree()
    {
        Manager m;
        m.Plugins("Weapon/Sniper Weapon/Mortar Armor/Heavy Misc/Radar+");
        QVERIFY(m.Show());
        m.Item("Misc")->setExpanded(true);
        auto* field = m.dlg.findChild<QLineEdit*>("filter");
        QTest::keyClicks(field, "aR");
        QCOMPARE(Shown(m), QStringList({"Armor: Heavy", "Misc: Radar", "Weapon: Mortar"}));
        QCOMPARE(Label(m, "filterCount"), QString("3 of 4 plug-ins"));
        QTest::keyClicks(field, "x");
        QCOMPARE(Shown(m), QStringList());
        QCOMPARE(Label(m, "filterCount"), QString("0 of 4 plug-ins"));
        // Esc empties the field and leaves the window open; the tree is as it was.
        QTest::keyClick(field, Qt::Key_Escape);
        QVERIFY(m.dlg.isVisible());
        QCOMPARE(field->text(), QString());
        QCOMPARE(Label(m, "filterCount"), QString());
        QCOMPARE(Shown(m), QStringList({"Armor (closed): Heavy", "Misc: Radar",
                                        "Weapon (closed): Mortar, Sniper"}));
    }

    void keysOfTheFieldNeverEndTheWindow()
    {
        Manager m;
        m.Plugins("Weapon/Sniper");
        QVERIFY(m.Show());
        m.dlg.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m.dlg));
        auto* field = m.dlg.findChild<QLineEdit*>("filter");
        m.tree->setFocus();
        QTest::keyClick(m.tree, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(field->hasFocus());
        QTest::keyClicks(field, "sni");
        QTest::keyClick(field, Qt::Key_Return);
        QTest::keyClick(field, Qt::Key_Escape);
        QTest::keyClick(field, Qt::Key_Escape);
        QVERIFY(m.dlg.isVisible());
    }

    void filterStaysThroughUseAndUnuseAndHidesTheSelectionItTakesAway()
    {
        Manager m;
        m.Plugins("Weapon/Sniper Weapon/Mortar Armor/Heavy");
        QVERIFY(m.Show());
        QCOMPARE(Label(m, "counts"), QString("3 plug-ins stored, 0 in use"));
        auto* field = m.dlg.findChild<QLineEdit*>("filter");
        QTest::keyClicks(field, "mor");
        m.Click("Mortar");
        m.use->click();
        QCOMPARE(Label(m, "counts"), QString("3 plug-ins stored, 1 in use"));
        QCOMPARE(Shown(m), QStringList({"Armor: Heavy", "Weapon: Mortar"}));
        m.ClickEntry("Mortar");
        m.unuse->click();
        QCOMPARE(Label(m, "counts"), QString("3 plug-ins stored, 0 in use"));
        QCOMPARE(Shown(m), QStringList({"Armor: Heavy", "Weapon: Mortar"}));
        QCOMPARE(m.State(), QString("Mortar||Mortar|>>|"));
        field->setText("armor");
        QCOMPARE(Shown(m), QStringList({"Armor: Heavy"}));
        QCOMPARE(m.State(), QString("||||"));
        // An entry whose plug-in the filter hides shows it until it is taken out of use.
        field->clear();
        m.Click("Sniper");
        m.use->click();
        field->setText("armor");
        m.ClickEntry("Sniper");
        QCOMPARE(m.State(), QString("|Sniper|Sniper||<<"));
        m.unuse->click();
        QCOMPARE(m.State(), QString("||||"));
    }

    void countsSayOnePlugInInTheSingular()
    {
        Manager m;
        m.Plugins("Weapon/Sniper+");
        QVERIFY(m.Show());
        QCOMPARE(Label(m, "counts"), QString("1 plug-in stored, 1 in use"));
        QTest::keyClicks(m.dlg.findChild<QLineEdit*>("filter"), "s");
        QCOMPARE(Label(m, "filterCount"), QString("1 of 1 plug-in"));
    }

    void aKeyInTwoSubfoldersIsMarkedAndItsEntryShowsTheSameIcon()
    {
        Manager m;
        m.Plugin("a/sniper", "Sniper", "Weapon", true);
        m.Plugin("b/SNIPER", "Sniper", "Weapon");
        m.Plugin("mortar", "Mortar", "Weapon");
        QVERIFY(m.Show());
        // The scan shows one of the two; its mark names the other.
        m.Click("Sniper");
        const bool shownIsA = m.dlg.findChild<QLineEdit*>("subdirectory")->text() == "a\\";
        QCOMPARE(m.Item("Sniper")->toolTip(0), QString("Another plug-in has this file name: ") +
                                                   (shownIsA ? "b/SNIPER.cs" : "a/sniper.cs"));
        QCOMPARE(m.Item("Mortar")->toolTip(0), QString());
        QVERIFY(Picture(m.Item("Sniper")->icon(0)) != Picture(m.Item("Mortar")->icon(0)));
        const QListWidgetItem* entry = m.list->item(0);
        QCOMPARE(Picture(entry->icon()), Picture(m.Item("Sniper")->icon(0)));
        QCOMPARE(entry->toolTip(), m.Item("Sniper")->toolTip(0));
    }
};

QTEST_MAIN(tst_CatalogueFilter)
#include "tst_CatalogueFilter.moc"
