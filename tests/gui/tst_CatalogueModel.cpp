// The catalogue's models on their own: Qt's model tester checks each after every signal, and
// the rows are compared with what the plug-ins' categories and texts say.

#include "gui/mainwindow/CatalogueFilter.h"
#include "gui/mainwindow/CatalogueModel.h"
#include "gui/mainwindow/InUseModel.h"

#include <QAbstractItemModelTester>
#include <QtTest>

using namespace korvane;
using namespace korvane::mainwindow;

namespace {

using Plugin = CatalogueModel::Plugin;
constexpr auto kReportToQtTest = QAbstractItemModelTester::FailureReportingMode::QtTest;

Plugin Make(const QString& name, const std::string& category)
{
    Plugin plugin;
    plugin.record = std::make_unique<CPluginInfo>();
    plugin.record->m_strCategory = category;
    plugin.text = plugin.name = name;
    return plugin;
}

// The numbered plug-ins, as "Category/Name", one category per word.
std::vector<Plugin> Plugins(const QString& listing)
{
    std::vector<Plugin> plugins;
    for (const QString& plugin : listing.split(' '))
        plugins.push_back(Make(plugin.section('/', 1), plugin.section('/', 0, 0).toStdString()));
    return plugins;
}

void Rename(CatalogueModel& model, int number, const QString& name, const std::string& category)
{
    Plugin& plugin = model.at(number);
    plugin.record->m_strCategory = category;
    plugin.text = plugin.name = name;
}

// "Category: plug-in #number, ..." for each category a model shows, in its order.
QStringList Rows(const QAbstractItemModel& model)
{
    QStringList lines;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QModelIndex category = model.index(row, 0);
        QStringList plugins;
        for (int child = 0; child < model.rowCount(category); ++child) {
            const QModelIndex plugin = model.index(child, 0, category);
            plugins << plugin.data().toString() + " #" +
                           QString::number(CatalogueModel::NumberOf(plugin));
        }
        lines << category.data().toString() + ": " + plugins.join(", ");
    }
    return lines;
}

// Whether each live plug-in's index is its own row.
bool IndexesLeadBack(const CatalogueModel& model)
{
    for (int number = 0; number < model.size(); ++number) {
        if (model.plugin(number) && CatalogueModel::NumberOf(model.indexOf(number)) != number)
            return false;
    }
    return true;
}

QStringList Entries(const InUseModel& list)
{
    QStringList entries;
    for (int row = 0; row < list.rowCount(); ++row)
        entries << list.index(row).data().toString();
    return entries;
}

} // namespace

class tst_CatalogueModel : public QObject
{
    Q_OBJECT

private slots:
    // Plug-ins are filed in order without regard to case, keep their numbers while they move,
    // come and go, and a filtering proxy of the model follows each change.
    void changesKeepTheModelAndItsFilterWholeAndInOrder()
    {
        CatalogueModel model{QIcon()};
        const QAbstractItemModelTester modelTester(&model, kReportToQtTest);
        CatalogueFilter filter(model);
        filter.setSourceModel(&model);
        const QAbstractItemModelTester filterTester(&filter, kReportToQtTest);

        model.reset(Plugins("Weapon/zulu weapon/Mike Weapon/alpha Armor/Oscar Weapon/Zulu"));
        QCOMPARE(Rows(model), QStringList({"Armor: Oscar #3", "Weapon: alpha #2, Zulu #4, zulu #0",
                                           "weapon: Mike #1"}));
        QCOMPARE(model.data(model.index(0, 0), CatalogueModel::PluginRole).toInt(), 0);
        for (int number = 0; number < model.size(); ++number)
            filter.texts().add({model.at(number).name, {}, {}, {}, {}});
        QCOMPARE(filter.search("a"), 2);
        QCOMPARE(Rows(filter), QStringList({"Armor: Oscar #3", "Weapon: alpha #2"}));

        // Renamed into another category (one the filter hides), and to the end of its own.
        Rename(model, 1, "Bravo", "Armor");
        model.refile(1);
        Rename(model, 2, "zz", "Weapon");
        model.refile(2);
        QCOMPARE(Rows(model), QStringList({"Armor: Bravo #1, Oscar #3",
                                           "Weapon: Zulu #4, zulu #0, zz #2", "weapon: "}));
        QVERIFY(IndexesLeadBack(model));
        // Filed among plug-ins of its own text, one still finds its row.
        Rename(model, 0, "Zulu", "Weapon");
        model.refile(0);
        QCOMPARE(model.indexOf(0).row(), 1);
        QCOMPARE(model.indexOf(4).row(), 0);

        QCOMPARE(model.add(Make("Kilo", "New")), 5);
        for (int number : {0, 1, 2})
            filter.texts().replace(number, {model.at(number).name, {}, {}, {}, {}});
        filter.texts().add({"Kilo", {}, {}, {}, {}});
        model.remove(3);
        filter.texts().remove(3);
        QVERIFY(!model.plugin(3));
        QCOMPARE(model.liveCount(), 5);
        QCOMPARE(model.dropEmptyCategories(), std::vector<std::string>{"weapon"});
        QVERIFY(IndexesLeadBack(model));
        QCOMPARE(filter.search("k"), 1);
        QCOMPARE(Rows(filter), QStringList({"New: Kilo #5"}));
        QCOMPARE(filter.search(""), 5);
        QCOMPARE(Rows(filter), QStringList({"Armor: Bravo #1", "New: Kilo #5",
                                            "Weapon: Zulu #4, Zulu #0, zz #2"}));
    }

    // The list of plug-ins in use keeps its alphabetical order as plug-ins are renamed, and finds
    // a plug-in whose name changed since it was listed.
    void theListInUseStaysInOrderThroughRenames()
    {
        CatalogueModel model{QIcon()};
        model.reset(Plugins("A/delta A/Bravo B/charlie A/alpha"));
        InUseModel list(model);
        const QAbstractItemModelTester listTester(&list, kReportToQtTest);
        list.reset({0, 1, 3});
        QCOMPARE(Entries(list), QStringList({"alpha", "Bravo", "delta"}));
        list.add(2);
        list.add(2);
        QCOMPARE(Entries(list), QStringList({"alpha", "Bravo", "charlie", "delta"}));

        Rename(model, 0, "Able", "A");
        QCOMPARE(list.rowOf(0), 3);
        list.refile(0);
        QCOMPARE(Entries(list), QStringList({"Able", "alpha", "Bravo", "charlie"}));
        Rename(model, 3, "echo", "A");
        list.refile(3);
        QCOMPARE(Entries(list), QStringList({"Able", "Bravo", "charlie", "echo"}));
        QCOMPARE(list.data(list.index(3), CatalogueModel::PluginRole).toInt(), 4);
        list.remove(1);
        list.remove(1);
        QCOMPARE(Entries(list), QStringList({"Able", "charlie", "echo"}));
        QCOMPARE(list.rowOf(1), -1);
    }
};

QTEST_MAIN(tst_CatalogueModel)
#include "tst_CatalogueModel.moc"
