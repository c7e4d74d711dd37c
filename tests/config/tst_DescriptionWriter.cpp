#include "catalogue/CPluginInfo.h"
#include "catalogue/DescriptionFile.h"
#include "catalogue/TextEncoding.h"
#include "FileSizeLimit.h"
#include "support/TestTree.h"

#include <QtTest>

using descriptionfile::Fields;

class tst_DescriptionWriter : public QObject
{
    Q_OBJECT

private:
    static QStringList Texts(const CPluginInfo& plugin)
    {
        return {QString::fromStdString(plugin.m_strName),
                QString::fromStdString(plugin.m_strCategory),
                QString::fromStdString(plugin.m_strAuthor),
                QString::fromStdString(plugin.m_strDescription)};
    }
    static CPluginInfo Blaster()
    {
        CPluginInfo plugin("Old Name", "blaster", "Old Category");
        plugin.m_strSubdirectory = "weapons\\";
        return plugin;
    }

private slots:
    void savedFieldsComeBackFromAScan_data()
    {
        QTest::addColumn<QStringList>("fields"); // name, category, author, description
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("record");
        // clang-format off
        QTest::newRow("every field") << QStringList{"Plasma", "Weapon", "Me", "one\ntwo"} << QByteArray("Name=Plasma\r\nCategory=Weapon\r\nAuthor=Me\r\none\r\ntwo") << QStringList{"Plasma", "Weapon", "Me", "one\ntwo"};
        QTest::newRow("only a category") << QStringList{"", "Weapon", "", ""} << QByteArray("Category=Weapon") << QStringList{"blaster", "Weapon", "Unknown", "No Description"};
        QTest::newRow("nothing") << QStringList{"", "", "", ""} << QByteArray() << QStringList{"blaster", "Unknown", "Unknown", "No Description"};
        QTest::newRow("CR LF inside the description") << QStringList{"", "", "", "a\r\nb"} << QByteArray("a\r\r\nb") << QStringList{"blaster", "Unknown", "Unknown", "a\r\nb"};
        QTest::newRow("values holding equals") << QStringList{"a=b", "=", "x=", "t"} << QByteArray("Name=a=b\r\nCategory==\r\nAuthor=x=\r\nt") << QStringList{"a=b", "=", "x=", "t"};
        QTest::newRow("name line inside the description") << QStringList{"Good", "", "", "intro\nName=Evil"} << QByteArray("Name=Good\r\nintro\r\nName=Evil") << QStringList{"Good", "Unknown", "Unknown", "intro\nName=Evil"};
        QTest::newRow("name line opening the description") << QStringList{"Good", "", "", "Name=Evil"} << QByteArray("Name=Good\r\n\r\nName=Evil") << QStringList{"Good", "Unknown", "Unknown", "\nName=Evil"};
        QTest::newRow("trailing empty line") << QStringList{"", "", "a", "abc\n"} << QByteArray("Author=a\r\nabc\r\n\r\n") << QStringList{"blaster", "Unknown", "a", "abc\n"};
        QTest::newRow("only an empty line") << QStringList{"", "", "", "\n"} << QByteArray("\r\n\r\n") << QStringList{"blaster", "Unknown", "Unknown", "\n"};
        QTest::newRow("line break in the name") << QStringList{"a\nb", "", "", ""} << QByteArray("Name=a b") << QStringList{"a b", "Unknown", "Unknown", "No Description"};
        // clang-format on
    }
    void savedFieldsComeBackFromAScan()
    {
        QFETCH(QStringList, fields);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, record);
        TestTree tree;
        tree.Write("weapons/Blaster.DESC.TXT", "Name=Old\r\nthe file to replace");
        CPluginInfo plugin = Blaster();
        QVERIFY(
            descriptionfile::WriteDescription(tree.Root(), plugin,
                                              {fields[0].toStdString(), fields[1].toStdString(),
                                               fields[2].toStdString(), fields[3].toStdString()}));
        QCOMPARE(QDir(QString::fromStdString(tree.Path("weapons"))).entryList(QDir::Files),
                 QStringList{"Blaster.DESC.TXT"});
        QCOMPARE(QByteArray::fromStdString(tree.Read("weapons/Blaster.DESC.TXT")), bytes);
        QCOMPARE(Texts(plugin), record);
        CPluginInfo scanned;
        scanned.ReadDescription(tree.Path("weapons\\"), "blaster");
        QCOMPARE(Texts(scanned), record);
    }

    void failedWriteKeepsTheOldFileAndTheRecord()
    {
        TestTree tree;
        tree.Write("weapons/blaster.desc.txt", "Name=Old");
        CPluginInfo plugin = Blaster();
        const Fields edit{"New name longer than the limit", "", "", ""};
        {
            const FileSizeLimit limit(8);
            QVERIFY(!descriptionfile::WriteDescription(tree.Root(), plugin, edit));
        }
        QCOMPARE(Texts(plugin),
                 (QStringList{"Old Name", "Old Category", "Unknown", "No Description"}));
        QCOMPARE(tree.Read("weapons/blaster.desc.txt"), std::string("Name=Old"));
        QCOMPARE(QDir(QString::fromStdString(tree.Path("weapons")))
                     .entryList(QDir::Files | QDir::Hidden),
                 QStringList{"blaster.desc.txt"});
    }

    void editedTextsKeepTheFilesEncoding_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("description");
        QTest::addColumn<QString>("edited");
        QTest::addColumn<QByteArray>("stored");
        // clang-format off
        QTest::newRow("untouched single-byte text") << QByteArray("Caf\xe9") << QByteArray("x") << QString::fromUtf8("Café") << QByteArray("Caf\xe9");
        QTest::newRow("edit in a single-byte file") << QByteArray("Caf\xe9") << QByteArray("x") << QString::fromUtf8("Cafés €") << QByteArray("Caf\xe9s \x80");
        QTest::newRow("another field is single-byte") << QByteArray("Plain") << QByteArray("\x93q\x94") << QString::fromUtf8("Piñata") << QByteArray("Pi\xf1" "ata");
        QTest::newRow("no Windows byte for it") << QByteArray("Caf\xe9") << QByteArray("x") << QString::fromUtf8("Ωmega") << QByteArray("\xce\xa9mega");
        QTest::newRow("edit in a UTF-8 file") << QByteArray("Caf\xc3\xa9") << QByteArray("x") << QString::fromUtf8("Cafés") << QByteArray("Caf\xc3\xa9s");
        QTest::newRow("edit of plain ASCII") << QByteArray("Cafe") << QByteArray("x") << QString::fromUtf8("Café") << QByteArray("Caf\xc3\xa9");
        // clang-format on
    }
    void editedTextsKeepTheFilesEncoding()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, description);
        QFETCH(QString, edited);
        QFETCH(QByteArray, stored);
        const Fields original{name.toStdString(), "Weapon", "Me", description.toStdString()};
        Fields edit = descriptionfile::ShownFields(original);
        edit.name = edited.toStdString();
        const Fields kept = descriptionfile::StoredEdits(original, edit);
        QCOMPARE(QByteArray::fromStdString(kept.name), stored);
        QCOMPARE(kept.description, original.description);
    }

    void windowsTextSurvivesDisplayAndBack()
    {
        for (int byte = 0; byte < 256; ++byte) {
            const std::string text(1, static_cast<char>(byte));
            QCOMPARE(textencoding::ToWindows1252(textencoding::ToUtf8(text)).value_or("-"), text);
        }
    }
};

QTEST_GUILESS_MAIN(tst_DescriptionWriter)
#include "tst_DescriptionWriter.moc"
