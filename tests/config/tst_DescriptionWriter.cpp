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
    static std::string S(const QString& text) { return text.toStdString(); }
    static std::string S(const QByteArray& bytes) { return bytes.toStdString(); }

    static QStringList Texts(const Fields& fields)
    {
        return {QString::fromStdString(fields.name), QString::fromStdString(fields.category),
                QString::fromStdString(fields.author), QString::fromStdString(fields.description)};
    }

    static CPluginInfo Blaster()
    {
        CPluginInfo plugin("Old Name", "blaster", "Old Category");
        plugin.m_strSubdirectory = "weapons\\";
        return plugin;
    }

private slots:
    void fileHoldsTheNonEmptyFieldsInOrder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("author");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("every field")
            << "Plasma Rifle"
            << "Weapon"
            << "Someone"
            << "line one\nline two"
            << QByteArray("Name=Plasma Rifle\r\nCategory=Weapon\r\nAuthor=Someone\r\n"
                          "line one\r\nline two");
        QTest::newRow("only a category") << ""
                                         << "Weapon"
                                         << ""
                                         << "" << QByteArray("Category=Weapon");
        QTest::newRow("nothing") << ""
                                 << ""
                                 << ""
                                 << "" << QByteArray();
        QTest::newRow("earlier editor's line breaks") << ""
                                                      << ""
                                                      << ""
                                                      << "a\r\nb" << QByteArray("a\r\r\nb");
        QTest::newRow("first description line holding equals")
            << "n"
            << ""
            << ""
            << "x=1\ny" << QByteArray("Name=n\r\n\r\nx=1\r\ny");
        QTest::newRow("description ending in a line break")
            << ""
            << ""
            << "a"
            << "abc\n"
            << QByteArray("Author=a\r\nabc\r\n\r\n");
    }
    void fileHoldsTheNonEmptyFieldsInOrder()
    {
        QFETCH(QString, name);
        QFETCH(QString, category);
        QFETCH(QString, author);
        QFETCH(QString, description);
        QFETCH(QByteArray, bytes);
        TestTree tree;
        tree.MakeFolder("weapons");
        CPluginInfo plugin = Blaster();
        QVERIFY(descriptionfile::WriteDescription(
            tree.Root(), plugin, {S(name), S(category), S(author), S(description)}));
        QCOMPARE(QByteArray::fromStdString(tree.Read("weapons/blaster.desc.txt")), bytes);
    }

    void savedFieldsComeBackFromAScan_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("author");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("shownName");
        QTest::addColumn<QString>("shownDescription");
        QTest::newRow("every field") << "Plasma"
                                     << "Weapon"
                                     << "Me"
                                     << "one\ntwo"
                                     << "Plasma"
                                     << "one\ntwo";
        QTest::newRow("empty fields take the defaults") << ""
                                                        << ""
                                                        << ""
                                                        << ""
                                                        << "blaster"
                                                        << "No Description";
        QTest::newRow("CR LF inside the description") << "n"
                                                      << "c"
                                                      << "a"
                                                      << "one\r\ntwo\r\n\r\nfour"
                                                      << "n"
                                                      << "one\r\ntwo\r\n\r\nfour";
        QTest::newRow("values holding equals") << "a=b"
                                               << "="
                                               << "x="
                                               << "text"
                                               << "a=b"
                                               << "text";
        QTest::newRow("name line typed into the description") << "Good"
                                                              << ""
                                                              << ""
                                                              << "intro\nName=Evil"
                                                              << "Good"
                                                              << "intro\nName=Evil";
        QTest::newRow("name line opening the description") << "Good"
                                                           << ""
                                                           << ""
                                                           << "Name=Evil\nmore"
                                                           << "Good"
                                                           << "\nName=Evil\nmore";
        QTest::newRow("trailing empty lines") << ""
                                              << ""
                                              << ""
                                              << "abc\n\n"
                                              << "blaster"
                                              << "abc\n\n";
        QTest::newRow("only an empty line") << ""
                                            << ""
                                            << ""
                                            << "\n"
                                            << "blaster"
                                            << "\n";
        QTest::newRow("line break in the name") << "a\nb"
                                                << ""
                                                << ""
                                                << "d"
                                                << "a b"
                                                << "d";
        QTest::newRow("carriage return ending a field") << "n\r"
                                                        << ""
                                                        << ""
                                                        << "d\r"
                                                        << "n\r"
                                                        << "d\r";
    }
    void savedFieldsComeBackFromAScan()
    {
        QFETCH(QString, name);
        QFETCH(QString, category);
        QFETCH(QString, author);
        QFETCH(QString, description);
        QFETCH(QString, shownName);
        QFETCH(QString, shownDescription);
        TestTree tree;
        tree.MakeFolder("weapons");
        CPluginInfo plugin = Blaster();
        QVERIFY(descriptionfile::WriteDescription(
            tree.Root(), plugin, {S(name), S(category), S(author), S(description)}));
        QCOMPARE(QString::fromStdString(plugin.m_strName), shownName);
        QCOMPARE(QString::fromStdString(plugin.m_strDescription), shownDescription);
        QCOMPARE(plugin.m_strCategory, category.isEmpty() ? std::string("Unknown") : S(category));
        QCOMPARE(plugin.m_strAuthor, author.isEmpty() ? std::string("Unknown") : S(author));

        CPluginInfo scanned;
        scanned.ReadDescription(tree.Path("weapons\\"), "blaster");
        QCOMPARE(Texts(descriptionfile::FieldsOf(scanned)),
                 Texts(descriptionfile::FieldsOf(plugin)));
    }

    void existingFileInAnotherCaseIsTheOneReplaced()
    {
        TestTree tree;
        tree.Write("weapons/Blaster.DESC.TXT", "Name=Old");
        CPluginInfo plugin = Blaster();
        QVERIFY(descriptionfile::WriteDescription(tree.Root(), plugin, {"New", "", "", ""}));
        QCOMPARE(QDir(QString::fromStdString(tree.Path("weapons"))).entryList(QDir::Files),
                 QStringList{"Blaster.DESC.TXT"});
        QCOMPARE(tree.Read("weapons/Blaster.DESC.TXT"), std::string("Name=New"));
    }

    void failedWriteKeepsTheOldFileAndTheRecord()
    {
        TestTree tree;
        tree.Write("weapons/blaster.desc.txt", "Name=Old");
        tree.Write("armor", "a file where a folder should be");
        CPluginInfo plugin = Blaster();
        const Fields edit{"New name long enough to pass the limit", "", "", ""};
        {
            const FileSizeLimit limit(8);
            QVERIFY(!descriptionfile::WriteDescription(tree.Root(), plugin, edit));
        }
        CPluginInfo inArmor = plugin;
        inArmor.m_strSubdirectory = "armor\\";
        QVERIFY(!descriptionfile::WriteDescription(tree.Root(), inArmor, edit));
        CPluginInfo outside = plugin;
        outside.m_strSubdirectory = "..\\";
        QVERIFY(!descriptionfile::WriteDescription(tree.Path("weapons\\"), outside, edit));

        QCOMPARE(tree.Read("weapons/blaster.desc.txt"), std::string("Name=Old"));
        QCOMPARE(plugin.m_strName, std::string("Old Name"));
        QCOMPARE(plugin.m_strCategory, std::string("Old Category"));
        QCOMPARE(QDir(QString::fromStdString(tree.Path("weapons")))
                     .entryList(QDir::Files | QDir::Hidden),
                 QStringList{"blaster.desc.txt"});
    }

    void editedTextsKeepTheFilesEncoding_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("description");
        QTest::addColumn<QString>("editedName");
        QTest::addColumn<QByteArray>("storedName");
        QTest::newRow("untouched single-byte text keeps its bytes")
            << QByteArray("Caf\xe9") << QByteArray("x") << QString::fromUtf8("Café")
            << QByteArray("Caf\xe9");
        QTest::newRow("edit of single-byte text stays single-byte")
            << QByteArray("Caf\xe9") << QByteArray("x") << QString::fromUtf8("Cafés €")
            << QByteArray("Caf\xe9s \x80");
        QTest::newRow("another field decides the encoding")
            << QByteArray("Plain") << QByteArray("\x93quoted\x94") << QString::fromUtf8("Piñata")
            << QByteArray("Pi\xf1"
                          "ata");
        QTest::newRow("character without a Windows byte goes UTF-8")
            << QByteArray("Caf\xe9") << QByteArray("x") << QString::fromUtf8("Ωmega")
            << QByteArray("\xce\xa9mega");
        QTest::newRow("edit of UTF-8 text stays UTF-8")
            << QByteArray("Caf\xc3\xa9") << QByteArray("x") << QString::fromUtf8("Cafés")
            << QByteArray("Caf\xc3\xa9s");
        QTest::newRow("edit of plain ASCII goes UTF-8")
            << QByteArray("Cafe") << QByteArray("x") << QString::fromUtf8("Café")
            << QByteArray("Caf\xc3\xa9");
    }
    void editedTextsKeepTheFilesEncoding()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, description);
        QFETCH(QString, editedName);
        QFETCH(QByteArray, storedName);
        const Fields original{S(name), "Weapon", "Me", S(description)};
        Fields edited = descriptionfile::ShownFields(original);
        edited.name = S(editedName);
        const Fields stored = descriptionfile::StoredEdits(original, edited);
        QCOMPARE(QByteArray::fromStdString(stored.name), storedName);
        QCOMPARE(stored.description, original.description);
    }

    void windowsTextSurvivesDisplayAndBack()
    {
        for (int byte = 0; byte < 256; ++byte) {
            const std::string text(1, static_cast<char>(byte));
            QCOMPARE(textencoding::ToWindows1252(textencoding::ToUtf8(text)).value_or("none"),
                     text);
        }
        QVERIFY(!textencoding::ToWindows1252("\xce\xa9")); // no Windows-1252 byte
        QVERIFY(!textencoding::ToWindows1252("caf\xe9"));  // not UTF-8
    }
};

QTEST_GUILESS_MAIN(tst_DescriptionWriter)
#include "tst_DescriptionWriter.moc"
