#include "core/catalogue/CPluginInfo.h"
#include "core/catalogue/TextEncoding.h"
#include "core/catalogue/TextFile.h"
#include "support/TestTree.h"

#include <QtTest>

class tst_DescriptionFile : public QObject
{
    Q_OBJECT

private slots:
    void fieldsAndDescription_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("author");
        QTest::addColumn<QString>("description");

        QTest::newRow("all fields")
            << QByteArray("Name=Plasma Rifle\r\nCategory=Weapon\r\nAuthor=Someone\r\nline "
                          "one\r\nline two\r\n")
            << "Plasma Rifle"
            << "Weapon"
            << "Someone"
            << "line one\nline two";
        QTest::newRow("keys ignore case") << QByteArray("NAME=x\r\ncAtEgOrY=Pack\r\n") << "x"
                                          << "Pack"
                                          << "Unknown"
                                          << "No Description";
        QTest::newRow("blank before equals is another key") << QByteArray("Name = x\r\n") << "k"
                                                            << "Unknown"
                                                            << "Unknown"
                                                            << "No Description";
        QTest::newRow("value keeps later equals") << QByteArray("Name=a=b=c\r\n") << "a=b=c"
                                                  << "Unknown"
                                                  << "Unknown"
                                                  << "No Description";
        QTest::newRow("field after description is text")
            << QByteArray("about it\r\nName=late\r\n") << "k"
            << "Unknown"
            << "Unknown"
            << "about it\nName=late";
        QTest::newRow("empty first line starts description") << QByteArray("\r\nsecond\r\n") << "k"
                                                             << "Unknown"
                                                             << "Unknown"
                                                             << "\nsecond";
        QTest::newRow("empty file") << QByteArray() << "k"
                                    << "Unknown"
                                    << "Unknown"
                                    << "No Description";
        QTest::newRow("later field overrides, empty value empties")
            << QByteArray("Author=a\r\nAuthor=\r\n") << "k"
            << "Unknown"
            << ""
            << "No Description";
        QTest::newRow("last line without line end") << QByteArray("Name=n\r\ntext") << "n"
                                                    << "Unknown"
                                                    << "Unknown"
                                                    << "text";
        QTest::newRow("bare LF lines") << QByteArray("Name=n\none\ntwo\n") << "n"
                                       << "Unknown"
                                       << "Unknown"
                                       << "one\ntwo";
        QTest::newRow("editor line breaks survive") << QByteArray("one\r\r\ntwo") << "k"
                                                    << "Unknown"
                                                    << "Unknown"
                                                    << "one\r\ntwo";
    }
    void fieldsAndDescription()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, name);
        QFETCH(QString, category);
        QFETCH(QString, author);
        QFETCH(QString, description);
        TestTree tree;
        tree.Write("k.desc.txt", file.toStdString());
        CPluginInfo plugin("k", "k", "Unknown");
        plugin.ReadDescription(tree.Root(), "k");
        QCOMPARE(QString::fromStdString(plugin.m_strName), name);
        QCOMPARE(QString::fromStdString(plugin.m_strFileName), QString("k"));
        QCOMPARE(QString::fromStdString(plugin.m_strCategory), category);
        QCOMPARE(QString::fromStdString(plugin.m_strAuthor), author);
        QCOMPARE(QString::fromStdString(plugin.m_strDescription), description);
    }

    void unreadableFileKeepsTheRecordAsItWas()
    {
        TestTree tree;
        tree.MakeFolder("k.desc.txt"); // exists, but cannot be read as a file
        CPluginInfo plugin("old", "old", "Weapon");
        plugin.ReadDescription(tree.Root(), "k");
        QCOMPARE(plugin.m_strName, std::string("k"));
        QCOMPARE(plugin.m_strCategory, std::string("Weapon"));
    }

    void splitKeyValueLeavesOutputsWithoutEquals()
    {
        std::string key = "before", value = "before";
        QVERIFY(!CPluginInfo::SplitKeyValue("no equals here", key, value));
        QCOMPARE(key, std::string("before"));
        QVERIFY(CPluginInfo::SplitKeyValue("=v=w", key, value));
        QCOMPARE(key, std::string());
        QCOMPARE(value, std::string("v=w"));
    }

    void textModeWritesCrLfAndReadsItBack()
    {
        QCOMPARE(textfile::ToDiskText("a\nb\r\nc"), std::string("a\r\nb\r\r\nc"));
        const auto lines = textfile::SplitLines("a\r\nb\r\r\nc\n");
        QCOMPARE(lines, (std::vector<std::string>{"a", "b\r", "c"}));
    }

    void windowsTextIsShownAsItsCharacters()
    {
        QCOMPARE(textencoding::ToUtf8("caf\xc3\xa9"), std::string("caf\xc3\xa9"));
        QCOMPARE(textencoding::ToUtf8("caf\xe9 \x93q\x94"),
                 std::string("caf\xc3\xa9 \xe2\x80\x9cq\xe2\x80\x9d"));
        QVERIFY(!textencoding::IsValidUtf8("\xc0\xaf"));        // overlong
        QVERIFY(!textencoding::IsValidUtf8("\xed\xa0\x80"));    // surrogate
        QVERIFY(!textencoding::IsValidUtf8("\xe2\x82"));        // cut short
        QVERIFY(textencoding::IsValidUtf8("\xf0\x9f\x98\x80")); // outside the BMP
    }
};

QTEST_GUILESS_MAIN(tst_DescriptionFile)
#include "tst_DescriptionFile.moc"
