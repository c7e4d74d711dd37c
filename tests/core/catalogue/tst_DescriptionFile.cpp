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
        QTest::addColumn<QString>("fields"); // name|category|author
        QTest::addColumn<QString>("description");

        const auto row = [](const char* name, QByteArray file, const char* fields,
                            const char* description) {
            QTest::newRow(name) << file << QString(fields) << QString(description);
        };
        // clang-format off
        row("all fields", "Name=Plasma Rifle\r\nCategory=Weapon\r\nAuthor=Someone\r\nline one\r\nline two\r\n", "Plasma Rifle|Weapon|Someone", "line one\nline two");
        row("keys ignore case", "NAME=x\r\ncAtEgOrY=Pack\r\n", "x|Pack|Unknown", "No Description");
        row("blank before equals is another key", "Name = x\r\n", "k|Unknown|Unknown", "No Description");
        row("value keeps later equals", "Name=a=b=c\r\n", "a=b=c|Unknown|Unknown", "No Description");
        row("field after description is text", "about it\r\nName=late\r\n", "k|Unknown|Unknown", "about it\nName=late");
        row("empty first line starts description", "\r\nsecond\r\n", "k|Unknown|Unknown", "\nsecond");
        row("empty file", "", "k|Unknown|Unknown", "No Description");
        row("later field overrides, empty value empties", "Author=a\r\nAuthor=\r\n", "k|Unknown|", "No Description");
        row("last line without line end", "Name=n\r\ntext", "n|Unknown|Unknown", "text");
        row("bare LF lines", "Name=n\none\ntwo\n", "n|Unknown|Unknown", "one\ntwo");
        row("editor line breaks survive", "one\r\r\ntwo", "k|Unknown|Unknown", "one\r\ntwo");
        // clang-format on
    }
    void fieldsAndDescription()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, fields);
        QFETCH(QString, description);
        TestTree tree;
        tree.Write("k.desc.txt", file.toStdString());
        CPluginInfo plugin("k", "k", "Unknown");
        plugin.ReadDescription(tree.Root(), "k");
        QCOMPARE(QString::fromStdString(plugin.m_strName + "|" + plugin.m_strCategory + "|" +
                                        plugin.m_strAuthor),
                 fields);
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

    void textModeWritesCrLfAndReadsItBack()
    {
        QCOMPARE(textfile::ToDiskText("a\nb\r\nc"), std::string("a\r\nb\r\r\nc"));
        QCOMPARE(textfile::SplitLines("a\r\nb\r\r\nc\n"),
                 (std::vector<std::string>{"a", "b\r", "c"}));
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
