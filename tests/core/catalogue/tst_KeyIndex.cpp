// The scan's index of keys on its own: the first record of each key, in any letter case of A to
// Z, however many keys it grows to hold.
#include "core/catalogue/CPluginInfo.h"
#include "core/catalogue/KeyIndex.h"

#include <memory>
#include <QtTest>
#include <vector>

using namespace korvane;

class tst_KeyIndex : public QObject
{
    Q_OBJECT

private slots:
    // A key's second record, in any letter case, is a twin the index passes over; letters beyond
    // A to Z are told apart by case, as the scan's file names are. A record whose key was changed
    // in place is not found under its old key, and the caller is told so.
    void theFirstRecordOfEachKeyIsFoundInAnyLetterCase()
    {
        std::vector<std::unique_ptr<CPluginInfo>> plugins;
        KeyIndex index;
        const auto insert = [&](const std::string& key) {
            plugins.push_back(std::make_unique<CPluginInfo>(key, key, "Unknown"));
            return index.Insert(plugins.back().get());
        };
        // Enough keys to grow the table from its first size several times.
        for (int i = 0; i < 1000; ++i)
            QVERIFY(insert("Key" + std::to_string(i)));
        QVERIFY(!insert("KEY7"));
        QVERIFY(insert("caf\xc3\xa9") && insert("CAF\xc3\x89"));
        QCOMPARE(index.Size(), size_t(1002));
        for (int i = 0; i < 1000; ++i)
            QCOMPARE(index.Find("kEY" + std::to_string(i)), plugins[i].get());
        QCOMPARE(index.Find("CAF\xc3\xa9"), plugins[1001].get()); // plugins[1000] is KEY7
        QCOMPARE(index.Find("caf\xc3\x89"), plugins[1002].get());

        KeyIndex::Match match = KeyIndex::Match::Found;
        QCOMPARE(index.Find("key1000", &match), nullptr);
        QCOMPARE(match, KeyIndex::Match::None);
        plugins[3]->m_strFileName = "renamed";
        QCOMPARE(index.Find("key3", &match), nullptr);
        QCOMPARE(match, KeyIndex::Match::Changed);
        QCOMPARE(index.Find("renamed", &match), nullptr);
        QCOMPARE(match, KeyIndex::Match::None);

        index.Clear();
        QCOMPARE(index.Find("key1"), nullptr);
        QVERIFY(index.Insert(plugins[7].get()));
        QCOMPARE(index.Find("KEY7"), plugins[7].get());
    }
};

QTEST_GUILESS_MAIN(tst_KeyIndex)
#include "tst_KeyIndex.moc"
